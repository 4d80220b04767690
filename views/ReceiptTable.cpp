#include "views/ReceiptTable.h"

#include "data/ReceiptModel.h"
#include "views/ReceiptDelegate.h"
#include "views/ValueSortProxy.h"

#include <QHeaderView>
#include <QTableView>

namespace {

constexpr int valueColumnWidth = 250;

} // namespace

ReceiptTable::ReceiptTable(QTableView* table, ReceiptModel* model)
    : QObject(table)
    , m_table(table)
    , m_model(model)
    , m_proxy(new ValueSortProxy(this))
    , m_delegate(new ReceiptDelegate(table))
{
    m_proxy->setSourceModel(m_model);

    m_table->setModel(m_proxy);
    // Rows come in the service's order until a header is clicked.
    m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);
    m_table->setMouseTracking(true);
    m_table->viewport()->setMouseTracking(true);
    m_table->setItemDelegateForColumn(ReceiptModel::PercentColumn, m_delegate);
    m_table->setItemDelegateForColumn(ReceiptModel::NotesColumn, m_delegate);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(40);
    m_table->horizontalHeader()->setDefaultSectionSize(140);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAlternatingRowColors(true);
}

void ReceiptTable::showColumns(bool percent, bool frequencies)
{
    // Without rows there are no columns; setting up sections that don't
    // exist takes the header view down.
    if (m_model->columnCount() == 0)
        return;
    QHeaderView* header = m_table->horizontalHeader();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(ReceiptModel::MarkerColumn, QHeaderView::Stretch);
    for (int column : {ReceiptModel::PercentColumn, ReceiptModel::FrequenciesColumn}) {
        header->setSectionResizeMode(column, QHeaderView::Fixed);
        header->resizeSection(column, valueColumnWidth);
    }
    m_table->setColumnHidden(ReceiptModel::PercentColumn, !percent);
    m_table->setColumnHidden(ReceiptModel::FrequenciesColumn, !frequencies);
    header->setSectionResizeMode(ReceiptModel::NotesColumn, QHeaderView::Fixed);
    header->resizeSection(ReceiptModel::NotesColumn, m_delegate->notesWidth() + 25);
}
