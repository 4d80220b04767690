#include "views/TableBox.h"

#include <QFrame>
#include <QTableView>
#include <QVBoxLayout>

QFrame* framedTable(const QString& frameName, QWidget* parent, QTableView*& table)
{
    auto* box = new QFrame(parent);
    box->setObjectName(frameName);
    table = new QTableView(box);
    table->setObjectName(QStringLiteral("tableView"));
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table);
    return box;
}
