#pragma once

#include "data/Patient.h"
#include "data/Record.h"
#include "views/ScreenHeading.h"

#include <QList>
#include <QWidget>

class QAction;
class QMenu;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class RecipeLeaving;
class SymptomDelegate;
class SymptomModel;

// The patient's symptoms and how strongly each was felt on each recording
// date, with the number of complaints and the total severity per date. The
// practitioner sets levels, adds and removes custom symptoms and saves.
class ViewRecoveryHistory : public QWidget
{
    Q_OBJECT

public:
    ViewRecoveryHistory(const Patient& patient, const QList<Record>& records, QWidget* parent = nullptr);
    ~ViewRecoveryHistory() override;

    // Whether there are changes that were not saved.
    bool isModified() const;
    // For a way out that isn't one of the screen's buttons, such as the main
    // window closing. True: the screen may go now (nothing changed, or the
    // practitioner chose not to save). False: it stays; the history is being
    // saved, and onReadyToLeave() follows once it is.
    bool confirmLeave();
    SymptomModel* model() const { return m_model; }

signals:
    void onPatientsList();
    void onBack();
    void onReadyToLeave();

public slots:
    void onLoadSuccess(const QByteArray& body);
    void onError(const QString& message);
    void backToPatientsList();
    void backToPatient();
    void onSave();
    void onNewSymptom();
    void on_tableView_customContextMenuRequested(const QPoint& pos);
    void onRefresh();

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildWidgets();
    void setUpTable();
    void retranslate();
    void load();
    // Leaves at once, or after asking whether to save what changed.
    void leave(void (ViewRecoveryHistory::*signal)());
    void updateActions();
    QString nameProblemText(const QString& name) const;

    Patient m_patient;
    QList<Record> m_records;
    ScreenHeading* m_heading = nullptr;
    QPushButton* m_refresh = nullptr;
    QPushButton* m_newSymptom = nullptr;
    QPushButton* m_save = nullptr;
    QTableView* m_table = nullptr;
    SymptomModel* m_model = nullptr;
    QSortFilterProxyModel* m_proxy = nullptr;
    SymptomDelegate* m_delegate = nullptr;
    QMenu* m_menu = nullptr;
    QAction* m_newSymptomAction = nullptr;
    QAction* m_removeSymptomAction = nullptr;
    RecipeLeaving* m_leaving = nullptr;
};
