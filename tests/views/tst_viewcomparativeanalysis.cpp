// The comparative analysis: how a graph object becomes a chart (series,
// colours, axes), and the screen against a scripted service: the charts'
// width following the window, and the charts saved as PDF.
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

#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QJsonDocument>
#include <QJsonObject>
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
    void chartsFollowTheWindowsWidth();
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
    // x: range, tick interval; y: range, tick count
    QTest::addColumn<QList<double>>("expected");

    // A chart's range always holds 0: a constant series reaches from 0 to its value.
    QTest::newRow("constant") << 3 << 0.0 << 3.0 << false << QList<double>{1, 3, 1, 0, 3, 4};
    QTest::newRow("50 records: ten ticks, not fifty")
        << 50 << 0.0 << 30.5 << false << QList<double>{1, 50, 5, 0, 30.5, 5};
    QTest::newRow("smooth: 3% room") << 4 << -10.0 << 20.0 << true << QList<double>{1, 4, 1, -10.3, 20.6, 5};
    QTest::newRow("one record: an axis around it") << 1 << 0.0 << 4.0 << false << QList<double>{0.5, 1.5, 1, 0, 4, 5};
    QTest::newRow("all zero: the axis stays") << 5 << 0.0 << 0.0 << true << QList<double>{1, 5, 1, -1, 1, 3};
    QTest::newRow("empty series") << 0 << 0.0 << 0.0 << false << QList<double>{0.5, 1.5, 1, -1, 1, 3};
}

void ViewComparativeAnalysisTest::axes()
{
    QFETCH(int, count);
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(bool, smooth);
    QFETCH(QList<double>, expected);
    const ComparativeChart::Axes axes = ComparativeChart::axesFor(count, min, max, smooth);
    const QList<double> got{axes.xMin, axes.xMax, axes.xTickInterval, axes.yMin, axes.yMax, double(axes.yTickCount)};
    QCOMPARE(got, expected);
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
    QCOMPARE(y->max(), 5.0 * 1.03); // the smooth series' room

    std::unique_ptr<QChart> empty(ComparativeChart::build({}, {}));
    QVERIFY(empty->series().isEmpty());
    QVERIFY(empty->axes().isEmpty());
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

std::unique_ptr<ViewComparativeAnalysis> ViewComparativeAnalysisTest::openScreen()
{
    const Patient patient(QJsonObject{{"id", "p1"}, {"name", "Anna Smith"}});
    const QList<Record> records{Record(QJsonObject{{"id", "r1"}, {"recordedAt", "2021-03-05T14:07:00"}})};
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
    // Four charts, two to a page.
    QCOMPARE(PdfText::pageCount(path), 2);
    const QString text = PdfText::text(path);
    QVERIFY2(text.contains(QStringLiteral("Imbalance")), qPrintable(text));
    QCOMPARE(text.count(QStringLiteral("Anna Smith")), 2); // a heading on each page
    QVERIFY2(text.contains(QStringLiteral("Страница 2 из 2")), qPrintable(text));
}

QTEST_MAIN(ViewComparativeAnalysisTest)
#include "tst_viewcomparativeanalysis.moc"
