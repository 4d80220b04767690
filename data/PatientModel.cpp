#include "data/PatientModel.h"

#include <QPixmap>

namespace {

// Text columns start with two spaces so they don't touch the grid line.
QString indented(const QString& text)
{
    return QStringLiteral("  ") + text;
}

} // namespace

PatientModel::PatientModel(QObject* parent) : QAbstractTableModel(parent) {}

int PatientModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_patients.size();
}

int PatientModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PatientModel::data(const QModelIndex& index, int role) const
{
    if (!holds(index))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return displayValue(index.row(), index.column());
    case Qt::ToolTipRole:
        return index.column() == DeviceColumn ? statusText(m_patients.at(index.row()).deviceState()) : QString();
    case Qt::AccessibleTextRole:
        return pictureText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return int(alignment(index.column()));
    case Qt::BackgroundRole:
        return rowBackground(index.row());
    case Qt::ForegroundRole:
        return textColor();
    default:
        return {};
    }
}

QVariant PatientModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return headerText(section);
    if (role == Qt::TextAlignmentRole)
        return int(alignment(section));
    return {};
}

Qt::ItemFlags PatientModel::flags(const QModelIndex& index) const
{
    // The root index is no cell and keeps the toolkit's empty flags.
    if (!index.isValid())
        return QAbstractTableModel::flags(index);
    return holds(index) ? QAbstractTableModel::flags(index) : Qt::ItemIsEnabled;
}

void PatientModel::clear()
{
    beginResetModel();
    m_patients.clear();
    endResetModel();
}

void PatientModel::append(const Patient& patient)
{
    const int row = m_patients.size();
    beginInsertRows({}, row, row);
    m_patients.append(patient);
    endInsertRows();
}

void PatientModel::removeAt(int row)
{
    if (row < 0 || row >= m_patients.size())
        return;
    beginRemoveRows({}, row, row);
    m_patients.removeAt(row);
    endRemoveRows();
    // The rows below moved up and took new running numbers.
    if (row < m_patients.size())
        emit dataChanged(index(row, NumberColumn), index(m_patients.size() - 1, NumberColumn), {Qt::DisplayRole});
}

void PatientModel::updateAt(const QModelIndex& index, const Patient& patient)
{
    if (!holds(index))
        return;
    m_patients[index.row()] = patient;
    // Callers pass any cell of the row (usually column 0), yet every column
    // of the row may show something new, so the whole row is reported.
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), ColumnCount - 1));
}

Patient PatientModel::patientAt(const QModelIndex& index) const
{
    return holds(index) ? m_patients.at(index.row()) : Patient();
}

Patient PatientModel::patientById(const QString& id) const
{
    const int row = rowOfId(id);
    return row < 0 ? Patient() : m_patients.at(row);
}

int PatientModel::indexOf(const Patient& patient) const
{
    return rowOfId(patient.id());
}

void PatientModel::setPageCount(int count)
{
    if (count == m_pageCount)
        return;
    m_pageCount = count;
    emit pageCountChanghed();
}

void PatientModel::setCurrentPage(int page)
{
    if (page == m_currentPage)
        return;
    m_currentPage = page;
    numbersChanged();
}

void PatientModel::setPageSize(int size)
{
    if (size == m_pageSize)
        return;
    m_pageSize = size;
    numbersChanged();
}

QColor PatientModel::rowBackground(int row)
{
    return row % 2 == 0 ? QColor(Qt::white) : QColor(247, 249, 252);
}

QColor PatientModel::textColor()
{
    return QColor(65, 65, 65);
}

// Also rejects indexes kept from before a removal, whose row may now be past the end.
bool PatientModel::holds(const QModelIndex& index) const
{
    return index.isValid() && index.row() < m_patients.size() && index.column() < ColumnCount;
}

int PatientModel::rowOfId(const QString& id) const
{
    if (id.isEmpty())
        return -1;
    for (int row = 0; row < m_patients.size(); ++row) {
        if (m_patients.at(row).id() == id)
            return row;
    }
    return -1;
}

QVariant PatientModel::displayValue(int row, int column) const
{
    const Patient& patient = m_patients.at(row);
    switch (Column(column)) {
    case NumberColumn:
        return QString::number((m_currentPage - 1) * m_pageSize + row + 1);
    case DeviceColumn:
        return patient.deviceIcon();
    case NameColumn:
        return indented(patient.name());
    case AgeColumn:
        return QString::number(patient.age());
    case GenderColumn:
        return patient.genderIcon();
    case LastRecordColumn:
        return patient.lastRecordAt();
    case PhoneColumn:
        return indented(patient.phone());
    case NotesColumn:
        return indented(patient.notes());
    case EditColumn:
    case RemoveColumn:
    case ColumnCount:
        break;
    }
    // The delegate draws the action pictures itself.
    return {};
}

Qt::Alignment PatientModel::alignment(int column)
{
    switch (column) {
    case NumberColumn:
    case AgeColumn:
    case GenderColumn:
    case LastRecordColumn:
        return Qt::AlignCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

QString PatientModel::headerText(int column)
{
    switch (Column(column)) {
    case NameColumn:
        return tr("Text.name");
    case AgeColumn:
        return tr("Text.age");
    case GenderColumn:
        return tr("Text.gender");
    case LastRecordColumn:
        return tr("Text.lastRecordDate");
    case PhoneColumn:
        return tr("Text.phone");
    case NotesColumn:
        return tr("Text.notes");
    case NumberColumn:
    case DeviceColumn:
    case EditColumn:
    case RemoveColumn:
    case ColumnCount:
        break;
    }
    return QString();
}

QString PatientModel::pictureText(int row, int column) const
{
    const Patient& patient = m_patients.at(row);
    switch (column) {
    case DeviceColumn:
        return statusText(patient.deviceState());
    case GenderColumn:
        return patient.gender() == QLatin1String("MALE") ? tr("Text.male") : tr("Text.female");
    case EditColumn:
        return tr("Text.editPatient");
    case RemoveColumn:
        return tr("Text.deletePatient");
    default:
        return {};
    }
}

QString PatientModel::statusText(DeviceState state)
{
    switch (state) {
    case DeviceState::NotConnected:
        return tr("Text.deviceNotConnected");
    case DeviceState::NoCommand:
        return tr("Text.noCommands");
    case DeviceState::RecordInProgress:
        return tr("Text.recordInProgress");
    case DeviceState::RecordComplete:
        return tr("Text.recordComplete");
    case DeviceState::RecipeInProgress:
        return tr("Text.recipeInProgress");
    case DeviceState::RecipeComplete:
        return tr("Text.recipeComplete");
    }
    return QString();
}

// The running numbers depend on the page and its size.
void PatientModel::numbersChanged()
{
    if (m_patients.isEmpty())
        return;
    emit dataChanged(index(0, NumberColumn), index(m_patients.size() - 1, NumberColumn), {Qt::DisplayRole});
}
