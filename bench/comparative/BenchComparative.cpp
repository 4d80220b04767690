// The comparative analysis of 50 records, from the reply's bytes to the four
// charts painted, against four QChartViews built directly from the same
// numbers (series, default axes, the same ranges, the same spline pen) in a
// container of the same size. Median of 15 runs each, alternating.
#include "BenchFigures.h"
#include "app/Application.h"
#include "base/Language.h"
#include "support/ServiceTestEnvironment.h"
#include "support/TestHttpServer.h"
#include "views/ViewComparativeAnalysis.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLegend>
#include <QLineSeries>
#include <QSplineSeries>
#include <QTest>
#include <QTranslator>
#include <QVBoxLayout>
#include <QValueAxis>

#include <cmath>
#include <cstdio>
#include <memory>

using namespace QtCharts;

namespace {

constexpr int runs = 15;
constexpr double goal = 1.5;
constexpr int recordCount = 50;

struct Series
{
    QString name;
    QVector<double> values;
    bool smooth = false;
};
using Chart = QVector<Series>;

// The four charts as the service computes them: four categories, three
// bands, the imbalance with its smooth trend, complaints and severity.
QVector<Chart> numbers()
{
    const auto wave = [](double phase, double scale) {
        QVector<double> values;
        for (int record = 0; record < recordCount; ++record)
            values.append(std::round(scale * std::sin(phase + record / 4.0) * 10) / 10);
        return values;
    };
    return {{{"Emotional state", wave(0, 25)},
             {"Energy meridians", wave(1, 25)},
             {"Microflora", wave(2, 25)},
             {"Organ systems", wave(3, 25)}},
            {{"High band", wave(0, 40)}, {"Low band", wave(1, 40)}, {"Middle band", wave(2, 40)}},
            {{"Imbalance", wave(0, 20)}, {"Trend", wave(0.5, 15), true}},
            {{"Complaints", wave(1, 5)}, {"Severity", wave(2, 9)}}};
}

QByteArray reply(const QVector<Chart>& charts)
{
    const char* keys[] = {"graph1", "graph2", "summary", "complaints"};
    QJsonObject answer;
    for (int chart = 0; chart < charts.size(); ++chart) {
        QJsonObject graph;
        for (const Series& series : charts.at(chart)) {
            QJsonArray values;
            for (double value : series.values)
                values.append(value);
            graph.insert(series.name, values);
        }
        answer.insert(QLatin1String(keys[chart]), graph);
    }
    answer.insert("smooth", QJsonObject{{"Trend", QJsonArray{13, 180, 150}}});
    return QJsonDocument(answer).toJson(QJsonDocument::Compact);
}

// The baseline: a chart view made straight from the numbers.
QChartView* plainChartView(const Chart& numbers, QWidget* parent)
{
    auto* chart = new QChart;
    double min = 0;
    double max = 0;
    for (const Series& data : numbers) {
        QXYSeries* series = data.smooth ? static_cast<QXYSeries*>(new QSplineSeries(chart)) : new QLineSeries(chart);
        if (data.smooth) {
            QPen pen = series->pen();
            pen.setWidth(3);
            pen.setColor(QColor(13, 180, 150));
            series->setPen(pen);
        }
        series->setName(data.name);
        QVector<QPointF> points;
        for (int i = 0; i < data.values.size(); ++i) {
            points.append(QPointF(i + 1, data.values.at(i)));
            min = std::min(min, data.values.at(i));
            max = std::max(max, data.values.at(i));
        }
        series->replace(points);
        chart->addSeries(series);
    }
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->createDefaultAxes();
    chart->axes(Qt::Horizontal).first()->setRange(1, recordCount);
    chart->axes(Qt::Vertical).first()->setRange(min, max);
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(250);
    return view;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    setupApplication(application);
    QTranslator translator;
    loadTranslation(translator, QStringLiteral("Translation_en_US.qm"));

    const QVector<Chart> charts = numbers();
    const QByteArray body = reply(charts);
    TestHttpServer server;
    server.setHandler([&body](const RecordedRequest&) { return ScriptedResponse::json(200, body); });
    ServiceTestEnvironment environment(server.baseUrlText());

    ViewComparativeAnalysis screen(Patient(QJsonObject{{"id", "p1"}, {"name", "Benchmark"}}), {});
    screen.resize(1280, 800);
    screen.show();
    if (!QTest::qWaitFor([&screen] { return screen.chartViews().size() == 4; })) {
        std::fprintf(stderr, "comparative: the screen got no charts\n");
        return 1;
    }
    QTest::qWait(100);
    QWidget* ours = screen.findChild<QWidget*>(QStringLiteral("chartsContainer"));

    QWidget plainContainer;
    plainContainer.setFixedSize(ours->size());
    plainContainer.show();
    auto* plainColumn = new QVBoxLayout(&plainContainer);

    QImage image(ours->size(), QImage::Format_ARGB32_Premultiplied);
    std::vector<double> sonveraTimes;
    std::vector<double> baselineTimes;
    for (int run = -1; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        screen.onSuccess(body);
        QApplication::processEvents();
        ours->render(&image);
        const double sonvera = millisecondsSince(timer);

        timer.restart();
        while (QLayoutItem* item = plainColumn->takeAt(0)) {
            delete item->widget();
            delete item;
        }
        for (const Chart& chart : charts)
            plainColumn->addWidget(plainChartView(chart, &plainContainer), 1);
        QApplication::processEvents();
        plainContainer.render(&image);
        const double baseline = millisecondsSince(timer);

        for (QChartView* view : screen.chartViews()) {
            if (view->chart()->plotArea().width() < 100) {
                std::fprintf(stderr, "comparative: a chart was not laid out before painting\n");
                return 1;
            }
        }
        if (run >= 0) {
            sonveraTimes.push_back(sonvera);
            baselineTimes.push_back(baseline);
        }
    }

    const double sonvera = median(sonveraTimes);
    const double baseline = median(baselineTimes);
    std::printf("comparative analysis of %d records, reply to four charts painted: sonvera %.2f ms, baseline "
                "QChartView from the numbers %.2f ms, ratio %.2f (goal <= %.1f)\n",
                recordCount, sonvera, baseline, sonvera / baseline, goal);
    return 0;
}
