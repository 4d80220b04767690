// The patient card with 5,000 records: from the bytes of the service's reply
// to the table shown and sorted, newest first, against a plain
// QStandardItemModel filled with the same rows from the same bytes in a
// QTableView sorted the same way.
#include "BenchFigures.h"
#include "app/Application.h"
#include "data/RecordModel.h"
#include "support/ServiceTestEnvironment.h"
#include "support/TestHttpServer.h"
#include "views/ViewPatient.h"

#include <QApplication>
#include <QDateTime>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include <cstdio>
#include <memory>

namespace {

constexpr int runs = 11;
constexpr int recordCount = 5000;
constexpr double goal = 1.5;
const QSize windowSize(1280, 800);

// Records in no particular date order, as a service may list them.
QByteArray reply()
{
    QJsonArray records;
    quint32 state = 2021;
    const QDateTime start(QDate(2015, 1, 1), QTime(9, 0));
    for (int i = 0; i < recordCount; ++i) {
        state = state * 1664525u + 1013904223u;
        records.append(
            QJsonObject{{QStringLiteral("id"), QStringLiteral("record-%1").arg(i)},
                        {QStringLiteral("patientId"), QStringLiteral("p1")},
                        {QStringLiteral("doctorName"), QStringLiteral("Dr Practitioner %1").arg(state % 7)},
                        {QStringLiteral("recordedAt"), start.addSecs(qint64(state >> 4)).toString(Qt::ISODate)},
                        {QStringLiteral("editable"), state % 3 != 0},
                        {QStringLiteral("questionnaire"), state % 2 == 0}});
    }
    return QJsonDocument(records).toJson(QJsonDocument::Compact);
}

bool showAndWait(QWidget& widget)
{
    widget.resize(windowSize);
    widget.show();
    return QTest::qWaitForWindowExposed(&widget);
}

// Layout, then a complete paint of the window, as the practitioner sees it.
void paintNow(QWidget& window)
{
    QCoreApplication::processEvents();
    window.repaint();
}

double cardRun(const QByteArray& bytes, QString* firstShown)
{
    ViewPatient card(Patient(QJsonObject{{QStringLiteral("id"), QStringLiteral("p1")}}));
    // The card asks the service for its records at once; that empty answer
    // comes before the timing starts.
    if (!showAndWait(card) || !QTest::qWaitFor([&card] { return !card.findChild<QWidget*>("LoadingWindow"); }))
        return -1;
    QElapsedTimer timer;
    timer.start();
    card.onLoadSuccess(bytes);
    paintNow(card);
    const double elapsed = millisecondsSince(timer);
    const QAbstractItemModel* shown = card.findChild<QTableView*>(QStringLiteral("tableView"))->model();
    if (shown->rowCount() != recordCount)
        return -1;
    *firstShown = shown->index(0, RecordModel::RecordedAtColumn).data().toString();
    return elapsed;
}

// The plain way: one QStandardItem per cell with the same texts, the model
// handed to the view once filled, then sorted by the view.
double baselineRun(const QByteArray& bytes, QString* firstShown)
{
    QTableView view;
    view.verticalHeader()->hide();
    view.verticalHeader()->setDefaultSectionSize(40);
    view.setSortingEnabled(true);
    if (!showAndWait(view))
        return -1;
    QElapsedTimer timer;
    timer.start();
    auto* model = new QStandardItemModel(0, RecordModel::ColumnCount, &view);
    const QJsonArray records = QJsonDocument::fromJson(bytes).array();
    for (int element = records.size() - 1; element >= 0; --element) {
        const QJsonObject record = records.at(element).toObject();
        auto* check = new QStandardItem;
        check->setCheckable(true);
        const QString recordedAt =
            QDateTime::fromString(record.value(QLatin1String("recordedAt")).toString(), Qt::ISODate)
                .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        model->appendRow(
            {check, new QStandardItem(QString::number(element + 1)), new QStandardItem, new QStandardItem(recordedAt),
             new QStandardItem(record.value(QLatin1String("doctorName")).toString()),
             new QStandardItem(record.value(QLatin1String("questionnaire")).toBool() ? QStringLiteral("Yes")
                                                                                     : QStringLiteral("No")),
             new QStandardItem});
    }
    view.setModel(model);
    view.sortByColumn(RecordModel::RecordedAtColumn, Qt::DescendingOrder);
    paintNow(view);
    const double elapsed = millisecondsSince(timer);
    *firstShown = model->index(0, RecordModel::RecordedAtColumn).data().toString();
    return elapsed;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setupApplication(app);
    // The card's first request goes to a local server that has no records.
    TestHttpServer server;
    server.setHandler([](const RecordedRequest&) { return ScriptedResponse::json(200, "[]"); });
    ServiceTestEnvironment environment(server.baseUrlText());

    const QByteArray bytes = reply();
    std::vector<double> cardTimes;
    std::vector<double> baselineTimes;
    // One warm-up that also checks both show the same newest record first,
    // then alternating runs so that both see the same machine.
    for (int run = -1; run < runs; ++run) {
        QString cardFirst;
        QString baselineFirst;
        const double card = cardRun(bytes, &cardFirst);
        const double baseline = baselineRun(bytes, &baselineFirst);
        if (card < 0 || baseline < 0 || cardFirst != baselineFirst) {
            std::fprintf(stderr, "patient card: a run failed or the tables differ (%s, %s)\n", qPrintable(cardFirst),
                         qPrintable(baselineFirst));
            return 1;
        }
        if (run >= 0) {
            cardTimes.push_back(card);
            baselineTimes.push_back(baseline);
        }
    }

    const double ours = median(cardTimes);
    const double base = median(baselineTimes);
    std::printf("patient card with %d records, reply bytes to table shown and sorted: sonvera %.1f ms, baseline "
                "QStandardItemModel in a QTableView %.1f ms, ratio %.2f (goal <= %.1f)\n",
                recordCount, ours, base, ours / base, goal);
    return 0;
}
