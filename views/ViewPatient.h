#pragma once

#include "data/Patient.h"
#include "data/Record.h"
#include "views/ReturnableScreen.h"

#include <QList>
#include <QWidget>

class PatientAutospectrum;
class PatientDeviceActions;
class PatientExport;
class PatientSideBar;
class PatientRecordsTable;
class QLabel;
class QModelIndex;
class QPushButton;
class QTableView;
class ScreenHeading;
class WaitingRecordingsPanel;

// The card of one patient: their particulars and remote device, their
// records with a check mark each, and the actions on them. The checked
// records are what the analysis, recipe, recovery history and autospectrum
// work on; the card hands them to the main window by its signals.
class ViewPatient : public QWidget, public ReturnableScreen
{
    Q_OBJECT

public:
    explicit ViewPatient(const Patient& patient, QWidget* parent = nullptr);

    // The card's own copy, as edits and device actions left it.
    const Patient& patient() const { return m_patient; }
    bool isPlayerActive() const;

    // The screens above may have changed the records (their questionnaires)
    // and the patient (the device's command): both are shown as they are now,
    // with the practitioner's marks on the records still there.
    void screenReturned() override;

signals:
    void onAnalysis(Patient& patient, QList<Record>& records);
    void onComparativeAnalysis(Patient& patient, QList<Record>& records);
    void onPatientsList();
    void onPatientDelete(QWidget* screen, Patient& patient);
    void onReceipt(Patient& patient, Record& record);
    void onRecoveryHistory(Patient& patient, QList<Record>& records);
    // Autospectrum audio, ready for the player, and the patient's name.
    void onPlay(QByteArray samples, QString title);

public slots:
    void analysis();
    void autospectrum();
    void comparativeAnalysis();
    void deletePatient();
    void excelExport();
    void manageDevice();
    void patientsList();
    void receipt();
    void recoveryHistory();

    void onAutospectrum(int minutes);
    void onDeleteRecord(const QModelIndex& index);
    void onDeleteCommand();
    void onDeviceConnect(const QString& sensorId);
    void onDeviceDisconnect();
    void onDeviceToggle();
    void onEditPatient();
    void onExportSuccess(const QByteArray& bytes);
    void onHeaderCheckBoxClicked(bool state);
    void onLoad();
    void onLoadSuccess(const QByteArray& bytes);
    void onNewRecord();
    void onSaveRecord(QByteArray& file, const QString& sensorId);
    void onSaveSuccess(const QByteArray& bytes);
    void onSendCommand(const QString& command, Record* record);
    void onSendCommand(const QString& command);
    void onError(const QString& message);
    void onUpdate();

    // Whether the main window's player is playing or paused. While it is, no
    // autospectrum is asked for: its audio would have nowhere to go.
    void setPlayerActive(bool active);
    // The patient as another screen left it (a command sent from the impact
    // screen); another patient is ignored.
    void updatePatient(const Patient& patient);

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildWidgets();
    QWidget* buildTableArea();
    void connectActions();
    void retranslate();
    void showParticulars();

    Patient m_patient;

    PatientRecordsTable* m_records = nullptr;
    PatientDeviceActions* m_device = nullptr;
    PatientExport* m_export = nullptr;
    PatientAutospectrum* m_autospectrum = nullptr;
    QTableView* m_table = nullptr;
    WaitingRecordingsPanel* m_waiting = nullptr;

    ScreenHeading* m_heading = nullptr;
    QPushButton* m_buttonListPatients = nullptr;
    PatientSideBar* m_sideBar = nullptr;
    QLabel* m_labelTitleTable = nullptr;
    QPushButton* m_buttonDeleteCommand = nullptr;
    QPushButton* m_buttonManageDevice = nullptr;
    QPushButton* m_buttonRefresh = nullptr;
};
