#pragma once

#include "data/Marker.h"
#include "data/Patient.h"
#include "data/Record.h"

#include <QByteArray>
#include <QList>
#include <QWidget>

#include <memory>

class ImpactDelegate;
class ImpactDownload;
class ImpactModel;
class ImpactStartGate;
class ImpactTargets;
class ImpactWavSaver;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;
class ScreenHeading;
class RecipeLeaving;

// The screen that runs an impact with the markers of a recipe: the
// practitioner orders or removes markers, chooses where the impact goes (the
// sensor, a WAV file or the patient's remote device) and for how long, and
// starts it.
class ViewImpact : public QWidget
{
    Q_OBJECT

public:
    enum Target
    {
        Box = 0,
        Download = 1,
        Sensor = 2,
    };
    Q_ENUM(Target)

    // The screen doesn't connect to its parent's player state itself (it
    // can't know the main window's class): whoever creates it connects
    // onPlayerState and reports the current state.
    ViewImpact(QWidget* parent, Patient& patient, Record& record, QList<Marker>& markers, bool changed);
    ~ViewImpact() override;

    // For a way out that isn't one of the screen's buttons, such as the main
    // window closing. True: the screen may go now (nothing changed, or the
    // practitioner chose not to save). False: it stays; the recipe is being
    // saved, and onReadyToLeave() follows once it is.
    bool confirmLeave();

    bool isChanged() const;
    int total() const { return m_total; }
    int repetitions() const { return m_repetitions; }
    Target currentTarget() const;
    const QByteArray& samples() const { return m_samples; }
    ImpactModel* model() const { return m_model; }
    // The WAV file being written, if any.
    ImpactWavSaver* wavSaver() const;

signals:
    void onBack();
    void onMarkerRemove(QString id);
    void onPatientsList();
    void onPatientCard();
    void onPlay(const QByteArray& samples, const QString& title);
    // The patient's device state changed here (a recipe sent to the device).
    void onPatientChanged(Patient& patient);
    // Start saved the recipe with its markers in this order: the service
    // confirmed it.
    void onMarkersSaved(const QList<Marker>& markers);
    void onReadyToLeave();

public slots:
    void backToPatientsList();
    void backToPatientCard();
    void backToReceipt();
    void onDurationChanged();
    void onError(QString message);
    void onStart();
    // An audio reply, handled as the latest Start asked for it.
    void onSuccess(const QByteArray& bytes);
    void onTargetChanged();
    void onPlayerState(bool active);

protected:
    void changeEvent(QEvent* event) override;

private:
    // What one Start asked for, kept with its request: the reply is handled
    // as asked, whatever the controls show by the time it comes.
    struct Run
    {
        Target target = Sensor;
        int minutes = 0;
        int repetitions = 1;
        QList<Marker> markers;
    };

    void buildWidgets();
    void setUpTable();
    void retranslate();
    void showDevice();

    void updateTotals();
    void applyDurationRule();
    void onRemoved(const QString& id);

    void handleAudio(const Run& run, const QByteArray& bytes);
    void play(const QByteArray& bytes, int repetitions);
    void applyColumns();
    void onBoxSent(const Run& run);
    void markersSaved(const Run& run);
    void finishRun();

    Patient m_patient;
    Record m_record;
    int m_total = 0;
    int m_repetitions = 1;
    QByteArray m_samples;
    Run m_lastRun;

    ImpactModel* m_model = nullptr;
    ImpactDelegate* m_delegate = nullptr;
    RecipeLeaving* m_leaving = nullptr;
    ImpactTargets* m_targets = nullptr;
    ImpactDownload* m_download = nullptr;

    ScreenHeading* m_heading = nullptr;
    QTableView* m_table = nullptr;
    QLabel* m_durationLabel = nullptr;
    QSpinBox* m_duration = nullptr;
    QLabel* m_minutes = nullptr;
    QLabel* m_markersLabel = nullptr;
    QLabel* m_totalLabel = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_listPatients = nullptr;
    QPushButton* m_patientCard = nullptr;
    QPushButton* m_back = nullptr;
    std::unique_ptr<ImpactStartGate> m_startGate;
};
