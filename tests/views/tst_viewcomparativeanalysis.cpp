// The comparative analysis: how a graph object becomes a chart (series,
// colours, round axes, dates, the notice of a chart without values), and the
// screen against a scripted service: the charts' width following the window,
// their plot areas lined up, their language, and the charts saved as PDF.
#include "app/Application.h"
#include "base/Language.h"
#include "data/ServiceAnswer.h"
#include "support/FakePatientService.h"
#include "support/MessageBoxRecorder.h"
#include "support/ModalDialogDriver.h"
#include "support/PdfText.h"
#include "support/RecipeFixtures.h"
#include "support/ServiceTestEnvironment.h"
#include "views/ComparativeChart.h"
#include "views/ViewComparativeAnalysis.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLegend>
#include <QLineSeries>
#include <QPushButton>
#include <QScrollArea>
#include <QSplineSeries>
#include <QTemporaryDir>
#include <QTranslator>
#include <QValueAxis>
#include <QtTest>

#include <memory>

using namespace QtCharts;
using RecipeFixtures::child;

namespace {

const QByteArray answer = R"({"graph1":{"Heart":[1,-4,2],"Lungs":[3,3,3]},"graph2":{"Low band":[0,0,0]},
    "summary":{"Imbalance":[-10,20,5],"Trend":[1,2,3]},"smooth":{"Trend":[13,180,150]},"complaints":{}})";

QJsonObject object(const QByteArray& json)
{
    return QJsonDocument::fromJson(json).object();
}

} // namespace

class ViewComparativeAnalysisTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void axes_data();
    void axes();
    void seriesOfAGraphObject();
    void colourEntries();
    void seriesColourFollowsItsKey_data();
    void seriesColourFollowsItsKey();
    void chartWithoutValuesSaysSo_data();
    void chartWithoutValuesSaysSo();
    void recordDatesLabelTheXAxis_data();
    void recordDatesLabelTheXAxis();
    void chartsFollowTheWindowsWidth();
    void plotAreasLineUpAndFollowTheLanguage();
    void unreadableAnswerDrawsNoCharts();
    void chartsSavedAsPdf();

private:
    std::unique_ptr<ViewComparativeAnalysis> openScreen();

    std::unique_ptr<FakePatientService> m_service;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    QTranslator m_translator;
};

void ViewComparativeAnalysisTest::initTestCase()
{
    setupApplication(*qApp);
    QVERIFY(loadTranslation(m_translator, QStringLiteral("Translation_ru_RU.qm")));
}

void ViewComparativeAnalysisTest::init()
{
    m_service = std::make_unique<FakePatientService>();
    m_service->answer("POST", QStringLiteral("/analysis/comparative"), ScriptedResponse::json(200, answer));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service->baseUrl());
}

void ViewComparativeAnalysisTest::cleanup()
{
    m_environment.reset();
    m_service.reset();
}

void ViewComparativeAnalysisTest::axes_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<bool>("smooth");
    QTest::addColumn<bool>("whole");
    // x: range, tick interval; y: range, tick count
    QTest::addColumn<QList<double>>("expected");

    // A chart's range always holds 0: a constant series reaches from 0 to its value.
    QTest::newRow("constant") << 3 << 0.0 << 3.0 << false << true << QList<double>{1, 3, 1, 0, 3, 4};
    QTest::newRow("50 records: ten ticks, not fifty")
        << 50 << 0.0 << 30.5 << false << false << QList<double>{1, 50, 5, 0, 40, 5};
    QTest::newRow("smooth: 3% room, then round")
        << 4 << -10.0 << 20.0 << true << false << QList<double>{1, 4, 1, -20, 30, 6};
    QTest::newRow("uneven range") << 6 << -22.4 << 11.0 << false << false << QList<double>{1, 6, 1, -30, 20, 6};
    QTest::newRow("fractions") << 2 << -0.03 << 0.07 << false << false << QList<double>{1, 2, 1, -0.04, 0.08, 7};
    QTest::newRow("counts are not halved") << 2 << 0.0 << 2.0 << false << true << QList<double>{1, 2, 1, 0, 2, 3};
    QTest::newRow("large") << 3 << 0.0 << 1234567.0 << false << true << QList<double>{1, 3, 1, 0, 1500000, 4};
    QTest::newRow("one record: an axis around it")
        << 1 << 0.0 << 4.0 << false << true << QList<double>{0.5, 1.5, 1, 0, 4, 5};
    QTest::newRow("all zero: the axis stays") << 5 << 0.0 << 0.0 << true << true << QList<double>{1, 5, 1, -1, 1, 3};
}

