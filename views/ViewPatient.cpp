#include "views/ViewPatient.h"

#include "api/PatientManager.h"
#include "audio/AudioRecorder.h"
#include "data/RecordModel.h"
#include "views/FormPatient.h"
#include "views/PatientAutospectrum.h"
#include "views/PatientDeviceActions.h"
#include "views/PatientExport.h"
#include "views/PatientParticulars.h"
#include "views/PatientRecordsTable.h"
#include "views/PatientSideBar.h"
#include "views/ScreenHeading.h"
#include "views/WaitingRecordingsPanel.h"
#include "widgets/CheckBoxHeader.h"
#include "widgets/KeyboardAccess.h"
#include "widgets/MessageBoxes.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QSize actionIconSize(24, 24);

QPushButton* pictureButton(const QString& objectName, const QString& picture, QWidget* parent)
{
    auto* button = new QPushButton(QIcon(picture), QString(), parent);
    button->setObjectName(objectName);
    button->setIconSize(actionIconSize);
    return button;
}

QLabel* label(const QString& objectName, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    return label;
}

} // namespace

ViewPatient::ViewPatient(const Patient& patient, QWidget* parent) : QWidget(parent), m_patient(patient)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    buildWidgets();
    m_records = new PatientRecordsTable(this, m_table, m_patient);
    m_device = new PatientDeviceActions(this, m_patient);
    m_export = new PatientExport(this);
    m_autospectrum = new PatientAutospectrum(this);
    retranslate();
    showParticulars();
    connectActions();
    onLoad();
}

// ---- Widgets ---------------------------------------------------------------------

void ViewPatient::buildWidgets()
{
    m_heading = new ScreenHeading(this, {{ScreenHeading::PatientsList, QStringLiteral("buttonListPatients")}});
    m_buttonListPatients = m_heading->crumb(ScreenHeading::PatientsList);

    auto* body = new QHBoxLayout;
    body->setSpacing(16);
    m_sideBar = new PatientSideBar(this);
    body->addWidget(m_sideBar);
    body->addWidget(buildTableArea(), 1);

    ScreenHeading::screenColumn(this, m_heading)->addLayout(body, 1);
}

QWidget* ViewPatient::buildTableArea()
{
    auto* tableArea = new QFrame(this);
    tableArea->setObjectName(QStringLiteral("tableArea"));
    m_labelTitleTable = label(QStringLiteral("labelTitleTable"), tableArea);
    m_buttonDeleteCommand =
        pictureButton(QStringLiteral("buttonDeleteCommand"), QStringLiteral(":/images/record-delete.png"), tableArea);
    m_buttonManageDevice =
        pictureButton(QStringLiteral("buttonManageDevice"), QStringLiteral(":/images/cloud-device.png"), tableArea);
    m_buttonRefresh = pictureButton(QStringLiteral("buttonRefresh"), QStringLiteral(":/images/refresh.png"), tableArea);
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(m_labelTitleTable);
    titleRow->addStretch();
    titleRow->addWidget(m_buttonDeleteCommand);
    titleRow->addWidget(m_buttonManageDevice);
    titleRow->addWidget(m_buttonRefresh);

    m_table = new QTableView(tableArea);
    m_table->setObjectName(QStringLiteral("tableView"));
    // The recordings not yet on the service come first, apart from the records.
    m_waiting = new WaitingRecordingsPanel(m_patient.id(), tableArea);
    auto* layout = new QVBoxLayout(tableArea);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(titleRow);
    layout->addWidget(m_waiting);
    layout->addWidget(m_table, 1);
    return tableArea;
}

