// The recipe screen's handlers of the service's answers: the saved recipe,
// the corrective categories and an analysis (the input cut at NUL bytes),
// then the impact's saved order; the screen laid out and painted offscreen
// after each. What the table shows must agree with the recipe held.
#include "FuzzCheck.h"
#include "FuzzScreens.h"
#include "data/ReceiptModel.h"
#include "data/Recipe.h"
#include "views/ViewReceipt.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

#include <algorithm>

namespace {

void checkShown(ViewReceipt& screen)
{
    const ReceiptModel& model = *screen.model();
    FUZZ_CHECK(screen.findChild<QTableView*>()->horizontalHeader()->count() == model.columnCount());
    FUZZ_CHECK(model.rowCount() > 0 || model.columnCount() == 0);
    FUZZ_CHECK(screen.findChild<QPushButton*>(QStringLiteral("buttonReceipt"))->isEnabled() ==
               !screen.recipe().isEmpty());
    for (int row = 0; row < model.rowCount(); ++row)
        FUZZ_CHECK(model.markerAt(row).selected() == screen.recipe().contains(model.markerAt(row).id()));
    FUZZ_CHECK(!screen.grab().isNull());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QList<QByteArray> answers = fuzzAnswers(fuzzInput(data, size), 3);
    Patient patient;
    Record record;
    {
        ViewReceipt screen(nullptr, patient, record);
        QAbstractItemModelTester tester(screen.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        screen.resize(800, 500);
        screen.show();
        screen.onLoadRecipe(answers.at(0));
        screen.onLoadSuccess(answers.at(1));
        // For the storage chosen, of whichever kind; the request itself is refused.
        screen.onAnalyse();
        screen.onAnalyseSuccess(answers.at(2));
        settleEvents();
        FUZZ_CHECK(screen.recipe().size() <= answers.at(0).size());
        checkShown(screen);

        QList<Marker> saved = screen.recipe().markers();
        std::reverse(saved.begin(), saved.end());
        screen.markersSaved(saved);
        FUZZ_CHECK(!screen.isChanged());
        checkShown(screen);
    }
    settleEvents();
    return 0;
}
