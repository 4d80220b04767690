#pragma once

#include <QObject>

class QSortFilterProxyModel;
class QTableView;
class ReceiptDelegate;
class ReceiptModel;

// The recipe screen's marker table: the model behind a sort proxy, the
// delegate on the bar and notes columns, and the value columns shown.
class ReceiptTable : public QObject
{
    Q_OBJECT

public:
    ReceiptTable(QTableView* table, ReceiptModel* model);

    // Match percentages, amounts of frequencies, or both (a saved recipe
    // holds markers of storages of either kind). Called after each reset of
    // the model, which sets the columns back.
    void showColumns(bool percent, bool frequencies);

private:
    QTableView* m_table;
    ReceiptModel* m_model;
    QSortFilterProxyModel* m_proxy;
    ReceiptDelegate* m_delegate;
};
