#pragma once

#include "data/Marker.h"
#include "data/Patient.h"
#include "data/Recipe.h"
#include "data/Record.h"
#include "data/Storage.h"
#include "views/ReturnableScreen.h"

#include <QList>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class ReceiptModel;
class ReceiptTable;
class RecipeLeaving;
class ScreenHeading;

// The screen on which the practitioner composes the recipe of one record:
// the recipe saved for it is loaded, an analysis of the record against a
// chosen storage lists markers, and ticking a marker adds it to the recipe.
// The recipe button hands the markers on to the impact; leaving with unsaved
// changes asks whether to save them first.
class ViewReceipt : public QWidget, public ReturnableScreen
{
    Q_OBJECT

public:
    ViewReceipt(QWidget* parent, Patient& patient, Record& record);

    // For a way out that isn't one of the screen's buttons, such as the main
    // window closing. True: the screen may go now (nothing changed, or the
    // practitioner chose not to save). False: it stays; the recipe is being
    // saved, and onReadyToLeave() follows once it is.
    bool confirmLeave();

    bool isChanged() const;
    // Back from the impact screen: a recipe without unsaved changes is read
    // again, as the impact may have saved another order of its markers.
    void screenReturned() override;
    const Recipe& recipe() const { return m_recipe; }
    ReceiptModel* model() const { return m_model; }

signals:
    void onReceipt(Patient& patient, Record& record, QList<Marker>& markers, bool changed);
    void onPatientsList();
    void onBack();
    void onReadyToLeave();

public slots:
    // Until the recipe and the categories are loaded, the same button loads
    // them again: a failed load can be retried.
    void onAnalyse();
    // An analysis reply, shown for the storage of the latest request.
    void onAnalyseSuccess(const QByteArray& bytes);
    void onCategoryChanged(int index);
    void onLoadRecipe(const QByteArray& bytes);
    void onLoadSuccess(const QByteArray& bytes);
    void onError(QString message);
    void onSelection(Marker& marker);
    void backToPatientsList();
    void backToPatient();
    void receipt();
    void markerRemove(QString id);
    // The impact screen saved the recipe with these markers, in this order:
    // the screen holds what was saved, and has nothing left to save.
    void markersSaved(const QList<Marker>& markers);
    // The patient changed elsewhere (a command sent to the device): the
    // screen shows the new device state. Another patient is ignored.
    void updatePatient(const Patient& patient);

protected:
    void changeEvent(QEvent* event) override;

private:
    // What is loaded before the screen can analyse.
    enum class Stage
    {
        Recipe,
        Categories,
        Ready,
    };

    // What the table shows.
    enum class Shown
    {
        Nothing,
        SavedRecipe,
        Analysis,
    };

    void buildWidgets();
    void retranslate();
    void showDevice();

    void loadRecipe();
    void loadCategories();
    void onLoadFailed(const QString& message);
    void showAnalysis(const QByteArray& bytes, const Storage& storage);
    void showSavedRecipe();
    void setRecipe(const QList<Marker>& markers);
    void updateReceiptButton();
    void setChanged();

    Patient m_patient;
    Record m_record;
    Recipe m_recipe;
    Stage m_stage = Stage::Recipe;
    Shown m_shown = Shown::Nothing;
    // Only the latest analysis is shown, with the storage it was asked for.
    quint64 m_latestAnalysis = 0;
    Storage m_analysedStorage;

    ReceiptModel* m_model = nullptr;
    ReceiptTable* m_tableSetup = nullptr;
    RecipeLeaving* m_leaving = nullptr;

    ScreenHeading* m_heading = nullptr;
    QComboBox* m_categories = nullptr;
    QComboBox* m_storages = nullptr;
    QPushButton* m_analyse = nullptr;
    QPushButton* m_receipt = nullptr;
    QLabel* m_contents = nullptr;
    QTableView* m_table = nullptr;
    QPushButton* m_listPatients = nullptr;
    QPushButton* m_back = nullptr;
};
