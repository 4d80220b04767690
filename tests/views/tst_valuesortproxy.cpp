// Every column of the analysis, recipe and recovery history tables sorts by
// its value: numbers as numbers (the history's levels, not their names),
// texts without regard to case, a cell without a value first, and the
// history's two totals on top in either order.
#include "data/ReceiptModel.h"
#include "data/Recipe.h"
#include "data/SummaryTableModel.h"
#include "views/SymptomModel.h"
#include "views/ValueSortProxy.h"

#include <QAbstractItemModelTester>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <memory>

class ValueSortProxyTest : public QObject
{
    Q_OBJECT

private slots:
    // The program always runs in one of its languages, never in the C locale.
    void initTestCase() { QLocale::setDefault(QLocale(QStringLiteral("en_US"))); }
    void columnsSortByValue_data();
    void columnsSortByValue();
};

void ValueSortProxyTest::columnsSortByValue_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("column");
    QTest::addColumn<Qt::SortOrder>("order");
    QTest::addColumn<QStringList>("names"); // column 0, top to bottom

    const Qt::SortOrder up = Qt::AscendingOrder;
    QTest::newRow("summary, missing first") << "summary" << 1 << up << QStringList{"C", "B", "A"};
    QTest::newRow("recipe, percent") << "recipe" << 1 << Qt::DescendingOrder << QStringList{"M a", "M c", "M b"};
    QTest::newRow("recipe, notes") << "recipe" << 3 << up << QStringList{"M b", "M c", "M a"};
    const QString totals[] = {"Text.complaintsNumber", "Text.severity"};
    QTest::newRow("history, names") << "history" << 0 << up
                                    << QStringList{totals[0], totals[1], "anxiety", "Headache", "tremor"};
    QTest::newRow("history, levels") << "history" << 1 << up
                                     << QStringList{totals[0], totals[1], "anxiety", "Headache", "tremor"};
    QTest::newRow("history, levels down")
        << "history" << 1 << Qt::DescendingOrder << QStringList{totals[0], totals[1], "tremor", "Headache", "anxiety"};
}

void ValueSortProxyTest::columnsSortByValue()
{
    QFETCH(QString, table);
    QFETCH(int, column);
    QFETCH(Qt::SortOrder, order);
    QFETCH(QStringList, names);

    std::unique_ptr<QAbstractItemModel> model;
    if (table == "summary") {
        auto* summary = new SummaryTableModel;
        summary->load(QByteArray(R"({"columns":["r1"],"rows":[{"title":"A","values":[5]},
            {"title":"B","values":[-20]},{"title":"C","values":[]}]})"));
        model.reset(summary);
    } else if (table == "recipe") {
        auto* recipe = new ReceiptModel;
        recipe->setAnalysis(QByteArray(R"({"rows":[{"id":"a","title":"M a","description":"c","values":[100]},
            {"id":"b","title":"M b","description":"A","values":[9]},
            {"id":"c","title":"M c","description":"b","values":[50]}]})"),
                            Recipe());
        model.reset(recipe);
    } else {
        auto* history = new SymptomModel;
        history->load(QJsonDocument::fromJson(R"({"dates":{"d1":"2021-03-05T14:07:00"},"rows":[
            {"symptom":"Headache","intensities":{"d1":2}},{"symptom":"anxiety"},
            {"symptom":"tremor","intensities":{"d1":3}}]})")
                          .object());
        model.reset(history);
    }
    // As the screens set it up: the history sorts by its values, below its totals.
    const bool history = table == "history";
    ValueSortProxy proxy(nullptr, history ? Qt::EditRole : Qt::UserRole, history ? 2 : 0);
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
    proxy.setSourceModel(model.get());
    proxy.sort(column, order);
    QStringList shown;
    for (int row = 0; row < proxy.rowCount(); ++row)
        shown << proxy.index(row, 0).data().toString();
    QCOMPARE(shown, names);
}

QTEST_MAIN(ValueSortProxyTest)
#include "tst_valuesortproxy.moc"