void ViewPatient::connectActions()
{
    connect(m_buttonListPatients, &QPushButton::clicked, this, &ViewPatient::patientsList);
    connect(m_sideBar->particulars(), &PatientParticulars::editClicked, this, &ViewPatient::onEditPatient);
    const std::pair<PatientSideBar::Action, void (ViewPatient::*)()> actions[] = {
        {PatientSideBar::NewRecord, &ViewPatient::onNewRecord},
        {PatientSideBar::Autospectrum, &ViewPatient::autospectrum},
        {PatientSideBar::Analysis, &ViewPatient::analysis},
        {PatientSideBar::ComparativeAnalysis, &ViewPatient::comparativeAnalysis},
        {PatientSideBar::RecoveryHistory, &ViewPatient::recoveryHistory},
        {PatientSideBar::Receipt, &ViewPatient::receipt},
        {PatientSideBar::ExcelExport, &ViewPatient::excelExport},
        {PatientSideBar::DeletePatient, &ViewPatient::deletePatient},
    };
    for (const auto& [action, slot] : actions)
        connect(m_sideBar->button(action), &QPushButton::clicked, this, slot);
    connect(m_buttonDeleteCommand, &QPushButton::clicked, this, &ViewPatient::onDeleteCommand);
    connect(m_buttonManageDevice, &QPushButton::clicked, this, &ViewPatient::manageDevice);
    connect(m_buttonRefresh, &QPushButton::clicked, this, &ViewPatient::onLoad);
    pressWithKeys(m_buttonRefresh, {QKeySequence::Refresh});
    connect(m_records, &PatientRecordsTable::checksChanged, this, &ViewPatient::onUpdate);
    connect(m_records, &PatientRecordsTable::error, this, &ViewPatient::onError);
    connect(m_device, &PatientDeviceActions::patientChanged, this, &ViewPatient::showParticulars);
    connect(m_device, &PatientDeviceActions::error, this, &ViewPatient::onError);
    connect(m_export, &PatientExport::error, this, &ViewPatient::onError);
    connect(m_autospectrum, &PatientAutospectrum::minutesChosen, this, &ViewPatient::onAutospectrum);
    connect(m_autospectrum, &PatientAutospectrum::play, this,
            [this](const QByteArray& samples) { emit onPlay(samples, m_patient.name()); });
    connect(m_autospectrum, &PatientAutospectrum::error, this, &ViewPatient::onError);
}

void ViewPatient::retranslate()
{
    m_heading->setTitle(tr("Title.patientView"));
    m_labelTitleTable->setText(tr("Title.patientViewTable"));
    namePictureButton(m_buttonDeleteCommand, tr("Text.deleteCommand"));
    namePictureButton(m_buttonManageDevice, tr("Text.manageDevice"));
    namePictureButton(m_buttonRefresh, tr("Text.refresh"));
    setUpKeyboardTable(m_table, tr("Title.patientViewTable"));
    m_table->setAccessibleDescription(tr("Text.recordsTableKeys"));
}

void ViewPatient::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        // The model translates its header and cells as they are painted.
        m_records->header()->viewport()->update();
        m_table->viewport()->update();
    }
    QWidget::changeEvent(event);
}

void ViewPatient::showParticulars()
{
    m_sideBar->particulars()->show(m_patient);
    m_heading->setDevice(m_patient.deviceIcon(), m_patient.hasDevices());
    m_buttonDeleteCommand->setVisible(m_patient.hasDevices());
}

// ---- Records ---------------------------------------------------------------------

void ViewPatient::onLoad()
{
    m_records->load();
}

void ViewPatient::screenReturned()
{
    // The directory holds the patient as every screen left it.
    const Patient listed = PatientManager::instance().patientById(m_patient);
    if (!listed.id().isEmpty()) {
        m_patient = listed;
        showParticulars();
    }
    m_records->load(PatientRecordsTable::Checks::Kept);
}

void ViewPatient::onLoadSuccess(const QByteArray& bytes)
{
    m_records->showRecords(bytes);
}

void ViewPatient::onUpdate()
{
    m_sideBar->showChecked(m_records->checkedRecords().size());
    m_records->showChecks();
}

void ViewPatient::onHeaderCheckBoxClicked(bool state)
{
    m_records->model()->setAllChecked(state);
}

void ViewPatient::onDeleteRecord(const QModelIndex& index)
{
    m_records->askToDelete(index);
}

void ViewPatient::onNewRecord()
{
    auto* recorder = new AudioRecorder(this, m_patient.hasDevices());
    connect(recorder, &AudioRecorder::onSave, this, &ViewPatient::onSaveRecord);
    connect(recorder, &AudioRecorder::onCommand, this, qOverload<const QString&>(&ViewPatient::onSendCommand));
    recorder->exec();
    recorder->deleteLater();
}