// Every y tick is a whole multiple of a step of 1, 2 or 5 times a power of ten.
void ViewComparativeAnalysisTest::axes()
{
    QFETCH(int, count);
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(bool, smooth);
    QFETCH(bool, whole);
    QFETCH(QList<double>, expected);
    const ComparativeChart::Axes axes = ComparativeChart::axesFor(count, min, max, smooth, whole);
    const QList<double> got{axes.xMin, axes.xMax, axes.xTickInterval, axes.yMin, axes.yMax, double(axes.yTickCount)};
    QCOMPARE(got.size(), expected.size());
    for (int i = 0; i < got.size(); ++i)
        QVERIFY2(qAbs(got.at(i) - expected.at(i)) < 1e-9, qPrintable(QString::number(got.at(i))));
    // The labels tell every tick apart.
    const double step = (axes.yMax - axes.yMin) / (axes.yTickCount - 1);
    QVERIFY(step * std::pow(10, axes.yDecimals) >= 1 - 1e-9);
}

void ViewComparativeAnalysisTest::seriesOfAGraphObject()
{
    std::unique_ptr<QChart> chart(ComparativeChart::build(object(R"({"b":[1,2,3],"a":[5,"x",true],"c":[]})"),
                                                          object(R"({"a":[13,180,150],"absent":[1,2,3]})")));
    QStringList names;
    for (QAbstractSeries* series : chart->series())
        names << series->name();
    QCOMPARE(names, (QStringList{"a", "b", "c"}));
    auto* smooth = qobject_cast<QSplineSeries*>(chart->series().at(0));
    QVERIFY(smooth);
    QCOMPARE(smooth->points(), (QList<QPointF>{{1, 5}, {2, 0}, {3, 0}}));
    QCOMPARE(chart->series().at(1)->type(), QAbstractSeries::SeriesTypeLine);
    // The empty last series does not shrink the x axis.
    auto* x = qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).value(0));
    auto* y = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
    QVERIFY(x && y);
    QCOMPARE(x->max(), 3.0);
    QCOMPARE(y->max(), 6.0); // 5 with the smooth series' room, to the next round tick
}

// An entry that is not three values of 0..255 is kept, as an invalid colour.
void ViewComparativeAnalysisTest::colourEntries()
{
    const QMap<QString, QColor> colours =
        ComparativeChart::colourMap(object(R"({"ok":[1,2,3],"high":[256,0,0],"two":[1,2],"text":"red"})"));
    QCOMPARE(colours.value("ok"), QColor(1, 2, 3));
    for (const char* invalid : {"high", "two", "text"})
        QVERIFY(colours.contains(QLatin1String(invalid)) && !colours.value(QLatin1String(invalid)).isValid());
}

QColor colourOf(const QChart& chart, const QString& name)
{
    for (QAbstractSeries* series : chart.series()) {
        if (series->name() == name)
            return static_cast<QXYSeries*>(series)->color();
    }
    return {};
}

void ViewComparativeAnalysisTest::seriesColourFollowsItsKey_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("otherKeys"); // of another chart or answer

    QTest::newRow("series before it") << QStringList{"Lungs", "Heart"} << QStringList{"Heart", "Kidneys", "Lungs"};
    QTest::newRow("a series gone") << QStringList{"Low band", "Middle band", "High band"}
                                   << QStringList{"Middle band", "High band"};
    QTest::newRow("other neighbours") << QStringList{"Complaints", "Severity"}
                                      << QStringList{"Aches", "Complaints", "Sleep", "Severity", "Fatigue"};
    QTest::newRow("more series than colours") << QStringList{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}
                                              << QStringList{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k"};
}

// A series has its key's colour wherever the key appears, unless another
// series of that chart wants the same one; no two series of a chart share a
// colour while there are colours left.
void ViewComparativeAnalysisTest::seriesColourFollowsItsKey()
{
    QFETCH(QStringList, keys);
    QFETCH(QStringList, otherKeys);
    const auto chartOf = [](const QStringList& names) {
        QJsonObject data;
        for (const QString& name : names)
            data.insert(name, QJsonArray{1, 2});
        return std::unique_ptr<QChart>(ComparativeChart::build(data, {}));
    };
    const auto own = [&chartOf](const QString& key) { return colourOf(*chartOf({key}), key); };
    for (const QStringList& names : {keys, otherKeys}) {
        const auto chart = chartOf(names);
        QSet<QRgb> used;
        int uncontested = 0;
        for (const QString& key : names) {
            const QColor colour = colourOf(*chart, key);
            used.insert(colour.rgb());
            bool contested = false;
            for (const QString& neighbour : names)
                contested = contested || (neighbour != key && own(neighbour) == own(key));
            if (!contested) {
                QCOMPARE(colour, own(key));
                ++uncontested;
            }
        }
        QCOMPARE(used.size(), std::min(int(names.size()), 10));
        QVERIFY(uncontested > 0); // keys want colours of their own
    }
}

