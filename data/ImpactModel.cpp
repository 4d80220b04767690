#include "data/ImpactModel.h"

#include <QColor>

ImpactModel::ImpactModel(QObject* parent) : QAbstractTableModel(parent) {}

int ImpactModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_markers.size();
}

int ImpactModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || m_markers.isEmpty() ? 0 : ColumnCount;
}

QVariant ImpactModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !holds(index.row()) || index.column() >= ColumnCount)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == NumberColumn)
            return index.row() + 1;
        if (index.column() == TitleColumn)
            return m_markers.at(index.row()).title();
        return {};
    case Qt::TextAlignmentRole:
        return index.column() == TitleColumn ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignCenter);
    case Qt::BackgroundRole:
        return QColor(Qt::white);
    case Qt::AccessibleTextRole:
        return pictureText(index.column());
    default:
        return {};
    }
}

QString ImpactModel::pictureText(int column)
{
    switch (column) {
    case UpColumn:
        return tr("Text.moveUp");
    case DownColumn:
        return tr("Text.moveDown");
    case RemoveColumn:
        return tr("Text.removeMarker");
    default:
        return {};
    }
}

void ImpactModel::setMarkers(const QList<Marker>& markers)
{
    beginResetModel();
    m_markers = markers;
    endResetModel();
}

void ImpactModel::moveMarker(int from, int to)
{
    if (!holds(from) || !holds(to) || from == to)
        return;
    beginResetModel();
    m_markers.move(from, to);
    endResetModel();
    emit onChangeOrder();
}

void ImpactModel::removeMarkerAt(int row)
{
    if (!holds(row))
        return;
    beginResetModel();
    const QString id = m_markers.takeAt(row).id();
    endResetModel();
    emit onMarkerRemove(id);
}
