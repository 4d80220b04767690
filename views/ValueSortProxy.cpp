#include "views/ValueSortProxy.h"

#include <QDateTime>
#include <QLocale>

namespace {

bool isNumber(const QVariant& value)
{
    switch (value.userType()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

} // namespace

ValueSortProxy::ValueSortProxy(QObject* parent, int sortRole, int pinnedRows)
    : QSortFilterProxyModel(parent), m_pinnedRows(pinnedRows), m_collator(QLocale())
{
    setSortRole(sortRole);
    setDynamicSortFilter(true);
    setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_collator.setNumericMode(true);
}

bool ValueSortProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    // The descending sort asks the other way round: the pinned rows come
    // first in both.
    if (left.row() < m_pinnedRows || right.row() < m_pinnedRows)
        return (left.row() < right.row()) == (sortOrder() == Qt::AscendingOrder);
    const QVariant l = left.data(sortRole());
    const QVariant r = right.data(sortRole());
    if (!l.isValid() || !r.isValid())
        return !l.isValid() && r.isValid();
    if (isNumber(l) && isNumber(r))
        return l.toDouble() < r.toDouble();
    if (l.userType() == QMetaType::QDateTime && r.userType() == QMetaType::QDateTime)
        return l.toDateTime() < r.toDateTime();
    return m_collator.compare(l.toString(), r.toString()) < 0;
}
