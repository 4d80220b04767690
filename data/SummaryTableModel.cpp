#include "data/SummaryTableModel.h"

#include "base/JsonFields.h"

#include <QColor>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

SummaryTableModel::SummaryTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void SummaryTableModel::load(const QByteArray& body)
{
    load(QJsonDocument::fromJson(body).object());
}

void SummaryTableModel::load(const QJsonObject& answer)
{
    beginResetModel();
    m_columns.clear();
    m_rows.clear();
    for (const QJsonValue& column : answer.value(QLatin1String("columns")).toArray())
        m_columns.append(column.toString());
    for (const QJsonValue& row : answer.value(QLatin1String("rows")).toArray()) {
        const QJsonObject category = row.toObject();
        SummaryRow summaryRow{JsonFields::text(category, QLatin1String("title")), {}};
        // Deviations may come with a fraction; the table shows the whole part.
        for (const QJsonValue& value : category.value(QLatin1String("values")).toArray())
            summaryRow.values.append(JsonFields::integer(value));
        m_rows.append(summaryRow);
    }
    endResetModel();
}

int SummaryTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int SummaryTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_columns.size() + 1;
}

QVariant SummaryTableModel::data(const QModelIndex& index, int role) const
{
    if (!holds(index) || m_columns.isEmpty())
        return {};
    const SummaryRow& row = m_rows.at(index.row());
    const int column = index.column();
    // A row with fewer values than headings leaves the rest of its cells blank.
    const bool hasValue = column == 0 || column - 1 < row.values.size();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::UserRole:
        if (column == 0)
            return row.title;
        return hasValue ? QVariant(row.values.at(column - 1)) : QVariant();
    case Qt::TextAlignmentRole:
        return column == 0 ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignCenter);
    case Qt::BackgroundRole:
        return column == 0 || !hasValue ? QColor(Qt::white) : bandColour(row.values.at(column - 1));
    case Qt::ForegroundRole:
        return QColor(Qt::black);
    default:
        return {};
    }
}

QVariant SummaryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::ToolTipRole) || section < 0 ||
        section > m_columns.size())
        return {};
    return section == 0 ? tr("Text.category") : m_columns.at(section - 1);
}

Qt::ItemFlags SummaryTableModel::flags(const QModelIndex& index) const
{
    // The root index is no cell and keeps the toolkit's empty flags.
    if (!index.isValid())
        return QAbstractTableModel::flags(index);
    return holds(index) ? QAbstractTableModel::flags(index) : Qt::ItemIsEnabled;
}

QColor SummaryTableModel::bandColour(int value)
{
    if (value > 10)
        return QColor(237, 65, 36);
    if (value < -10)
        return QColor(172, 212, 114);
    return QColor(254, 251, 82);
}

bool SummaryTableModel::holds(const QModelIndex& index) const
{
    return index.isValid() && index.row() < m_rows.size() && index.column() <= m_columns.size();
}
