// The analysis, comparative and recovery history screens opened through the
// real main window, from the patient card with records ticked, against the
// running local service: what they show is what the service answers, and what
// the recovery history saves is there when it is opened again from the card.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "data/RecordModel.h"
#include "data/Storage.h"
#include "support/ControllerOutcome.h"
#include "support/LocalServiceProcess.h"
#include "support/MainWindowDriver.h"
#include "support/MessageBoxRecorder.h"
#include "support/ModalDialogDriver.h"
#include "support/ScopedMessageBoxRunner.h"
#include "support/ServiceTestEnvironment.h"
#include "support/SymptomLevels.h"
#include "support/WorkingDirectory.h"
#include "views/SymptomModel.h"
#include "views/ViewAnalysis.h"
#include "views/ViewComparativeAnalysis.h"
#include "views/ViewPatient.h"
#include "views/ViewRecoveryHistory.h"

#include <QAbstractButton>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QInputDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineSeries>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include <memory>

using namespace QtCharts;

class AnalysesFlowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void analysisShowsTheServicesTables();
    void comparativeShowsTheServicesSeries();
    void recoveryHistoryKeepsWhatWasSaved();
    void closingTheWindowAsksToSaveTheHistory();

private:
    // What the service answers to that call about the ticked records.
    QJsonObject answer(void (Controller::*request)(const QByteArray&), QJsonObject body);
    // The demonstration patient's card with its three newest records ticked,
    // and the screen its button opens; null when either did not show.
    template <typename Screen> Screen* openFromCard(const QString& button);

    ScopedWorkingDirectory m_workingDirectory;
    LocalServiceProcess m_service;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    std::unique_ptr<MainWindowDriver> m_driver;
    ViewPatient* m_card = nullptr;
    Patient m_patient;
    QList<Record> m_records;
};

void AnalysesFlowTest::initTestCase()
{
    setupApplication(*qApp);
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service.baseUrl(), 20000);
    m_driver = std::make_unique<MainWindowDriver>(QStringLiteral("demo"), QStringLiteral("demo"));
    QVERIFY(m_driver->window());
}

void AnalysesFlowTest::cleanupTestCase()
{
    m_driver.reset();
    m_environment.reset();
    QVERIFY2(m_service.stop(), qPrintable(m_service.errorText()));
}

template <typename Screen> Screen* AnalysesFlowTest::openFromCard(const QString& button)
{
    m_card = m_driver->openCard(QStringLiteral("Benjamin Carter")); // nine recordings
    if (!m_card)
        return nullptr;
    MainWindowDriver::tick(m_card, {0, 1, 2});
    m_patient = m_card->patient();
    m_records = m_card->findChild<RecordModel*>()->checkedRecords();
    return qobject_cast<Screen*>(m_driver->openFromCard(m_card, button));
}

QJsonObject AnalysesFlowTest::answer(void (Controller::*request)(const QByteArray&), QJsonObject body)
{
    QJsonArray ids;
    for (const Record& record : m_records)
        ids.append(record.id());
    body.insert("patientId", m_patient.id());
    body.insert("records", ids);
    auto* controller = new Controller;
    ControllerOutcome outcome(controller);
    (controller->*request)(QJsonDocument(body).toJson());
    if (!QTest::qWaitFor([&] { return outcome.reported() && outcome.controllerGone(); }, 20000))
        qWarning("the call did not end within 20 s");
    return QJsonDocument::fromJson(outcome.bytes).object();
}

