#pragma once

#include <QAbstractItemView>
#include <QComboBox>
#include <QtTest>

// Chooses an intensity level as a practitioner does: a click on the cell
// opens the list of levels, a click on a level chooses it. True once the
// level is stored and the editor has gone.
inline bool chooseLevel(QAbstractItemView* table, const QModelIndex& cell, int level)
{
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(cell).center());
    QComboBox* editor = nullptr;
    if (!QTest::qWaitFor([&] {
            editor = table->findChild<QComboBox*>(QStringLiteral("comboBoxLevel"));
            return editor && editor->view()->isVisible();
        }))
        return false;
    QAbstractItemView* list = editor->view();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(level, 0)).center());
    return QTest::qWaitFor([&] { return !table->findChild<QComboBox*>(QStringLiteral("comboBoxLevel")); }) &&
           cell.data(Qt::EditRole).toInt() == level;
}
