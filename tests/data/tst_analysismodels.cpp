// The marker and summary tables of the analysis screen: the answers of the
// service the end-to-end test doesn't give, cell by cell.
#include "data/AnalysisModel.h"
#include "data/SummaryTableModel.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QSortFilterProxyModel>
#include <QtTest>

// A cell and what it shows: (row, column, display value).
struct Cell
{
    int row;
    int column;
    QVariant value;
};
using Cells = QList<Cell>;
Q_DECLARE_METATYPE(Cells)

class AnalysisModelsTest : public QObject
{
    Q_OBJECT

private slots:
    void markerAnswers_data();
    void markerAnswers();
    void summaryAnswers_data();
    void summaryAnswers();
    void valueColumnsSortAsNumbers();
};

void AnalysisModelsTest::markerAnswers_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<Cells>("cells");

    QTest::newRow("values shorter than the columns read 0 beyond their end")
        << QByteArray(R"({"columns":["2021-03-05T14:07:00","2021-03-06T09:00:00","2021-03-07T09:00:00"],
                         "rows":[{"id":"m1","title":"Liver","values":[40]},{"id":"m2","title":"Lung"}]})")
        << 2 << 4 << Cells{{0, 1, 40}, {0, 2, 0}, {0, 3, 0}, {1, 1, 0}};
    QTest::newRow("values outside 0..100 keep their number")
        << QByteArray(R"({"columns":["2021-03-05T14:07:00"],"rows":[{"id":"m","title":"T","values":[150.7]},
                                                                   {"id":"n","title":"U","values":[-20]}]})")
        << 2 << 2 << Cells{{0, 1, 150}, {1, 1, -20}};
    QTest::newRow("a repeated marker id still shows its own values")
        << QByteArray(R"({"columns":["2021-03-05T14:07:00"],"rows":[{"id":"m","title":"A","values":[1]},
                                                                   {"id":"m","title":"B","values":[2]}]})")
        << 2 << 2 << Cells{{0, 1, 1}, {1, 1, 2}};
    QTest::newRow("rows without columns: the marker column only")
        << QByteArray(R"({"columns":[],"rows":[{"id":"m","title":"A","values":[1]}]})") << 1 << 1 << Cells{{0, 0, "A"}};
    QTest::newRow("columns without rows: no columns at all")
        << QByteArray(R"({"columns":["2021-03-05T14:07:00"],"rows":[]})") << 0 << 0 << Cells{};
    QTest::newRow("not JSON") << QByteArray("<html>") << 0 << 0 << Cells{};
    QTest::newRow("an array") << QByteArray("[1,2]") << 0 << 0 << Cells{};
}

void AnalysisModelsTest::markerAnswers()
{
    QFETCH(QByteArray, body);
    QFETCH(Cells, cells);
    AnalysisModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    // Something to replace first: every answer replaces the whole table.
    model.load(R"({"columns":["not a date"],"rows":[{"id":"x","title":"Old","values":[9]}]})");
    QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QString());
    QVERIFY(!model.headerData(2, Qt::Horizontal, Qt::DisplayRole).isValid());
    model.load(body);
    QTEST(model.rowCount(), "rows");
    QTEST(model.columnCount(), "columns");
    for (const Cell& cell : cells)
        QCOMPARE(model.index(cell.row, cell.column).data(), cell.value);
}

void AnalysisModelsTest::summaryAnswers_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QVariant>("title");
    // Per cell of row 0 from column 1: the value shown and its background.
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QList<QColor>>("backgrounds");

    const QColor red(237, 65, 36), green(172, 212, 114), yellow(254, 251, 82), white(Qt::white);
    QTest::newRow("three bands, both ends of yellow included")
        << QByteArray(R"({"columns":["a","b","c","d","e"],"rows":[{"title":"Heart","values":[10,-10,11,-11,0]}]})")
        << QVariant("Heart") << QVariantList{10, -10, 11, -11, 0} << QList<QColor>{yellow, yellow, red, green, yellow};
    QTest::newRow("fractions are cut toward zero before the colour")
        << QByteArray(R"({"columns":["a","b"],"rows":[{"title":"Heart","values":[10.9,-10.9]}]})") << QVariant("Heart")
        << QVariantList{10, -10} << QList<QColor>{yellow, yellow};
    QTest::newRow("a short row leaves its last cells blank")
        << QByteArray(R"({"columns":["a","b"],"rows":[{"title":"Heart","values":[30]}]})") << QVariant("Heart")
        << QVariantList{30, QVariant()} << QList<QColor>{red, white};
    QTest::newRow("without headings: no titles")
        << QByteArray(R"({"columns":[],"rows":[{"title":"Heart","values":[1]}]})") << QVariant() << QVariantList{}
        << QList<QColor>{};
}

void AnalysisModelsTest::summaryAnswers()
{
    QFETCH(QByteArray, body);
    QFETCH(QVariantList, values);
    QFETCH(QList<QColor>, backgrounds);
    SummaryTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.load(body);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.columnCount(), values.size() + 1);
    QTEST(model.index(0, 0).data(), "title");
    for (int column = 1; column < model.columnCount(); ++column) {
        QCOMPARE(model.index(0, column).data(), values.at(column - 1));
        QCOMPARE(model.index(0, column).data(Qt::BackgroundRole).value<QColor>(), backgrounds.at(column - 1));
    }
}

void AnalysisModelsTest::valueColumnsSortAsNumbers()
{
    AnalysisModel markers;
    markers.load(R"({"columns":["2021-03-05T14:07:00"],"rows":[{"id":"a","title":"b","values":[9]},
                    {"id":"b","title":"c","values":[100]},{"id":"c","title":"a","values":[10]}]})");
    QSortFilterProxyModel proxy;
    proxy.setSortRole(Qt::UserRole);
    proxy.setSourceModel(&markers);
    proxy.sort(1);
    QCOMPARE(proxy.index(0, 1).data().toInt(), 9);
    QCOMPARE(proxy.index(1, 1).data().toInt(), 10);
    QCOMPARE(proxy.index(2, 1).data().toInt(), 100);
    proxy.sort(0);
    QCOMPARE(proxy.index(0, 0).data().toString(), QStringLiteral("a"));
}

QTEST_GUILESS_MAIN(AnalysisModelsTest)
#include "tst_analysismodels.moc"
