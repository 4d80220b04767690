// The analysis, comparative and recovery history screens against the running
// local service: what they show is what the service answers, and what the
// recovery history saves comes back on the next load.
#include "app/Application.h"
#include "base/Account.h"
#include "data/Storage.h"
#include "support/ControllerOutcome.h"
#include "support/LocalServiceProcess.h"
#include "support/MessageBoxRecorder.h"
#include "support/ModalDialogDriver.h"
#include "support/ServiceTestEnvironment.h"
#include "support/WorkingDirectory.h"
#include "views/SymptomModel.h"
#include "views/ViewAnalysis.h"
#include "views/ViewComparativeAnalysis.h"
#include "views/ViewRecoveryHistory.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QInputDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineSeries>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include <functional>
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

private:
    QByteArray call(const std::function<void(Controller&)>& operation);
    QByteArray requestBody(const QString& storageId) const;

    LocalServiceProcess m_service;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    std::unique_ptr<ScopedWorkingDirectory> m_workingDirectory;
    Patient m_patient;
    QList<Record> m_records;
};

QByteArray AnalysesFlowTest::call(const std::function<void(Controller&)>& operation)
{
    auto* controller = new Controller;
    ControllerOutcome outcome(controller);
    operation(*controller);
    if (!QTest::qWaitFor([&] { return outcome.reported() && outcome.controllerGone(); }, 20000))
        qWarning("the call did not end within 20 s");
    return outcome.bytes;
}

void AnalysesFlowTest::initTestCase()
{
    setupApplication(*qApp);
    m_workingDirectory = std::make_unique<ScopedWorkingDirectory>();
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service.baseUrl(), 20000);
    call([](Controller& c) { c.login({{"username", "demo"}, {"password", "demo"}}); });
    QVERIFY(Account::instance().authorization().startsWith("Bearer "));

    // A demonstration patient with at least three recordings.
    const QByteArray page = call([](Controller& c) { c.filterPatients("name", "asc", 100, 0, "name", QString()); });
    for (const QJsonValue& value : QJsonDocument::fromJson(page).object().value("data").toArray()) {
        const Patient patient(value.toObject());
        m_records.clear();
        for (const QJsonValue& record :
             QJsonDocument::fromJson(call([&](Controller& c) { c.getRecords(patient); })).array())
            m_records.append(Record(record.toObject()));
        if (m_records.size() >= 3) {
            m_patient = patient;
            break;
        }
    }
    QVERIFY(!m_patient.id().isEmpty());
}

void AnalysesFlowTest::cleanupTestCase()
{
    m_environment.reset();
    QVERIFY2(m_service.stop(), qPrintable(m_service.errorText()));
}

QByteArray AnalysesFlowTest::requestBody(const QString& storageId) const
{
    QJsonArray ids;
    for (const Record& record : m_records)
        ids.append(record.id());
    return QJsonDocument(QJsonObject{{"patientId", m_patient.id()}, {"storageId", storageId}, {"records", ids}})
        .toJson();
}

void AnalysesFlowTest::analysisShowsTheServicesTables()
{
    ViewAnalysis view(m_patient, m_records);
    view.show();
    auto* summaryTable = view.findChild<QTableView*>(QStringLiteral("summaryTableView"));
    QTRY_VERIFY_WITH_TIMEOUT(summaryTable->model()->rowCount() > 0, 20000);
    const QJsonObject summary =
        QJsonDocument::fromJson(call([&](Controller& c) { c.summary(requestBody({})); })).object();
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
    view.findChild<QTabWidget*>(QStringLiteral("tabWidget"))->setCurrentIndex(1);
    auto* storages = view.findChild<QComboBox*>(QStringLiteral("comboBoxStorages"));
    QTRY_VERIFY_WITH_TIMEOUT(storages->count() > 1, 20000);
    storages->setCurrentIndex(1);
    const QString storageId = storages->currentData().value<Storage>().id();
    view.findChild<QPushButton*>(QStringLiteral("buttonAnalyse"))->click();
    auto* markers = view.findChild<QTableView*>(QStringLiteral("analysisTableView"));
    QTRY_VERIFY_WITH_TIMEOUT(markers->model()->rowCount() > 0, 20000);

    const QJsonObject analysis =
        QJsonDocument::fromJson(call([&](Controller& c) { c.analyse(requestBody(storageId)); })).object();
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
    ViewComparativeAnalysis view(m_patient, m_records);
    view.show();
    QTRY_COMPARE_WITH_TIMEOUT(view.chartViews().size(), 4, 20000);
    QJsonArray ids;
    for (const Record& record : m_records)
        ids.append(record.id());
    const QJsonObject answer =
        QJsonDocument::fromJson(call([&](Controller& c) {
            c.comparative(QJsonDocument(QJsonObject{{"patientId", m_patient.id()}, {"records", ids}}).toJson());
        })).object();
    const char* keys[] = {"graph1", "graph2", "summary", "complaints"};
    for (int chart = 0; chart < 4; ++chart) {
        const QJsonObject graph = answer.value(QLatin1String(keys[chart])).toObject();
        const QList<QAbstractSeries*> series = view.chartViews().at(chart)->chart()->series();
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
    {
        ViewRecoveryHistory view(m_patient, m_records);
        view.setAttribute(Qt::WA_DeleteOnClose, false);
        view.show();
        SymptomModel* model = view.model();
        QTRY_VERIFY_WITH_TIMEOUT(model->rowCount() > 2, 20000);
        QCOMPARE(model->columnCount(), m_records.size() + 1);

        auto* table = view.findChild<QTableView*>(QStringLiteral("tableView"));
        table->setCurrentIndex(model->index(2, 1));
        QTRY_VERIFY(table->findChild<QComboBox*>(QStringLiteral("comboBoxLevel")));
        table->findChild<QComboBox*>(QStringLiteral("comboBoxLevel"))->setCurrentIndex(3);

        whenModalAppears([customName](QWidget* dialog) {
            qobject_cast<QInputDialog*>(dialog)->setTextValue(customName);
            qobject_cast<QInputDialog*>(dialog)->accept();
        });
        view.findChild<QPushButton*>(QStringLiteral("buttonNewSymptom"))->click();
        const int customRow = model->rowCount() - 1;
        QCOMPARE(model->index(customRow, 0).data().toString(), customName);
        QVERIFY(model->setData(model->index(customRow, 2), 2, Qt::DisplayRole));
        QVERIFY(view.isModified());

        view.findChild<QPushButton*>(QStringLiteral("buttonSave"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(!view.isModified(), 20000);
    }

    ViewRecoveryHistory reloaded(m_patient, m_records);
    reloaded.setAttribute(Qt::WA_DeleteOnClose, false);
    reloaded.show();
    SymptomModel* model = reloaded.model();
    QTRY_VERIFY_WITH_TIMEOUT(model->rowCount() > 2, 20000);
    QCOMPARE(model->index(2, 1).data().toString(), QStringLiteral("Complaint.expressed"));
    const int customRow = model->rowCount() - 1;
    QCOMPARE(model->index(customRow, 0).data().toString(), customName);
    QCOMPARE(model->index(customRow, 2).data(Qt::EditRole).toFloat(), 2.0f);
    QCOMPARE(model->index(customRow, 1).data(Qt::EditRole).toFloat(), 0.0f);
    QVERIFY(model->table().isCustom(customRow));
}

QTEST_MAIN(AnalysesFlowTest)
#include "tst_analysesflow.moc"