void ViewComparativeAnalysisTest::chartWithoutValuesSaysSo_data()
{
    QTest::addColumn<QByteArray>("graph");
    QTest::addColumn<bool>("hasValues");

    QTest::newRow("no series") << QByteArray("{}") << false;
    QTest::newRow("empty series") << QByteArray(R"({"a":[],"b":[]})") << false;
    QTest::newRow("one zero") << QByteArray(R"({"a":[0]})") << true;
    QTest::newRow("one empty among others") << QByteArray(R"({"a":[],"b":[1,2]})") << true;
}

void ViewComparativeAnalysisTest::chartWithoutValuesSaysSo()
{
    QFETCH(QByteArray, graph);
    QFETCH(bool, hasValues);
    std::unique_ptr<QChart> chart(ComparativeChart::build(object(graph), {}, QStringLiteral("Bands")));
    QCOMPARE(chart->title(), QStringLiteral("Bands"));
    const QString notice = ComparativeChart::notice(*chart);
    QCOMPARE(notice.isEmpty(), hasValues);
    QCOMPARE(chart->axes().isEmpty(), !hasValues);
    QCOMPARE(chart->legend()->isVisible(), hasValues);
    if (!hasValues) // in the interface language
        QCOMPARE(notice, QCoreApplication::translate("ComparativeChart", "Text.noChartData"));
}

void ViewComparativeAnalysisTest::recordDatesLabelTheXAxis_data()
{
    QTest::addColumn<QStringList>("dates");
    QTest::addColumn<QStringList>("labels"); // empty: the axis numbers the points

    QTest::newRow("different days") << QStringList{"2021-03-05 14:07:00", "2021-03-09 08:00:00"}
                                    << QStringList{"2021-03-05", "2021-03-09"};
    QTest::newRow("one day twice") << QStringList{"2021-03-05 14:07:00", "2021-03-05 16:30:10"}
                                   << QStringList{"2021-03-05 14:07", "2021-03-05 16:30"};
    QTest::newRow("one minute twice") << QStringList{"2021-03-05 14:07:00", "2021-03-05 14:07:30"}
                                      << QStringList{"2021-03-05 14:07:00", "2021-03-05 14:07:30"};
    QTest::newRow("dates not known for every point") << QStringList{"2021-03-05 14:07:00"} << QStringList();
}

void ViewComparativeAnalysisTest::recordDatesLabelTheXAxis()
{
    QFETCH(QStringList, dates);
    QFETCH(QStringList, labels);
    std::unique_ptr<QChart> chart(ComparativeChart::build(object(R"({"a":[1,2]})"), {}, {}, dates));
    QAbstractAxis* x = chart->axes(Qt::Horizontal).value(0);
    QVERIFY(x);
    auto* byDate = qobject_cast<QCategoryAxis*>(x);
    QCOMPARE(byDate != nullptr, !labels.isEmpty());
    if (byDate) {
        QCOMPARE(byDate->categoriesLabels(), labels);
        for (int point = 1; point <= labels.size(); ++point)
            QCOMPARE(byDate->endValue(labels.at(point - 1)), double(point)); // each under its point
    }
    // Records of the same second still get labels of their own.
    const QStringList same = ComparativeChart::dateLabels({"2021-03-05 14:07:00", "2021-03-05 14:07:00"});
    QCOMPARE(same.first().trimmed(), same.last().left(19));
    QVERIFY(same.first() != same.last());
}

std::unique_ptr<ViewComparativeAnalysis> ViewComparativeAnalysisTest::openScreen()
{
    const Patient patient(QJsonObject{{"id", "p1"}, {"name", "Anna Smith"}});
    // Given out of order: the service plots them in time order.
    const QList<Record> records{Record(QJsonObject{{"id", "r2"}, {"recordedAt", "2021-03-09T10:00:00"}}),
                                Record(QJsonObject{{"id", "r1"}, {"recordedAt", "2021-03-05T14:07:00"}}),
                                Record(QJsonObject{{"id", "r3"}, {"recordedAt", "2021-04-01T09:30:00"}})};
    auto view = std::make_unique<ViewComparativeAnalysis>(patient, records);
    view->resize(1000, 700);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()) ||
        !QTest::qWaitFor([&view] { return view->chartViews().size() == 4; }))
        return nullptr;
    return view;
}

// The charts' series from the service are the end-to-end test's.
void ViewComparativeAnalysisTest::chartsFollowTheWindowsWidth()
{
    const auto view = openScreen();
    QVERIFY(view);
    auto* area = child<QScrollArea>(*view, "scrollArea");
    auto* container = child<QWidget>(*view, "chartsContainer");
    for (int width : {1400, 800}) {
        view->resize(width, 700);
        QTRY_COMPARE(container->width(), int(area->viewport()->width() * 0.9));
    }
}

