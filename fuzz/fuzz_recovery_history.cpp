// The recovery history's handler of the questionnaire answer, laid out and
// painted offscreen, then sorted by its first date and a level chosen
// through the table's own model: the totals stay on top, and the body saved
// is JSON the service can read.
#include "FuzzCheck.h"
#include "FuzzScreens.h"
#include "views/SymptomModel.h"
#include "views/ViewRecoveryHistory.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QJsonDocument>
#include <QTableView>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        ViewRecoveryHistory screen(Patient(), {});
        screen.setAttribute(Qt::WA_DeleteOnClose, false);
        auto* table = screen.findChild<QTableView*>(QStringLiteral("tableView"));
        QAbstractItemModel* shown = table->model();
        using Tester = QAbstractItemModelTester;
        Tester source(screen.model(), Tester::FailureReportingMode::Fatal);
        Tester sorted(shown, Tester::FailureReportingMode::Fatal);
        screen.resize(700, 500);
        screen.show();
        screen.onLoadSuccess(fuzzInput(data, size));
        settleEvents();
        const SymptomModel& model = *screen.model();
        FUZZ_CHECK(table->horizontalHeader()->count() == model.columnCount());
        FUZZ_CHECK(!screen.grab().isNull());

        if (model.columnCount() > 1 && model.rowCount() > 2) {
            table->sortByColumn(1, Qt::DescendingOrder);
            for (int row : {0, 1})
                FUZZ_CHECK(shown->index(row, 0).data() == model.index(row, 0).data());
            // Another level than the cell's: a change, which the totals count.
            const QModelIndex cell = shown->index(2, 1);
            const int level = cell.data(Qt::EditRole).toFloat() == 3 ? 1 : 3;
            FUZZ_CHECK(shown->setData(cell, level, Qt::DisplayRole));
            FUZZ_CHECK(screen.isModified());
            FUZZ_CHECK(shown->index(0, 1).data().toFloat() >= 1);
            FUZZ_CHECK(!screen.grab().isNull());
        }
        FUZZ_CHECK(QJsonDocument::fromJson(screen.model()->saveJson(table)).isObject());
    }
    settleEvents();
    return 0;
}
