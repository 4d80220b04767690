#pragma once

#include "data/Patient.h"
#include "data/Record.h"

#include <QList>
#include <QWidget>

class CheckBoxHeader;
class PatientProxyModel;
class QLabel;
class QModelIndex;
class QPushButton;
class QTableView;
class RecordDelegate;
class RecordModel;

// The card of one patient: their particulars and remote device, their
// records with a check mark each, and the actions on them. The checked
// records are what the analysis, recipe, recovery history and autospectrum
// work on; the card hands them to the main window by its signals.
class ViewPatient : public QWidget
{
    Q_OBJECT

public:
    explicit ViewPatient(const Patient& patient, QWidget* parent = nullptr);

    // The card's own copy, as edits and device actions left it.
    const Patient& patient() const { return m_patient; }
    bool isPlayerActive() const { return m_playerActive; }

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
    QWidget* buildSideBar();
    QWidget* buildTableArea();
    void setUpTable();
    void connectActions();
    void retranslate();
    void showParticulars();

    // The card's patient changed by a device action: the list row follows,
    // the particulars are shown again, then the success message.
    void patientChanged(const QString& successMessage);
    void playAutospectrum(const QByteArray& reply, int minutes);
    bool refuseWhilePlayerActive();

    Patient m_patient;
    bool m_playerActive = false;

    RecordModel* m_model = nullptr;
    PatientProxyModel* m_proxy = nullptr;
    RecordDelegate* m_delegate = nullptr;
    CheckBoxHeader* m_header = nullptr;
    QTableView* m_table = nullptr;

    QLabel* m_labelConnectedDevice = nullptr;
    QLabel* m_labelTitle = nullptr;
    QPushButton* m_buttonListPatients = nullptr;
    QLabel* m_labelPatientName = nullptr;
    QPushButton* m_buttonEditPatient = nullptr;
    QLabel* m_labelAge = nullptr;
    QLabel* m_labelAgeValue = nullptr;
    QLabel* m_labelGender = nullptr;
    QLabel* m_labelGenderIcon = nullptr;
    QLabel* m_labelPhone = nullptr;
    QLabel* m_labelPhoneValue = nullptr;
    QPushButton* m_buttonNewRecord = nullptr;
    QPushButton* m_buttonAutospectrum = nullptr;
    QPushButton* m_buttonAnalysis = nullptr;
    QPushButton* m_buttonComparativeAnalysis = nullptr;
    QPushButton* m_buttonRecoveryHistory = nullptr;
    QPushButton* m_buttonReceipt = nullptr;
    QPushButton* m_buttonExcelExport = nullptr;
    QPushButton* m_buttonDeletePatient = nullptr;
    QLabel* m_labelTitleTable = nullptr;
    QPushButton* m_buttonDeleteCommand = nullptr;
    QPushButton* m_buttonManageDevice = nullptr;
    QPushButton* m_buttonRefresh = nullptr;
};
