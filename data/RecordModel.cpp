#include "data/RecordModel.h"

#include "data/PatientModel.h"

#include <QDateTime>

#include <limits>

RecordModel::RecordModel(QObject* parent) : QAbstractTableModel(parent) {}

int RecordModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_records.size();
}

int RecordModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RecordModel::data(const QModelIndex& index, int role) const
{
    if (!holds(index))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return displayValue(index.row(), index.column());
    case SortRole:
        return sortValue(index.row(), index.column());
    case Qt::CheckStateRole:
        if (index.column() != CheckColumn)
            return {};
        return m_records.at(index.row()).checked() ? Qt::Checked : Qt::Unchecked;
    case Qt::AccessibleTextRole:
        return pictureText(index.row(), index.column());
    case Qt::BackgroundRole:
        return PatientModel::rowBackground(index.row());
    case Qt::ForegroundRole:
        return PatientModel::textColor();
    default:
        return {};
    }
}

bool RecordModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    Q_UNUSED(value)
    if (!holds(index) || index.column() != CheckColumn || role != Qt::CheckStateRole)
        return false;
    m_records[index.row()].toggleChecked();
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit onUpdate();
    return true;
}

QVariant RecordModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::TextAlignmentRole)
        return headerAlignment(section);
    if (role != Qt::DisplayRole)
        return {};
    switch (Column(section)) {
    case NumberColumn:
        return QStringLiteral("#");
    case RecordedAtColumn:
        return tr("Text.recordedAt");
    case DoctorColumn:
        return tr("Text.doctorName");
    case QuestionnaireColumn:
        return tr("Text.questionnaire");
    case CheckColumn:
    case NotesColumn:
    case RemoveColumn:
    case ColumnCount:
        break;
    }
    return {};
}

Qt::ItemFlags RecordModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return QAbstractTableModel::flags(index);
    if (!holds(index))
        return Qt::ItemIsEnabled;
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return index.column() == CheckColumn ? flags | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled : flags;
}

void RecordModel::clear()
{
    beginResetModel();
    m_records.clear();
    endResetModel();
    emit onUpdate();
}

void RecordModel::append(const Record& record)
{
    append(QList<Record>{record});
}

void RecordModel::append(const QList<Record>& records)
{
    if (records.isEmpty())
        return;
    const int first = m_records.size();
    beginInsertRows({}, first, first + records.size() - 1);
    m_records.append(records);
    endInsertRows();
    // The rows above count down from the new row count.
    if (first > 0)
        emit dataChanged(index(0, NumberColumn), index(first - 1, NumberColumn), {Qt::DisplayRole});
}

void RecordModel::prepend(const Record& record)
{
    beginInsertRows({}, 0, 0);
    m_records.prepend(record);
    endInsertRows();
    // The new first row takes the highest number; the others keep theirs.
}

void RecordModel::removeAt(int row)
{
    if (row < 0 || row >= m_records.size())
        return;
    beginRemoveRows({}, row, row);
    m_records.removeAt(row);
    endRemoveRows();
    // The rows above the removed one now count down from a smaller total.
    if (row > 0)
        emit dataChanged(index(0, NumberColumn), index(row - 1, NumberColumn), {Qt::DisplayRole});
    emit onUpdate();
}

void RecordModel::updateAt(const QModelIndex& index, const Record& record)
{
    if (!holds(index))
        return;
    m_records[index.row()] = record;
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), ColumnCount - 1));
}

Record RecordModel::recordAt(const QModelIndex& index) const
{
    return holds(index) ? m_records.at(index.row()) : Record();
}

int RecordModel::indexOf(const Record& record) const
{
    if (record.id().isEmpty())
        return -1;
    for (int row = 0; row < m_records.size(); ++row) {
        if (m_records.at(row).id() == record.id())
            return row;
    }
    return -1;
}

QList<Record> RecordModel::checkedRecords() const
{
    QList<Record> checked;
    for (const Record& record : m_records) {
        if (record.checked())
            checked.append(record);
    }
    return checked;
}

void RecordModel::setAllChecked(bool checked)
{
    for (Record& record : m_records)
        record.setChecked(checked);
    if (!m_records.isEmpty())
        emit dataChanged(index(0, CheckColumn), index(m_records.size() - 1, CheckColumn), {Qt::CheckStateRole});
    emit onUpdate();
}

// Also rejects indexes kept from before a removal, whose row may now be past the end.
bool RecordModel::holds(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this && index.row() < m_records.size() && index.column() < ColumnCount;
}

QString RecordModel::pictureText(int row, int column) const
{
    if (column == NotesColumn)
        return m_records.at(row).editable() ? tr("Text.recordEditable") : tr("Text.recordClosed");
    return column == RemoveColumn ? tr("Text.deleteRecord") : QString();
}

QVariant RecordModel::displayValue(int row, int column) const
{
    const Record& record = m_records.at(row);
    switch (Column(column)) {
    case NumberColumn:
        return QString::number(m_records.size() - row);
    case NotesColumn:
        // Records the practitioner may no longer edit carry the notes picture.
        if (record.editable())
            return {};
        if (m_notes.isNull())
            m_notes = QPixmap(QStringLiteral(":/images/notes.png"));
        return m_notes;
    case RecordedAtColumn:
        return record.recordedAt();
    case DoctorColumn:
        // Sorted in the language's order, whatever the case.
        return record.doctorName().toCaseFolded();
    case QuestionnaireColumn:
        return record.questionnaire() ? tr("Text.yes") : tr("Text.no");
    case CheckColumn:
    case RemoveColumn:
    case ColumnCount:
        break;
    }
    return {};
}

namespace {

// The shown date and time ("yyyy-MM-dd HH:mm:ss") as a number that sorts as
// they do; a record of unknown date comes before every other. No time zone is
// involved: a conversion to local time has the C library look at the zone
// file, and a sort asks for the key thousands of times.
qint64 wallClockKey(const QString& shown)
{
    const QDate date = QDate::fromString(shown.left(10), Qt::ISODate);
    const QTime time = QTime::fromString(shown.mid(11), Qt::ISODate);
    if (!date.isValid() || !time.isValid())
        return std::numeric_limits<qint64>::min();
    return date.toJulianDay() * 86400000 + time.msecsSinceStartOfDay();
}

} // namespace

QVariant RecordModel::sortValue(int row, int column) const
{
    const Record& record = m_records.at(row);
    switch (Column(column)) {
    case NumberColumn:
        return m_records.size() - row;
    case NotesColumn:
        return record.editable() ? 0 : 1;
    case RecordedAtColumn:
        return wallClockKey(record.recordedAt());
    case DoctorColumn:
        // Sorted in the language's order, whatever the case.
        return record.doctorName().toCaseFolded();
    case QuestionnaireColumn:
        return record.questionnaire() ? 1 : 0;
    case CheckColumn:
        return record.checked() ? 1 : 0;
    case RemoveColumn:
    case ColumnCount:
        break;
    }
    return {};
}

QVariant RecordModel::headerAlignment(int section)
{
    switch (Column(section)) {
    case NumberColumn:
    case NotesColumn:
        return int(Qt::AlignCenter);
    case RecordedAtColumn:
    case DoctorColumn:
    case QuestionnaireColumn:
        return int(Qt::AlignLeft);
    case CheckColumn:
    case RemoveColumn:
    case ColumnCount:
        break;
    }
    return int(Qt::AlignLeft | Qt::AlignVCenter);
}