QStringList titlesOf(const QList<QChartView*>& views)
{
    QStringList titles;
    for (const QChartView* view : views)
        titles << view->chart()->title();
    return titles;
}

// The legends differ in width; the plots still start and end at the same x.
// Switching the language renames the charts, and the series keep their colours.
void ViewComparativeAnalysisTest::plotAreasLineUpAndFollowTheLanguage()
{
    const auto view = openScreen();
    QVERIFY(view);
    // Within a pixel: the room is given in whole pixels.
    const auto linedUp = [&view] {
        QList<double> lefts;
        QList<double> rights;
        for (QChartView* chartView : view->chartViews()) {
            // Laid out: the views are sized after they show.
            if (!chartView->chart()->axes().isEmpty() && chartView->chart()->plotArea().width() > 0) {
                lefts << chartView->chart()->plotArea().left();
                rights << chartView->chart()->plotArea().right();
            }
        }
        const auto spread = [](const QList<double>& edges) {
            return *std::max_element(edges.begin(), edges.end()) - *std::min_element(edges.begin(), edges.end());
        };
        return lefts.size() == 3 && spread(lefts) <= 1 && spread(rights) <= 1;
    };
    QTRY_VERIFY(linedUp());
    const QStringList russian = titlesOf(view->chartViews());
    QVERIFY(!russian.contains(QString()));
    const QColor heart = colourOf(*view->chartViews().first()->chart(), "Heart");
    // Complaints: none in the answer.
    QVERIFY(!ComparativeChart::notice(*view->chartViews().last()->chart()).isEmpty());

    QTranslator english;
    QVERIFY(loadTranslation(english, QStringLiteral("Translation_en_US.qm")));
    QCoreApplication::installTranslator(&english);
    QTRY_VERIFY(titlesOf(view->chartViews()) != russian);
    QCOMPARE(titlesOf(view->chartViews()).first(), QStringLiteral("Deviation by category"));
    QCOMPARE(colourOf(*view->chartViews().first()->chart(), "Heart"), heart);
    QTRY_VERIFY(linedUp());
    const qreal width = view->chartViews().first()->chart()->size().width();
    view->resize(1300, 700);
    QTRY_VERIFY(view->chartViews().first()->chart()->size().width() > width && linedUp());
    QCoreApplication::removeTranslator(&english);
}

// Empty charts would say the records show nothing; none are drawn, and none printed.
void ViewComparativeAnalysisTest::unreadableAnswerDrawsNoCharts()
{
    m_service->answer("POST", QStringLiteral("/analysis/comparative"),
                      ScriptedResponse::json(200, R"({"graph1":[1]})"));
    MessageBoxRecorder boxes;
    ViewComparativeAnalysis view(Patient(QJsonObject{{"id", "p1"}, {"name", "Anna Smith"}}), {});
    view.show();
    QTRY_COMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.first().text, ServiceAnswer::unreadableText());
    QVERIFY(view.chartViews().isEmpty());
    QVERIFY(!child<QPushButton>(view, "buttonSavePdf")->isEnabled());
}

void ViewComparativeAnalysisTest::chartsSavedAsPdf()
{
    if (!PdfText::available())
        QSKIP("pdfinfo and pdftotext (Debian's poppler-utils) are needed to read the PDF back");
    const auto view = openScreen();
    QVERIFY(view);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("charts.pdf"));
    MessageBoxRecorder boxes;
    whenModalAppears([path](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        QVERIFY(files);
        files->selectFile(path);
        static_cast<QDialog*>(files)->accept();
    });
    child<QPushButton>(*view, "buttonSavePdf")->click();
    // Four charts, two to a page, with their titles and the records' dates.
    QCOMPARE(PdfText::pageCount(path), 2);
    QCOMPARE(PdfText::title(path), QStringLiteral("Anna Smith \u2014 Сравнительный анализ"));
    const QString text = PdfText::text(path);
    for (const QString& expected : {QStringLiteral("Imbalance"), QStringLiteral("Частотные диапазоны"),
                                    QStringLiteral("2021-03-09"), QStringLiteral("Нет значений")})
        QVERIFY2(text.contains(expected), qPrintable(text));
    QCOMPARE(text.count(QStringLiteral("Anna Smith")), 2); // a heading on each page
    QVERIFY2(text.contains(QStringLiteral("Страница 2 из 2")), qPrintable(text));
}

QTEST_MAIN(ViewComparativeAnalysisTest)
#include "tst_viewcomparativeanalysis.moc"