void AnalysesFlowTest::analysisShowsTheServicesTables()
{
    auto* view = openFromCard<ViewAnalysis>(QStringLiteral("buttonAnalysis"));
    QVERIFY(view);
    auto* summaryTable = view->findChild<QTableView*>(QStringLiteral("summaryTableView"));
    QTRY_VERIFY_WITH_TIMEOUT(summaryTable->model()->rowCount() > 0, 20000);
    const QJsonObject summary = answer(&Controller::summary, {{"storageId", QString()}});
    const QJsonArray summaryRows = summary.value("rows").toArray();
    QCOMPARE(summaryTable->model()->rowCount(), summaryRows.size());
    QCOMPARE(summaryTable->model()->columnCount(), m_records.size() + 1);
    for (int row = 0; row < summaryRows.size(); ++row) {
        const QJsonObject category = summaryRows.at(row).toObject();
        QCOMPARE(summaryTable->model()->index(row, 0).data().toString(), category.value("title").toString());
        for (int column = 0; column < m_records.size(); ++column)
            QCOMPARE(summaryTable->model()->index(row, column + 1).data().toInt(),
                     int(category.value("values").toArray().at(column).toDouble()));
    }

    // The second storage of the first category, chosen as a practitioner would.
    view->findChild<QTabWidget*>(QStringLiteral("tabWidget"))->setCurrentIndex(1);
    auto* storages = view->findChild<QComboBox*>(QStringLiteral("comboBoxStorages"));
    auto* markers = view->findChild<QTableView*>(QStringLiteral("analysisTableView"));
    const auto idle = [view] { return !view->findChild<QWidget*>(QStringLiteral("LoadingWindow")); };
    // The first storage is analysed as soon as the tab shows.
    QTRY_VERIFY_WITH_TIMEOUT(storages->count() > 1 && markers->model()->rowCount() > 0 && idle(), 20000);
    storages->setCurrentIndex(1);
    const QString storageId = storages->currentData().value<Storage>().id();
    view->findChild<QPushButton*>(QStringLiteral("buttonAnalyse"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(idle(), 20000);

    const QJsonObject analysis = answer(&Controller::analyse, {{"storageId", storageId}});
    const QJsonArray rows = analysis.value("rows").toArray();
    const QJsonArray dates = analysis.value("columns").toArray();
    QCOMPARE(markers->model()->rowCount(), rows.size());
    QCOMPARE(markers->model()->columnCount(), dates.size() + 1);
    for (int column = 0; column < dates.size(); ++column)
        QCOMPARE(markers->model()->headerData(column + 1, Qt::Horizontal).toString(),
                 QDateTime::fromString(dates.at(column).toString(), Qt::ISODate).toString("yyyy-MM-dd HH:mm:ss"));
    for (int row = 0; row < rows.size(); ++row) {
        const QJsonObject marker = rows.at(row).toObject();
        QCOMPARE(markers->model()->index(row, 0).data().toString(), marker.value("title").toString());
        for (int column = 0; column < dates.size(); ++column)
            QCOMPARE(markers->model()->index(row, column + 1).data().toInt(),
                     marker.value("values").toArray().at(column).toInt());
    }
}

void AnalysesFlowTest::comparativeShowsTheServicesSeries()
{
    auto* view = openFromCard<ViewComparativeAnalysis>(QStringLiteral("buttonComparativeAnalysis"));
    QVERIFY(view);
    QTRY_COMPARE_WITH_TIMEOUT(view->chartViews().size(), 4, 20000);
    const QJsonObject reply = answer(&Controller::comparative, {});
    const char* keys[] = {"graph1", "graph2", "summary", "complaints"};
    for (int chart = 0; chart < 4; ++chart) {
        const QJsonObject graph = reply.value(QLatin1String(keys[chart])).toObject();
        const QList<QAbstractSeries*> series = view->chartViews().at(chart)->chart()->series();
        QCOMPARE(series.size(), graph.size());
        QVERIFY(!series.isEmpty());
        for (QAbstractSeries* one : series) {
            const QJsonArray values = graph.value(one->name()).toArray();
            const QVector<QPointF> points = static_cast<QXYSeries*>(one)->pointsVector();
            QCOMPARE(points.size(), values.size());
            for (int i = 0; i < points.size(); ++i)
                QCOMPARE(points.at(i), QPointF(i + 1, values.at(i).toDouble()));
        }
    }
}

void AnalysesFlowTest::recoveryHistoryKeepsWhatWasSaved()
{
    const QString customName = QStringLiteral("Ringing in the ears");
    auto* view = openFromCard<ViewRecoveryHistory>(QStringLiteral("buttonRecoveryHistory"));
    QVERIFY(view);
    SymptomModel* model = view->model();
    QTRY_VERIFY_WITH_TIMEOUT(model->rowCount() > 2, 20000);
    QCOMPARE(model->columnCount(), m_records.size() + 1);

    auto* table = view->findChild<QTableView*>(QStringLiteral("tableView"));
    QVERIFY(chooseLevel(table, table->model()->index(2, 1), 3));

    whenModalAppears([customName](QWidget* dialog) {
        qobject_cast<QInputDialog*>(dialog)->setTextValue(customName);
        qobject_cast<QInputDialog*>(dialog)->accept();
    });
    view->findChild<QPushButton*>(QStringLiteral("buttonNewSymptom"))->click();
    int customRow = model->rowCount() - 1;
    QCOMPARE(model->index(customRow, 0).data().toString(), customName);
    QVERIFY(model->setData(model->index(customRow, 2), 2, Qt::DisplayRole));
    QVERIFY(view->isModified());

    MessageBoxRecorder boxes;
    view->findChild<QPushButton*>(QStringLiteral("buttonSave"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(!view->isModified(), 20000);
    // Said in passing in the status bar, with no box to dismiss.
    QCOMPARE(m_driver->window()->statusBar()->currentMessage(),
             QCoreApplication::translate("ViewRecoveryHistory", "Text.historySaved").arg(m_card->patient().name()));
    QCOMPARE(boxes.texts(), QStringList());

    // Back to the card with the bread crumb, and the screen opened again.
    view->findChild<QPushButton*>(QStringLiteral("buttonBack"))->click();
    QTRY_COMPARE(m_driver->window()->currentScreen(), static_cast<QWidget*>(m_card));
    auto* reloaded = qobject_cast<ViewRecoveryHistory*>(m_driver->openFromCard(m_card, "buttonRecoveryHistory"));
    QVERIFY(reloaded);
    model = reloaded->model();
    QTRY_VERIFY_WITH_TIMEOUT(model->rowCount() > 2, 20000);
    QCOMPARE(model->index(2, 1).data(Qt::EditRole).toFloat(), 3.0f); // "expressed"
    customRow = model->rowCount() - 1;
    QCOMPARE(model->index(customRow, 0).data().toString(), customName);
    QCOMPARE(model->index(customRow, 2).data(Qt::EditRole).toFloat(), 2.0f);
    QCOMPARE(model->index(customRow, 1).data(Qt::EditRole).toFloat(), 0.0f);
    QVERIFY(model->table().isCustom(customRow));
}

// Last: before, the window closed here without a word about the changes.
void AnalysesFlowTest::closingTheWindowAsksToSaveTheHistory()
{
    auto* view = openFromCard<ViewRecoveryHistory>(QStringLiteral("buttonRecoveryHistory"));
    QVERIFY(view);
    QTRY_VERIFY_WITH_TIMEOUT(view->model()->rowCount() > 3, 20000);
    const QModelIndex cell = view->model()->index(3, 2);
    const float level = cell.data(Qt::EditRole).toFloat() == 2.0f ? 1.0f : 2.0f;
    QVERIFY(view->model()->setData(cell, level, Qt::DisplayRole));

    // Yes to saving, then No to quitting: the history is saved, the window stays.
    QStringList asked;
    ScopedMessageBoxRunner answers([&asked](QMessageBox& box) {
        asked << box.text();
        box.button(asked.size() == 1 ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    QVERIFY(!m_driver->window()->close());
    QTRY_COMPARE_WITH_TIMEOUT(asked.size(), 2, 20000);
    QCOMPARE(asked, (QStringList{QCoreApplication::translate("ViewRecoveryHistory", "Text.confirmSave"),
                                 QCoreApplication::translate("MainWindow", "Text.closeMessage")}));
    QVERIFY(m_driver->window()->isVisible());
    QVERIFY(!view->isModified());
    const auto saved = ControllerOutcome::of([this](Controller& c) { c.loadQuestionnaire(m_patient, m_records); });
    SymptomsTable table;
    table.load(QJsonDocument::fromJson(saved->bytes).object());
    QCOMPARE(table.value(2, 3).toFloat(), level);
}

QTEST_MAIN(AnalysesFlowTest)
#include "tst_analysesflow.moc"