void ViewPatient::onSaveRecord(QByteArray& file, const QString& sensorId)
{
    m_records->upload(file, sensorId);
}

void ViewPatient::onSaveSuccess(const QByteArray& bytes)
{
    if (!m_records->addUploaded(bytes))
        onLoad();
}

// ---- Side-bar actions --------------------------------------------------------------

void ViewPatient::analysis()
{
    QList<Record> records = m_records->checkedRecords();
    emit onAnalysis(m_patient, records);
}

void ViewPatient::comparativeAnalysis()
{
    QList<Record> records = m_records->checkedRecords();
    emit onComparativeAnalysis(m_patient, records);
}

void ViewPatient::recoveryHistory()
{
    QList<Record> records = m_records->checkedRecords();
    emit onRecoveryHistory(m_patient, records);
}

void ViewPatient::receipt()
{
    const QList<Record> records = m_records->checkedRecords();
    if (records.isEmpty())
        return;
    Record record = records.first();
    emit onReceipt(m_patient, record);
}

void ViewPatient::patientsList()
{
    emit onPatientsList();
}

void ViewPatient::deletePatient()
{
    emit onPatientDelete(this, m_patient);
}

void ViewPatient::onError(const QString& message)
{
    showError(this, message);
}

// ---- Edit ------------------------------------------------------------------------

void ViewPatient::onEditPatient()
{
    // The form writes into a scratch copy: a refused or abandoned edit leaves
    // the card's patient as it was.
    Patient edited = m_patient;
    auto* form = new FormPatient;
    const QPointer<FormPatient> openForm(form);
    connect(form, &FormPatient::onSubmit, this, [this, openForm](Patient* submitted) {
        PatientManager::instance().editPatient(this, openForm, *submitted);
    });
    form->setPatient(&edited);
    // The directory accepts the form only once the service has stored the patient.
    const bool stored = form->exec() == QDialog::Accepted;
    if (openForm)
        openForm->deleteLater();
    if (!stored)
        return;
    // The list's row holds the service's answer; a patient no longer on the
    // page keeps the copy the service accepted.
    const Patient listed = PatientManager::instance().patientById(edited);
    m_patient = listed.id().isEmpty() ? edited : listed;
    showParticulars();
}

// ---- Export, remote device, autospectrum ------------------------------------------

void ViewPatient::excelExport()
{
    m_export->start(m_patient);
}

void ViewPatient::onExportSuccess(const QByteArray& bytes)
{
    m_export->save(bytes);
}

void ViewPatient::onSendCommand(const QString& command, Record* record)
{
    m_device->sendCommand(command, record);
}

void ViewPatient::onSendCommand(const QString& command)
{
    m_device->sendCommand(command, nullptr);
}

void ViewPatient::onDeleteCommand()
{
    m_device->deleteCommand();
}

void ViewPatient::manageDevice()
{
    m_device->manage();
}

void ViewPatient::onDeviceConnect(const QString& sensorId)
{
    m_device->connectDevice(sensorId);
}

void ViewPatient::onDeviceDisconnect()
{
    m_device->disconnectDevice();
}

void ViewPatient::onDeviceToggle()
{
    m_device->toggleDevice();
}

void ViewPatient::updatePatient(const Patient& patient)
{
    if (patient.id() != m_patient.id())
        return;
    m_patient = patient;
    showParticulars();
}

bool ViewPatient::isPlayerActive() const
{
    return m_autospectrum->isPlayerActive();
}

void ViewPatient::setPlayerActive(bool active)
{
    m_autospectrum->setPlayerActive(active);
}

void ViewPatient::autospectrum()
{
    m_autospectrum->askMinutes();
}

void ViewPatient::onAutospectrum(int minutes)
{
    const QList<Record> checked = m_records->checkedRecords();
    if (minutes > 0 && !checked.isEmpty())
        m_autospectrum->request(m_patient, checked.first(), minutes);
}
