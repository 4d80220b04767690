#include "views/ViewPatient.h"

#include "api/Controller.h"
#include "api/PatientManager.h"
#include "audio/AudioRecorder.h"
#include "audio/ImpactAudio.h"
#include "audio/SensorId.h"
#include "base/FileSaving.h"
#include "data/PatientProxyModel.h"
#include "data/RecordModel.h"
#include "views/DialogAutospectrum.h"
#include "views/DialogManageDevices.h"
#include "views/FormPatient.h"
#include "views/RecordDelegate.h"
#include "widgets/CheckBoxHeader.h"
#include "widgets/MessageBoxes.h"
#include "widgets/SaveFileDialog.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
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

// The service's export: Base64 text, perhaps with line breaks. Anything else,
// or text that decodes to nothing, gives an empty result.
QByteArray decodeExport(const QByteArray& body)
{
    QByteArray text = body;
    text.replace('\r', QByteArray()).replace('\n', QByteArray());
    const auto decoded = QByteArray::fromBase64Encoding(text.trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? *decoded : QByteArray();
}

} // namespace

ViewPatient::ViewPatient(const Patient& patient, QWidget* parent) : QWidget(parent), m_patient(patient)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    buildWidgets();
    setUpTable();
    retranslate();
    showParticulars();
    connectActions();
    onLoad();
}

// ---- Widgets ---------------------------------------------------------------------

