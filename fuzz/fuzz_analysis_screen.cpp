// The analysis screen's handlers of the service's answers: the summary, the
// diagnostic categories and a marker analysis (the input cut at NUL bytes),
// with both tabs laid out and painted offscreen. Each model runs under the
// toolkit's model tester, and each table shows its model's columns.
#include "FuzzCheck.h"
#include "FuzzScreens.h"
#include "data/AnalysisModel.h"
#include "data/SummaryTableModel.h"
#include "views/ViewAnalysis.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableView>

namespace {

void checkTable(ViewAnalysis& screen, const char* name)
{
    const QTableView* table = screen.findChild<QTableView*>(QLatin1String(name));
    FUZZ_CHECK(table->horizontalHeader()->count() == table->model()->columnCount());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QList<QByteArray> answers = fuzzAnswers(fuzzInput(data, size), 3);
    {
        ViewAnalysis screen(Patient(), {Record()});
        using Tester = QAbstractItemModelTester;
        Tester summary(screen.findChild<SummaryTableModel*>(), Tester::FailureReportingMode::Fatal);
        Tester markers(screen.findChild<AnalysisModel*>(), Tester::FailureReportingMode::Fatal);
        screen.resize(800, 500);
        screen.show();
        screen.onSummarySuccess(answers.at(0));
        // The first storage is analysed at once; that request is refused.
        screen.onLoadSuccess(answers.at(1));
        screen.onAnalyseSuccess(answers.at(2));
        settleEvents();
        FUZZ_CHECK(screen.findChild<QComboBox*>(QStringLiteral("comboBoxCategories"))->count() <= answers.at(1).size());
        checkTable(screen, "summaryTableView");
        checkTable(screen, "analysisTableView");
        auto* tabs = screen.findChild<QTabWidget*>(QStringLiteral("tabWidget"));
        for (int tab : {0, 1}) {
            tabs->setCurrentIndex(tab);
            FUZZ_CHECK(!screen.grab().isNull());
        }
        settleEvents();
    }
    settleEvents();
    return 0;
}
