// The analysis of 50 records with 100 markers, from the reply's bytes to the
// marker table painted, against a plain QStandardItemModel of the same cells
// filled from the same bytes and painted by the same kind of view (same size,
// settings and value delegate). Median of 15 runs each, alternating.
#include "BenchFigures.h"
#include "app/Application.h"
#include "base/Language.h"
#include "support/ServiceTestEnvironment.h"
#include "support/TestHttpServer.h"
#include "views/AnalysisDelegate.h"
#include "views/ViewAnalysis.h"

#include <QApplication>
#include <QDateTime>
#include <QHeaderView>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTranslator>

#include <cstdio>
#include <memory>

namespace {

constexpr int runs = 15;
constexpr double goal = 1.5;
constexpr int recordCount = 50;
constexpr int markerCount = 100;

// An analysis answer as the service sends it.
QByteArray analysisReply()
{
    QJsonArray columns;
    const QDateTime first(QDate(2021, 3, 5), QTime(14, 7));
    for (int record = 0; record < recordCount; ++record)
        columns.append(first.addDays(7 * record).toString(Qt::ISODate));
    QJsonArray rows;
    for (int marker = 0; marker < markerCount; ++marker) {
        QJsonArray values;
        for (int record = 0; record < recordCount; ++record)
            values.append((marker * 37 + record * 11) % 101);
        rows.append(QJsonObject{{"id", QStringLiteral("marker-%1").arg(marker)},
                                {"title", QStringLiteral("Marker number %1").arg(marker)},
                                {"description", QStringLiteral("What marker %1 stands for").arg(marker)},
                                {"values", values},
                                {"amount", marker % 9}});
    }
    return QJsonDocument(QJsonObject{{"columns", columns}, {"rows", rows}}).toJson(QJsonDocument::Compact);
}

// The baseline's model: the same cells read from the same bytes.
std::unique_ptr<QStandardItemModel> plainModel(const QByteArray& reply)
{
    const QJsonObject answer = QJsonDocument::fromJson(reply).object();
    const QJsonArray columns = answer.value("columns").toArray();
    const QJsonArray rows = answer.value("rows").toArray();
    auto model = std::make_unique<QStandardItemModel>(rows.size(), columns.size() + 1);
    QStringList headings{QStringLiteral("Marker")};
    for (const QJsonValue& column : columns)
        headings << QDateTime::fromString(column.toString(), Qt::ISODate).toString("yyyy-MM-dd HH:mm:ss");
    model->setHorizontalHeaderLabels(headings);
    for (int row = 0; row < rows.size(); ++row) {
        const QJsonObject marker = rows.at(row).toObject();
        model->setItem(row, 0, new QStandardItem(marker.value("title").toString()));
        const QJsonArray values = marker.value("values").toArray();
        for (int column = 0; column < values.size(); ++column) {
            auto* item = new QStandardItem;
            item->setData(values.at(column).toInt(), Qt::DisplayRole);
            model->setItem(row, column + 1, item);
        }
    }
    return model;
}

void fitColumns(QTableView& table)
{
    for (int section = 1; section < table.horizontalHeader()->count(); ++section)
        table.horizontalHeader()->setSectionResizeMode(section, QHeaderView::Stretch);
    table.resizeColumnToContents(0);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    setupApplication(application);
    QTranslator translator;
    loadTranslation(translator, QStringLiteral("Translation_en_US.qm"));

    // The screen asks for its summary and categories when it opens.
    TestHttpServer server;
    server.setHandler([](const RecordedRequest& request) {
        return ScriptedResponse::json(200,
                                      request.path().startsWith("/category") ? "[]" : R"({"columns":[],"rows":[]})");
    });
    ServiceTestEnvironment environment(server.baseUrlText());

    const QByteArray reply = analysisReply();
    ViewAnalysis screen(Patient(QJsonObject{{"id", "p1"}, {"name", "Benchmark"}}), {});
    screen.resize(1280, 800);
    screen.show();
    screen.findChild<QTabWidget*>(QStringLiteral("tabWidget"))->setCurrentIndex(1);
    QTest::qWait(500);
    QTableView* ours = screen.findChild<QTableView*>(QStringLiteral("analysisTableView"));

    QTableView plain;
    AnalysisDelegate delegate;
    plain.setItemDelegate(&delegate);
    plain.verticalHeader()->hide();
    plain.setAlternatingRowColors(true);
    plain.setSelectionBehavior(QAbstractItemView::SelectRows);
    plain.resize(ours->size());
    plain.show();
    QTest::qWait(100);

    QImage image(ours->size(), QImage::Format_ARGB32_Premultiplied);
    std::vector<double> sonveraTimes;
    std::vector<double> baselineTimes;
    std::unique_ptr<QStandardItemModel> previous;
    for (int run = -1; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        screen.onAnalyseSuccess(reply);
        ours->render(&image);
        const double sonvera = millisecondsSince(timer);
        if (ours->model()->rowCount() != markerCount || ours->model()->columnCount() != recordCount + 1) {
            std::fprintf(stderr, "analysis: the screen shows %d x %d cells\n", ours->model()->rowCount(),
                         ours->model()->columnCount());
            return 1;
        }

        timer.restart();
        std::unique_ptr<QStandardItemModel> model = plainModel(reply);
        plain.setModel(model.get());
        fitColumns(plain);
        plain.render(&image);
        const double baseline = millisecondsSince(timer);
        previous = std::move(model); // the model before is deleted outside the timing
        if (run >= 0) {
            sonveraTimes.push_back(sonvera);
            baselineTimes.push_back(baseline);
        }
    }

    const double sonvera = median(sonveraTimes);
    const double baseline = median(baselineTimes);
    std::printf("analysis of %d records x %d markers, reply to table painted: sonvera %.2f ms, baseline "
                "QStandardItemModel %.2f ms, ratio %.2f (goal <= %.1f)\n",
                recordCount, markerCount, sonvera, baseline, sonvera / baseline, goal);
    return 0;
}
