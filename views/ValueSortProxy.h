#pragma once

#include <QCollator>
#include <QSortFilterProxyModel>

// The sort proxy of the screens' tables: every column sorts by its value in
// the sort role, numbers as numbers, dates as dates, and texts without regard
// to case in the order of the interface language. A cell without a value
// comes before every value. The first pinnedRows rows of the source (totals
// computed from the rest) stay on top in either order.
class ValueSortProxy : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit ValueSortProxy(QObject* parent, int sortRole = Qt::UserRole, int pinnedRows = 0);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    int m_pinnedRows;
    QCollator m_collator;
};
