#include "views/PatientRecordsTable.h"

#include "api/Controller.h"
#include "api/RecordingUploader.h"
#include "data/PatientProxyModel.h"
#include "data/RecordModel.h"
#include "views/RecordDelegate.h"
#include "widgets/CheckBoxHeader.h"
#include "widgets/KeyboardAccess.h"
#include "widgets/MessageBoxes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QShortcut>
#include <QTableView>

PatientRecordsTable::PatientRecordsTable(QWidget* card, QTableView* table, const Patient& patient)
    : QObject(card), m_card(card), m_table(table), m_patient(patient)
{
    setUpTable();
    connect(m_model, &RecordModel::onUpdate, this, &PatientRecordsTable::checksChanged);
    connect(m_header, &CheckBoxHeader::checkBoxClicked, m_model, &RecordModel::setAllChecked);
    connect(m_delegate, &RecordDelegate::removePress, this, &PatientRecordsTable::askToDelete);
    RecordingUploader& uploader = RecordingUploader::instance();
    connect(&uploader, &RecordingUploader::uploaded, this, &PatientRecordsTable::showUploaded);
    connect(&uploader, &RecordingUploader::failed, this, &PatientRecordsTable::reportFailedUpload);
    // The bin at the end of a row has its key on the focused row.
    keepFocusedRow(m_table);
    actOnFocusedRow(m_table, {QKeySequence::Delete}, [this](const QModelIndex& row) { askToDelete(row); });
    // The header's box by keyboard: Ctrl+A ticks every record, or unticks
    // them all when all are ticked.
    auto* tickAll = new QShortcut(QKeySequence::SelectAll, m_table, nullptr, nullptr, Qt::WidgetShortcut);
    connect(tickAll, &QShortcut::activated, this, [this] {
        const int rows = m_model->rowCount();
        m_model->setAllChecked(rows == 0 || m_model->checkedRecords().size() < rows);
    });
}

void PatientRecordsTable::setUpTable()
{
    m_model = new RecordModel(this);
    m_proxy = new PatientProxyModel(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setDynamicSortFilter(true);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_proxy->setSortRole(RecordModel::SortRole);
    m_proxy->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_proxy->setSortLocaleAware(true);
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

QList<Record> PatientRecordsTable::checkedRecords() const
{
    return m_model->checkedRecords();
}

void PatientRecordsTable::load(Checks checks)
{
    auto* controller = new Controller(m_card);
    connect(controller, &Controller::onBytes, this, [this, checks](const QByteArray& bytes) {
        showRecords(bytes, checks);
        // The service answers: recordings that waited for it may go now.
        RecordingUploader::instance().sendWaiting();
    });
    connect(controller, &Controller::onError, this, &PatientRecordsTable::error);
    controller->getRecords(m_patient);
}

void PatientRecordsTable::showRecords(const QByteArray& bytes, Checks checks)
{
    QJsonParseError parse{};
    const QJsonDocument answer = QJsonDocument::fromJson(bytes, &parse);
    // A list that can't be read is no empty list: the rows shown stay.
    if (parse.error != QJsonParseError::NoError || !answer.isArray()) {
        emit error(tr("Text.unreadableAnswer"));
        return;
    }
    // The marks as they are now, not when the list was asked for.
    QSet<QString> checked;
    if (checks == Checks::Kept) {
        for (const Record& record : m_model->checkedRecords())
            checked.insert(record.id());
    }
    m_model->clear();
    const QJsonArray array = answer.array();
    QList<Record> records;
    records.reserve(array.size());
    // The service lists the oldest record first; the first row is the newest.
    // An element that is no record with an id can be neither shown nor used.
    for (int element = array.size() - 1; element >= 0; --element) {
        Record record(array.at(element).toObject());
        record.setChecked(checked.contains(record.id()));
        if (!record.id().isEmpty())
            records.append(record);
    }
    m_model->append(records);
    // The buttons and the header follow the marks of the new rows.
    emit checksChanged();
}

void PatientRecordsTable::upload(const QByteArray& recording, const QString& sensorId)
{
    RecordingUploader::instance().upload(m_patient, recording, sensorId, m_card);
}

void PatientRecordsTable::showUploaded(const QString& patientId, const QByteArray& bytes)
{
    if (patientId == m_patient.id() && !addUploaded(bytes))
        load(Checks::Kept);
}

void PatientRecordsTable::reportFailedUpload(const QString& patientId, const QString& message,
                                             RecordingUploader::Origin origin, bool kept)
{
    if (patientId != m_patient.id())
        return;
    // Tries of its own the practitioner sees in the waiting rows; a dropped
    // recording is told whoever sent it.
    if (kept && origin == RecordingUploader::Origin::Background)
        return;
    emit error(kept ? tr("Text.recordingKept").arg(message) : message);
}

bool PatientRecordsTable::addUploaded(const QByteArray& bytes)
{
    const Record record(QJsonDocument::fromJson(bytes).object());
    if (record.id().isEmpty())
        return false;
    // A list asked for meanwhile may hold it already.
    if (m_model->indexOf(record) >= 0)
        return true;
    m_model->prepend(record);
    emit checksChanged();
    return true;
}

void PatientRecordsTable::askToDelete(const QModelIndex& index)
{
    const Record record = m_model->recordAt(m_proxy->mapToSource(index));
    if (!confirmDeleteRecord(m_card, record.recordedAt()))
        return;
    auto* controller = new Controller(m_card);
    // The row is looked up when the service confirms: a reload or a new
    // record meanwhile may have moved it, or taken it away.
    connect(controller, &Controller::onSuccess, this, [this, record] { m_model->removeAt(m_model->indexOf(record)); });
    connect(controller, &Controller::onError, this, &PatientRecordsTable::error);
    controller->deleteRecord(record);
}

void PatientRecordsTable::showChecks()
{
    const int checked = m_model->checkedRecords().size();
    const int rows = m_model->rowCount();
    if (checked < rows)
        m_header->setChecked(false);
    else if (rows > 0)
        m_header->setChecked(true);
    m_table->viewport()->update();
}
