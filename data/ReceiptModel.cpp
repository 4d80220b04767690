#include "data/ReceiptModel.h"

#include "data/Recipe.h"

#include <QColor>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

Qt::Alignment alignment(int column)
{
    return column == ReceiptModel::MarkerColumn ? Qt::AlignLeft | Qt::AlignVCenter : Qt::Alignment(Qt::AlignCenter);
}

} // namespace

ReceiptModel::ReceiptModel(QObject* parent) : QAbstractTableModel(parent) {}

int ReceiptModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_markers.size();
}

int ReceiptModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || m_markers.isEmpty() ? 0 : ColumnCount;
}

QVariant ReceiptModel::data(const QModelIndex& index, int role) const
{
    if (!holds(index))
        return {};
    const Marker& marker = m_markers.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::UserRole:
        switch (index.column()) {
        case MarkerColumn:
            return marker.title();
        case PercentColumn:
            return marker.value();
        case FrequenciesColumn:
            return marker.amount();
        default:
            // The notes column shows a picture and sorts by the description.
            return role == Qt::UserRole ? QVariant(marker.description()) : QVariant();
        }
    case Qt::CheckStateRole:
        if (index.column() == MarkerColumn)
            return marker.selected() ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        return int(alignment(index.column()));
    case Qt::BackgroundRole:
        return QColor(Qt::white);
    case DescriptionRole:
        return marker.description();
    case Qt::AccessibleTextRole:
        // The notes picture stands for the description it shows on hover.
        if (index.column() != NotesColumn)
            return {};
        return marker.description().isEmpty() ? tr("Text.noDescription") : marker.description();
    default:
        return {};
    }
}

QVariant ReceiptModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::TextAlignmentRole)
        return int(alignment(section));
    if (role != Qt::DisplayRole)
        return {};
    switch (section) {
    case MarkerColumn:
        return tr("Text.marker");
    case PercentColumn:
        return tr("Text.matchPercent");
    case FrequenciesColumn:
        return tr("Text.amountFrequencies");
    default:
        return QString();
    }
}

Qt::ItemFlags ReceiptModel::flags(const QModelIndex& index) const
{
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (holds(index) && index.column() == MarkerColumn)
        return flags | Qt::ItemIsUserCheckable;
    return flags;
}

bool ReceiptModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    Q_UNUSED(value)
    if (!holds(index) || index.column() != MarkerColumn || role != Qt::CheckStateRole)
        return false;
    m_markers[index.row()].toggleSelected();
    emit dataChanged(index, index, {Qt::CheckStateRole});
    // A copy: the receiver may keep or change it without touching the row.
    Marker marker = m_markers.at(index.row());
    emit onSelect(marker);
    return true;
}

void ReceiptModel::setAnalysis(const QByteArray& bytes, const Recipe& recipe)
{
    setAnalysis(QJsonDocument::fromJson(bytes).object().value(QLatin1String("rows")).toArray(), recipe);
}

void ReceiptModel::setAnalysis(const QJsonArray& rows, const Recipe& recipe)
{
    QList<Marker> markers;
    markers.reserve(rows.size());
    for (const QJsonValue& row : rows)
        markers.append(Marker(row.toObject()));
    setMarkers(markers, recipe);
}

void ReceiptModel::setMarkers(const QList<Marker>& markers, const Recipe& recipe)
{
    beginResetModel();
    m_markers = markers;
    for (Marker& marker : m_markers)
        marker.setSelected(recipe.contains(marker.id()));
    endResetModel();
}

void ReceiptModel::tick(const Recipe& recipe)
{
    for (Marker& marker : m_markers)
        marker.setSelected(recipe.contains(marker.id()));
    if (!m_markers.isEmpty())
        emit dataChanged(index(0, MarkerColumn), index(m_markers.size() - 1, MarkerColumn), {Qt::CheckStateRole});
}

void ReceiptModel::removeMarker(const QString& id)
{
    for (int row = 0; row < m_markers.size(); ++row) {
        if (m_markers.at(row).id() == id) {
            beginResetModel();
            m_markers.removeAt(row);
            endResetModel();
            return;
        }
    }
}

Marker ReceiptModel::markerAt(int row) const
{
    return row >= 0 && row < m_markers.size() ? m_markers.at(row) : Marker();
}

bool ReceiptModel::holds(const QModelIndex& index) const
{
    return index.isValid() && index.row() < m_markers.size() && index.column() < ColumnCount;
}