void ViewPatient::buildWidgets()
{
    m_labelConnectedDevice = label(QStringLiteral("labelConnectedDevice"), this);
    m_labelConnectedDevice->setFixedSize(32, 32);
    m_labelConnectedDevice->setScaledContents(true);
    m_labelTitle = label(QStringLiteral("labelTitle"), this);
    // As high as the device picture, so the card does not shift without one.
    m_labelTitle->setMinimumHeight(32);
    m_buttonListPatients = new QPushButton(this);
    m_buttonListPatients->setObjectName(QStringLiteral("buttonListPatients"));
    m_buttonListPatients->setCursor(Qt::PointingHandCursor);
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(m_labelConnectedDevice);
    titleRow->addWidget(m_labelTitle);
    titleRow->addStretch();
    titleRow->addWidget(m_buttonListPatients);

    auto* body = new QHBoxLayout;
    body->setSpacing(16);
    body->addWidget(buildSideBar());
    body->addWidget(buildTableArea(), 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->setSpacing(12);
    layout->addLayout(titleRow);
    layout->addLayout(body, 1);
}

QWidget* ViewPatient::buildSideBar()
{
    auto* sideBar = new QFrame(this);
    sideBar->setObjectName(QStringLiteral("sideBar"));
    sideBar->setFixedWidth(280);

    auto* groupName = new QGroupBox(sideBar);
    groupName->setObjectName(QStringLiteral("groupName"));
    m_labelPatientName = label(QStringLiteral("labelPatientName"), groupName);
    m_labelPatientName->setWordWrap(true);
    m_buttonEditPatient =
        pictureButton(QStringLiteral("buttonEditPatient"), QStringLiteral(":/images/edit-hover.png"), groupName);
    m_labelAge = label(QStringLiteral("labelAge"), groupName);
    m_labelAgeValue = label(QStringLiteral("labelAgeValue"), groupName);
    m_labelGender = label(QStringLiteral("labelGender"), groupName);
    m_labelGenderIcon = label(QStringLiteral("labelGenderIcon"), groupName);
    m_labelPhone = label(QStringLiteral("labelPhone"), groupName);
    m_labelPhoneValue = label(QStringLiteral("labelPhoneValue"), groupName);
    m_labelPhoneValue->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* particulars = new QGridLayout(groupName);
    particulars->setColumnStretch(1, 1);
    particulars->addWidget(m_labelPatientName, 0, 0, 1, 2);
    particulars->addWidget(m_buttonEditPatient, 0, 2, Qt::AlignTop);
    particulars->addWidget(m_labelAge, 1, 0);
    particulars->addWidget(m_labelAgeValue, 1, 1, 1, 2);
    particulars->addWidget(m_labelGender, 2, 0);
    particulars->addWidget(m_labelGenderIcon, 2, 1, 1, 2);
    particulars->addWidget(m_labelPhone, 3, 0);
    particulars->addWidget(m_labelPhoneValue, 3, 1, 1, 2);

    const auto action = [sideBar](const QString& objectName, const QString& picture) {
        auto* button = pictureButton(objectName, picture, sideBar);
        button->setMinimumHeight(44);
        return button;
    };
    m_buttonNewRecord = action(QStringLiteral("buttonNewRecord"), QStringLiteral(":/images/record-create.png"));
    m_buttonAutospectrum = action(QStringLiteral("buttonAutospectrum"), QStringLiteral(":/images/autospectrum.png"));
    m_buttonAnalysis = action(QStringLiteral("buttonAnalysis"), QStringLiteral(":/images/analysis.png"));
    m_buttonComparativeAnalysis =
        action(QStringLiteral("buttonComparativeAnalysis"), QStringLiteral(":/images/comparative-analysis.png"));
    m_buttonRecoveryHistory =
        action(QStringLiteral("buttonRecoveryHistory"), QStringLiteral(":/images/recovery-history.png"));
    m_buttonReceipt = action(QStringLiteral("buttonReceipt"), QStringLiteral(":/images/receipt.png"));
    m_buttonExcelExport = action(QStringLiteral("buttonExcelExport"), QStringLiteral(":/images/excel-export.png"));
    m_buttonDeletePatient =
        action(QStringLiteral("buttonDeletePatient"), QStringLiteral(":/images/patient-delete.png"));
    // Nothing is checked yet.
    for (QPushButton* button : {m_buttonAutospectrum, m_buttonAnalysis, m_buttonComparativeAnalysis,
                                m_buttonRecoveryHistory, m_buttonReceipt})
        button->setEnabled(false);

    auto* layout = new QVBoxLayout(sideBar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(groupName);
    layout->addSpacing(8);
    for (QPushButton* button : {m_buttonNewRecord, m_buttonAutospectrum, m_buttonAnalysis, m_buttonComparativeAnalysis,
                                m_buttonRecoveryHistory, m_buttonReceipt, m_buttonExcelExport})
        layout->addWidget(button);
    layout->addStretch();
    layout->addWidget(m_buttonDeletePatient);
    return sideBar;
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
    auto* layout = new QVBoxLayout(tableArea);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(titleRow);
    layout->addWidget(m_table, 1);
    return tableArea;
}

void ViewPatient::setUpTable()
{
    m_model = new RecordModel(this);
    m_proxy = new PatientProxyModel(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setDynamicSortFilter(true);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_delegate = new RecordDelegate(this);
    m_header = new CheckBoxHeader(Qt::Horizontal, m_table);
    m_header->setObjectName(QStringLiteral("headerView"));
    m_table->setHorizontalHeader(m_header);
    m_table->setModel(m_proxy);
    m_table->setItemDelegateForColumn(RecordModel::NotesColumn, m_delegate);
    m_table->setItemDelegateForColumn(RecordModel::RemoveColumn, m_delegate);
    m_delegate->watch(m_table);

    m_table->setSortingEnabled(true);
    m_table->setMouseTracking(true);
    m_table->setAlternatingRowColors(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    m_table->sortByColumn(RecordModel::RecordedAtColumn, Qt::DescendingOrder);

    m_header->setStretchLastSection(false);
    m_header->setHighlightSections(false);
    const std::pair<int, int> widths[] = {{RecordModel::CheckColumn, 30},
                                          {RecordModel::NumberColumn, 45},
                                          {RecordModel::NotesColumn, m_delegate->trashWidth() + 8},
                                          {RecordModel::RemoveColumn, m_delegate->trashWidth() + 4}};
    for (const auto& [column, width] : widths) {
        m_header->setSectionResizeMode(column, QHeaderView::Fixed);
        m_header->resizeSection(column, width);
    }
    for (int column : {RecordModel::RecordedAtColumn, RecordModel::DoctorColumn, RecordModel::QuestionnaireColumn})
        m_header->setSectionResizeMode(column, QHeaderView::Stretch);

    QHeaderView* rows = m_table->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(40);
    rows->setDefaultSectionSize(40);
}

void ViewPatient::connectActions()
{
    connect(m_buttonListPatients, &QPushButton::clicked, this, &ViewPatient::patientsList);
    connect(m_buttonEditPatient, &QPushButton::clicked, this, &ViewPatient::onEditPatient);
    connect(m_buttonNewRecord, &QPushButton::clicked, this, &ViewPatient::onNewRecord);
    connect(m_buttonAutospectrum, &QPushButton::clicked, this, &ViewPatient::autospectrum);
    connect(m_buttonAnalysis, &QPushButton::clicked, this, &ViewPatient::analysis);
    connect(m_buttonComparativeAnalysis, &QPushButton::clicked, this, &ViewPatient::comparativeAnalysis);
    connect(m_buttonRecoveryHistory, &QPushButton::clicked, this, &ViewPatient::recoveryHistory);
    connect(m_buttonReceipt, &QPushButton::clicked, this, &ViewPatient::receipt);
    connect(m_buttonExcelExport, &QPushButton::clicked, this, &ViewPatient::excelExport);
    connect(m_buttonDeletePatient, &QPushButton::clicked, this, &ViewPatient::deletePatient);
    connect(m_buttonDeleteCommand, &QPushButton::clicked, this, &ViewPatient::onDeleteCommand);
    connect(m_buttonManageDevice, &QPushButton::clicked, this, &ViewPatient::manageDevice);
    connect(m_buttonRefresh, &QPushButton::clicked, this, &ViewPatient::onLoad);
    connect(m_header, &CheckBoxHeader::checkBoxClicked, this, &ViewPatient::onHeaderCheckBoxClicked);
    connect(m_model, &RecordModel::onUpdate, this, &ViewPatient::onUpdate);
    connect(m_delegate, &RecordDelegate::removePress, this, &ViewPatient::onDeleteRecord);
}

void ViewPatient::retranslate()
{
    m_labelConnectedDevice->setToolTip(tr("Text.deviceConnected"));
    m_labelTitle->setText(tr("Title.patientView"));
    m_buttonListPatients->setText(tr("Text.listOfPatients"));
    m_buttonEditPatient->setToolTip(tr("Text.edit"));
    m_labelAge->setText(tr("Form.age"));
    m_labelGender->setText(tr("Form.gender"));
    m_labelPhone->setText(tr("Form.phone"));
    m_buttonNewRecord->setText(tr("Text.newRecord"));
    m_buttonAutospectrum->setText(tr("Text.autospectrum"));
    m_buttonAnalysis->setText(tr("Text.analysis"));
    m_buttonComparativeAnalysis->setText(tr("Text.comparativeAnalysis"));
    m_buttonRecoveryHistory->setText(tr("Text.recoveryHistory"));
    m_buttonReceipt->setText(tr("Text.receipt"));
    m_buttonExcelExport->setText(tr("Text.excelExport"));
    m_buttonDeletePatient->setText(tr("Text.deletePatient"));
    m_labelTitleTable->setText(tr("Title.patientViewTable"));
    m_buttonDeleteCommand->setToolTip(tr("Text.deleteCommand"));
    m_buttonManageDevice->setToolTip(tr("Text.manageDevice"));
    m_buttonRefresh->setToolTip(tr("Text.refresh"));
}

void ViewPatient::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        // The model translates its header and cells as they are painted.
        m_header->viewport()->update();
        m_table->viewport()->update();
    }
    QWidget::changeEvent(event);
}

void ViewPatient::showParticulars()
{
    m_labelPatientName->setText(m_patient.name());
    m_labelAgeValue->setText(QString::number(m_patient.age()));
    m_labelGenderIcon->setPixmap(m_patient.genderIcon());
    m_labelConnectedDevice->setPixmap(m_patient.deviceIcon());
    m_labelConnectedDevice->setVisible(m_patient.hasDevices());
    m_labelPhoneValue->setText(m_patient.phone());
    m_labelPhone->setVisible(!m_patient.phone().isEmpty());
    m_labelPhoneValue->setVisible(!m_patient.phone().isEmpty());
    m_buttonDeleteCommand->setVisible(m_patient.hasDevices());
}

// ---- Records ---------------------------------------------------------------------

void ViewPatient::onLoad()
{
    auto* controller = new Controller(this);
    connect(controller, &Controller::onBytes, this, &ViewPatient::onLoadSuccess);
    connect(controller, &Controller::onError, this, &ViewPatient::onError);
    controller->getRecords(m_patient);
}

void ViewPatient::onLoadSuccess(const QByteArray& bytes)
{
    m_model->clear();
    const QJsonArray array = QJsonDocument::fromJson(bytes).array();
    QList<Record> records;
    records.reserve(array.size());
    // The service lists the oldest record first; the first row is the newest.
    for (int element = array.size() - 1; element >= 0; --element)
        records.append(Record(array.at(element).toObject()));
    m_model->append(records);
    // The new rows carry no check marks: the buttons and the header follow.
    onUpdate();
}

void ViewPatient::onUpdate()
{
    const int checked = m_model->checkedRecords().size();
    const int rows = m_model->rowCount();
    m_buttonAnalysis->setEnabled(checked > 0);
    m_buttonRecoveryHistory->setEnabled(checked > 0);
    m_buttonAutospectrum->setEnabled(checked == 1);
    m_buttonReceipt->setEnabled(checked == 1);
    m_buttonComparativeAnalysis->setEnabled(checked >= 3);
    if (checked < rows)
        m_header->setChecked(false);
    else if (rows > 0)
        m_header->setChecked(true);
    m_table->viewport()->update();
}

void ViewPatient::onHeaderCheckBoxClicked(bool state)
{
    m_model->setAllChecked(state);
}

void ViewPatient::onDeleteRecord(const QModelIndex& index)
{
    const Record record = m_model->recordAt(m_proxy->mapToSource(index));
    if (!confirmDeleteRecord(this, record.recordedAt()))
        return;
    auto* controller = new Controller(this);
    // The row is looked up when the service confirms: a reload or a new
    // record meanwhile may have moved it, or taken it away.
    connect(controller, &Controller::onSuccess, this, [this, record] { m_model->removeAt(m_model->indexOf(record)); });
    connect(controller, &Controller::onError, this, &ViewPatient::onError);
    controller->deleteRecord(record);
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
    auto* controller = new Controller(this);
    connect(controller, &Controller::onBytes, this, &ViewPatient::onSaveSuccess);
    connect(controller, &Controller::onError, this, &ViewPatient::onError);
    controller->uploadRecord(m_patient, file, sensorId);
}

void ViewPatient::onSaveSuccess(const QByteArray& bytes)
{
    m_model->prepend(Record(QJsonDocument::fromJson(bytes).object()));
    onUpdate();
}

// ---- Side-bar actions --------------------------------------------------------------

void ViewPatient::analysis()
{
    QList<Record> records = m_model->checkedRecords();
    emit onAnalysis(m_patient, records);
}

void ViewPatient::comparativeAnalysis()
{
    QList<Record> records = m_model->checkedRecords();
    emit onComparativeAnalysis(m_patient, records);
}

void ViewPatient::recoveryHistory()
{
    QList<Record> records = m_model->checkedRecords();
    emit onRecoveryHistory(m_patient, records);
}

void ViewPatient::receipt()
{
    const QList<Record> records = m_model->checkedRecords();
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

// ---- Export ------------------------------------------------------------------------

void ViewPatient::excelExport()
{
    auto* controller = new Controller(this);
    connect(controller, &Controller::onBytes, this, &ViewPatient::onExportSuccess);
    connect(controller, &Controller::onError, this, &ViewPatient::onError);
    controller->exportExcel(m_patient);
}

void ViewPatient::onExportSuccess(const QByteArray& bytes)
{
    const QByteArray workbook = decodeExport(bytes);
    if (workbook.isEmpty()) {
        showError(this, tr("Text.exportInvalid"));
        return;
    }
    const QString chosen = SaveFileDialog::getSaveFileName(
        this, tr("Text.saveFile"), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        QStringLiteral("*.xlsx"));
    if (chosen.isEmpty())
        return;
    if (!saveWholeFile(withDefaultSuffix(chosen, QStringLiteral("xlsx")), workbook))
        showError(this, tr("Text.errorSaveFile"));
}

// ---- Remote device -----------------------------------------------------------------

void ViewPatient::patientChanged(const QString& successMessage)
{
    PatientManager::instance().replacePatient(m_patient);
    showParticulars();
    showSuccess(this, successMessage);
}

void ViewPatient::onSendCommand(const QString& command, Record* record)
{
    auto* controller = new Controller(this);
    connect(controller, &Controller::onSuccess, this, [this] {
        // Every command the card sends starts a recording on the device.
        m_patient.startRecordCommand();
        patientChanged(tr("Text.commandSuccess"));
    });
    connect(controller, &Controller::onError, this, &ViewPatient::onError);
    controller->sendCommand(m_patient, command, record);
}

void ViewPatient::onSendCommand(const QString& command)
{
    onSendCommand(command, nullptr);
}

void ViewPatient::onDeleteCommand()
{
    if (!askYesNo(this, tr("Text.deleteCommandTitle"), tr("Text.deleteCommandMessage")))
        return;
    auto* controller = new Controller(this);
    connect(controller, &Controller::onSuccess, this, [this] {
        m_patient.clearCommand();
        patientChanged(tr("Text.deleteCommandSuccess"));
    });
    connect(controller, &Controller::onError, this, &ViewPatient::onError);
    controller->deleteCommand(m_patient);
}

void ViewPatient::manageDevice()
{
    auto* dialog = new DialogManageDevices(this, m_patient);
    connect(dialog, &DialogManageDevices::listenerConnect, this, &ViewPatient::onDeviceConnect);
    connect(dialog, &DialogManageDevices::listenerDisconnect, this, &ViewPatient::onDeviceDisconnect);
    connect(dialog, &DialogManageDevices::listenerToggle, this, &ViewPatient::onDeviceToggle);
    dialog->exec();
    dialog->deleteLater();
}

void ViewPatient::onDeviceConnect(const QString& sensorId)
{
    auto* controller = new Controller(this);
    connect(controller, &Controller::onSuccess, this, [this] {
        // The service binds a device enabled: a toggle afterwards blocks it.
        m_patient.setHasDevices(true);
        m_patient.setEnabled(true);
        patientChanged(tr("Text.deviceConnectSuccess"));
    });
    connect(controller, &Controller::onError, this, &ViewPatient::onError);
    controller->connectDevice(m_patient, sensorId);
}

void ViewPatient::onDeviceDisconnect()
{
    auto* controller = new Controller(this);
    connect(controller, &Controller::onSuccess, this, [this] {
        m_patient.setHasDevices(false);
        patientChanged(tr("Text.deviceDisconnectSuccess"));
    });
    connect(controller, &Controller::onError, this, &ViewPatient::onError);
    controller->disconnectDevice(m_patient);
}

void ViewPatient::onDeviceToggle()
{
    auto* controller = new Controller(this);
    connect(controller, &Controller::onSuccess, this, [this] {
        m_patient.toggleEnabled();
        patientChanged(tr("Text.deviceStatusChangeSuccess"));
    });
    connect(controller, &Controller::onError, this, &ViewPatient::onError);
    controller->toggleDevice(m_patient);
}

// ---- Autospectrum --------------------------------------------------------------------

void ViewPatient::updatePatient(const Patient& patient)
{
    if (patient.id() != m_patient.id())
        return;
    m_patient = patient;
    showParticulars();
}

void ViewPatient::setPlayerActive(bool active)
{
    m_playerActive = active;
}

bool ViewPatient::refuseWhilePlayerActive()
{
    if (!m_playerActive)
        return false;
    showInformation(this, tr("Text.autospectrum"), tr("Text.playerActive"));
    return true;
}

void ViewPatient::autospectrum()
{
    if (refuseWhilePlayerActive())
        return;
    auto* dialog = new DialogAutospectrum(this);
    connect(dialog, &DialogAutospectrum::listener, this, &ViewPatient::onAutospectrum);
    dialog->exec();
    dialog->deleteLater();
}

void ViewPatient::onAutospectrum(int minutes)
{
    const QList<Record> checked = m_model->checkedRecords();
    if (minutes <= 0 || checked.isEmpty() || refuseWhilePlayerActive())
        return;
    auto* controller = new Controller(this);
    // The minutes go with their own request: a later request for another
    // duration does not change how this answer is stretched.
    connect(controller, &Controller::onBytes, this,
            [this, minutes](const QByteArray& reply) { playAutospectrum(reply, minutes); });
    connect(controller, &Controller::onError, this, &ViewPatient::onError);
    controller->requestAutospectrum(m_patient, checked.first(), sensorId());
}

void ViewPatient::playAutospectrum(const QByteArray& reply, int minutes)
{
    // A player may have started while the service was answering.
    if (refuseWhilePlayerActive())
        return;
    ImpactAudio audio = ImpactAudio::assembleReply(reply, repetitionCount(minutes, 1));
    if (!audio.ok()) {
        showError(this, audio.errorText());
        return;
    }
    if (audio.samples().isEmpty()) {
        showError(this, tr("Text.autospectrumEmpty"));
        return;
    }
    emit onPlay(audio.takeSamples(), m_patient.name());
}
