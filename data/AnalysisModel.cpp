#include "data/AnalysisModel.h"

#include "base/JsonFields.h"

#include <QColor>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

AnalysisModel::AnalysisModel(QObject* parent) : QAbstractTableModel(parent) {}

void AnalysisModel::load(const QByteArray& body)
{
    load(QJsonDocument::fromJson(body).object());
}

void AnalysisModel::load(const QJsonObject& answer)
{
    beginResetModel();
    m_rows.clear();
    m_columns.clear();

    const QJsonArray columns = answer.value(QLatin1String("columns")).toArray();
    const QJsonArray rows = answer.value(QLatin1String("rows")).toArray();

    m_rows.reserve(rows.size());
    QVector<QJsonArray> rowValues;
    rowValues.reserve(rows.size());
    for (const QJsonValue& row : rows) {
        const QJsonObject marker = row.toObject();
        m_rows.append(
            {JsonFields::text(marker, QLatin1String("id")), JsonFields::text(marker, QLatin1String("title"))});
        rowValues.append(marker.value(QLatin1String("values")).toArray());
    }

    m_columns.reserve(columns.size());
    for (int column = 0; column < columns.size(); ++column) {
        AnalysisColumn dateColumn;
        dateColumn.date = QDateTime::fromString(columns.at(column).toString(), Qt::ISODate);
        dateColumn.values.reserve(m_rows.size());
        for (int row = 0; row < m_rows.size(); ++row) {
            // A marker with fewer values than there are columns shows 0 in the rest.
            const QJsonArray& values = rowValues.at(row);
            const int value = column < values.size() ? JsonFields::integer(values.at(column)) : 0;
            dateColumn.values.append({m_rows.at(row).id, value});
        }
        m_columns.append(dateColumn);
    }
    endResetModel();
}

int AnalysisModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int AnalysisModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid() || m_rows.isEmpty())
        return 0;
    return m_columns.size() + 1;
}

QVariant AnalysisModel::data(const QModelIndex& index, int role) const
{
    if (!holds(index))
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::UserRole:
        if (index.column() == 0)
            return m_rows.at(index.row()).title;
        return value(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return index.column() == 0 ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignCenter);
    case Qt::BackgroundRole:
        return QColor(Qt::white);
    default:
        return {};
    }
}

QVariant AnalysisModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > m_columns.size())
        return {};
    if (section == 0)
        return tr("Text.marker");
    return m_columns.at(section - 1).date.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

Qt::ItemFlags AnalysisModel::flags(const QModelIndex& index) const
{
    // The root index is no cell and keeps the toolkit's empty flags.
    if (!index.isValid())
        return QAbstractTableModel::flags(index);
    return holds(index) ? QAbstractTableModel::flags(index) : Qt::ItemIsEnabled;
}

QList<QDateTime> AnalysisModel::dates() const
{
    QList<QDateTime> dates;
    for (const AnalysisColumn& column : m_columns)
        dates.append(column.date);
    return dates;
}

bool AnalysisModel::holds(const QModelIndex& index) const
{
    return index.isValid() && index.row() < m_rows.size() && index.column() <= m_columns.size();
}

// Each column holds the values in row order, so a row reads its own entry;
// two markers sent with the same id still show their own values.
int AnalysisModel::value(int row, int column) const
{
    const QVector<QPair<QString, int>>& values = m_columns.at(column - 1).values;
    return row < values.size() ? values.at(row).second : 0;
}
