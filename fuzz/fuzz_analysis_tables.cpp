// The analysis answers that fill the tables: the recipe screen's markers, the
// marker analysis, the summary and the recovery history's questionnaire. Each
// model runs under the toolkit's model tester, which aborts on any breach of
// the model rules.
#include "FuzzCheck.h"
#include "FuzzModels.h"
#include "data/AnalysisModel.h"
#include "data/ReceiptModel.h"
#include "data/Recipe.h"
#include "data/SummaryTableModel.h"
#include "data/SymptomsTable.h"

#include <QAbstractItemModelTester>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

template <typename Model, typename Load> void checkModel(const QByteArray& bytes, Load load)
{
    Model model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    load(model);
    // A row takes at least one character of the answer.
    FUZZ_CHECK(model.rowCount() <= bytes.size());
    readCells(model);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = fuzzInput(data, size);

    const Recipe recipe = Recipe::fromJson(bytes);
    checkModel<ReceiptModel>(bytes, [&](ReceiptModel& model) { model.setAnalysis(bytes, recipe); });
    checkModel<AnalysisModel>(bytes, [&](AnalysisModel& model) {
        model.load(bytes);
        FUZZ_CHECK(model.dates().size() <= bytes.size());
    });
    checkModel<SummaryTableModel>(bytes, [&](SummaryTableModel& model) { model.load(bytes); });

    SymptomsTable symptoms;
    symptoms.load(QJsonDocument::fromJson(bytes).object());
    FUZZ_CHECK(symptoms.symptomCount() <= bytes.size() && symptoms.dateCount() <= bytes.size());
    FUZZ_CHECK(symptoms.rowCount() == (symptoms.symptomCount() ? symptoms.symptomCount() + 2 : 0));
    const int rows = std::min(symptoms.rowCount(), 40);
    const int columns = std::min(symptoms.columnCount(), 40);
    for (int column = 0; column < columns; ++column) {
        (void)symptoms.headerText(column);
        for (int row = 0; row < rows; ++row)
            (void)symptoms.value(column, row);
    }
    // The save body is JSON the client can read back.
    FUZZ_CHECK(QJsonDocument::fromJson(symptoms.toJson()).isObject());
    return 0;
}
