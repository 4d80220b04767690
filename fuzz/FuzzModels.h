#pragma once

#include <QAbstractItemModel>
#include <QGuiApplication>

#include <algorithm>

// The patient and record tables give pictures, which need the toolkit's
// application object, and charts the widgets' one (QApplication); the
// offscreen platform needs no display. Called from LLVMFuzzerInitialize, once
// per process.
template <typename Application = QGuiApplication> void startOffscreenApplication()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    // Never destroyed: its platform leaves its screen behind when it goes,
    // which the leak check at exit would report as the program's.
    static auto* application = new Application(argc, argv);
    Q_UNUSED(application)
}

// Every role the tables answer, for a corner of cells big enough for small
// inputs: whatever a view asks must be safe to ask.
inline void readCells(const QAbstractItemModel& model)
{
    static const int roles[] = {Qt::DisplayRole,       Qt::DecorationRole, Qt::EditRole,       Qt::ToolTipRole,
                                Qt::TextAlignmentRole, Qt::BackgroundRole, Qt::ForegroundRole, Qt::CheckStateRole,
                                Qt::UserRole,          Qt::UserRole + 1};
    const int rows = std::min(model.rowCount(), 12);
    const int columns = std::min(model.columnCount(), 12);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const QModelIndex index = model.index(row, column);
            (void)model.flags(index);
            for (int role : roles)
                (void)model.data(index, role);
        }
    }
    for (int column = 0; column < columns; ++column)
        (void)model.headerData(column, Qt::Horizontal, Qt::DisplayRole);
}
