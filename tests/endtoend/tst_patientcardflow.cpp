// The patient card against the running local service, reached as a
// practitioner reaches it: sign in, double-click a patient. Its records, a
// recording made with the recorder and uploaded, a deletion, the remote device
// and its commands, an autospectrum played and a spreadsheet export; the
// service's own API shows what was stored.
#include "api/PatientManager.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "base/Base64.h"
#include "data/RecordModel.h"
#include "local-service/ServiceClient.h"
#include "local-service/XlsxReader.h"
#include "net/AudioBlocks.h"
#include "net/Unzip.h"
#include "support/FakePlaybackOutput.h"
#include "support/LocalServiceProcess.h"
#include "support/MainWindowDriver.h"
#include "support/MessageBoxRecorder.h"
#include "support/SaveFileAnswer.h"
#include "support/ServiceTestEnvironment.h"
#include "support/WorkingDirectory.h"
#include "views/ViewPatient.h"

#include <QBuffer>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString kSensor = QStringLiteral("5e450a00-0000-4000-8000-0000000000aa");
// Bound to a seeded patient (the fourth): another patient can't take it.
const QString kTakenDevice = QStringLiteral("5e0d5e75-0000-4000-8000-000000000003");

QTableView* tableOf(QWidget* screen)
{
    return screen->findChild<QTableView*>(QStringLiteral("tableView"));
}

QStringList column(QWidget* screen, int column)
{
    QAbstractItemModel* model = tableOf(screen)->model();
    QStringList values;
    for (int row = 0; row < model->rowCount(); ++row)
        values << model->index(row, column).data().toString();
    return values;
}

} // namespace

class PatientCardFlowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void recordsNewestFirstAndNumbered_data();
    void recordsNewestFirstAndNumbered();
    void recordUploadAndDelete();
    void remoteDeviceAndCommands();
    void exportWritesTheServicesWorkbook();
    // Last: the player it opens is modal and stays.
    void autospectrumReachesThePlayer();

private:
    ViewPatient* openCard(const QString& name) { return m_driver->openCard(name); }
    Patient storedPatient(const QString& id);
    QJsonArray storedRecords(const QString& patientId) { return m_client->get("/record/" + patientId).array(); }

    ScopedWorkingDirectory m_folder;
    LocalServiceProcess m_service{{QStringLiteral("--command-seconds"), QStringLiteral("600")}};
    std::unique_ptr<ServiceClient> m_client;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    std::unique_ptr<MainWindowDriver> m_driver;
    MainWindow* m_window = nullptr;
};

void PatientCardFlowTest::initTestCase()
{
    setupApplication(*qApp);
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service.baseUrl(), 20000);
    m_client = std::make_unique<ServiceClient>(m_service.baseUrl());
    QCOMPARE(m_client->signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
    m_driver = std::make_unique<MainWindowDriver>(QStringLiteral("demo"), QStringLiteral("demo"));
    m_window = m_driver->window();
    QVERIFY(m_window);
}

void PatientCardFlowTest::cleanupTestCase()
{
    m_driver.reset();
    m_environment.reset();
}

Patient PatientCardFlowTest::storedPatient(const QString& id)
{
    for (const QJsonValue& patient : m_client->patients()) // all 60, on one page of 100
        if (patient.toObject().value("id").toString() == id)
            return Patient(patient.toObject());
    return {};
}

void PatientCardFlowTest::recordsNewestFirstAndNumbered_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("records");
    QTest::newRow("no recording") << QStringLiteral("Дмитрий Кузнецов") << 0;
    QTest::newRow("one recording") << QStringLiteral("Emma Johansson") << 1;
    QTest::newRow("a long history") << QStringLiteral("Benjamin Carter") << 9;
}

void PatientCardFlowTest::recordsNewestFirstAndNumbered()
{
    QFETCH(QString, name);
    QFETCH(int, records);

    ViewPatient* card = openCard(name);
    QVERIFY(card);
    QCOMPARE(card->patient().name(), name);
    QCOMPARE(m_window->screenCount(), 2);

    QStringList expectedDates;
    for (const QJsonValue& record : storedRecords(card->patient().id()))
        expectedDates << Record(record.toObject()).recordedAt();
    QCOMPARE(expectedDates.size(), records);
    std::sort(expectedDates.begin(), expectedDates.end(), std::greater<>());
    QCOMPARE(column(card, RecordModel::RecordedAtColumn), expectedDates);
    QStringList numbers;
    for (int number = records; number >= 1; --number)
        numbers << QString::number(number);
    QCOMPARE(column(card, RecordModel::NumberColumn), numbers);
}

void PatientCardFlowTest::recordUploadAndDelete()
{
    ViewPatient* card = openCard(QStringLiteral("Emma Johansson"));
    QVERIFY(card);
    const QString patientId = card->patient().id();
    const int before = storedRecords(patientId).size();

    // Record through the recorder the card opens, with the sensor attached.
    MainWindowDriver::recordOnCard(card, kSensor);
    QTRY_COMPARE(tableOf(card)->model()->rowCount(), before + 1);

    const QJsonArray stored = storedRecords(patientId);
    QCOMPARE(stored.size(), before + 1);
    const QJsonObject newest = stored.last().toObject();
    QCOMPARE(newest.value("sensorId").toString(), kSensor);
    QCOMPARE(column(card, RecordModel::RecordedAtColumn).first(), Record(newest).recordedAt());
    QCOMPARE(column(card, RecordModel::NumberColumn).first(), QString::number(before + 1));

    // Delete it again with the trash picture of its row.
    MessageBoxRecorder boxes(QMessageBox::Yes);
    QTableView* table = tableOf(card);
    QMetaObject::invokeMethod(card, "onDeleteRecord", Q_ARG(QModelIndex, table->model()->index(0, 0)));
    QTRY_COMPARE(table->model()->rowCount(), before);
    QCOMPARE(storedRecords(patientId).size(), before);
    QCOMPARE(boxes.boxes.size(), 1); // the question only
}

void PatientCardFlowTest::remoteDeviceAndCommands()
{
    ViewPatient* card = openCard(QStringLiteral("Adam Kowalski"));
    QVERIFY(card);
    const QString id = card->patient().id();
    QVERIFY(!card->patient().hasDevices());
    MessageBoxRecorder boxes(QMessageBox::Yes);

    // A device another patient holds is refused, and nothing changes.
    card->onDeviceConnect(kTakenDevice);
    QTRY_COMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.last().icon, QMessageBox::Critical);
    QVERIFY(!card->patient().hasDevices());
    QVERIFY(!storedPatient(id).hasDevices());

    const auto step = [&](const std::function<void()>& action) {
        const int shown = boxes.boxes.size();
        action();
        return QTest::qWaitFor([&] { return boxes.boxes.size() > shown; }) &&
               boxes.boxes.last().icon != QMessageBox::Critical;
    };
    QVERIFY(step([&] { card->onDeviceConnect(kSensor); }));
    QVERIFY(card->patient().hasDevices() && card->patient().isEnabled());
    QVERIFY(storedPatient(id).hasDevices() && storedPatient(id).isEnabled());
    QVERIFY(card->findChild<QWidget*>(QStringLiteral("buttonDeleteCommand"))->isVisible());
    // The list's row follows the card.
    QVERIFY(PatientManager::instance().patientById(card->patient()).hasDevices());

    QVERIFY(step([&] { card->onDeviceToggle(); }));
    QVERIFY(!storedPatient(id).isEnabled());
    QCOMPARE(card->patient().isEnabled(), false);
    QVERIFY(step([&] { card->onDeviceToggle(); }));
    QVERIFY(storedPatient(id).isEnabled());

    QVERIFY(step([&] { card->onSendCommand(QStringLiteral("RECORD")); }));
    QCOMPARE(storedPatient(id).command(), QStringLiteral("RECORD"));
    QVERIFY(step([&] { card->onDeleteCommand(); })); // yes to the question, then the success
    QTRY_VERIFY(storedPatient(id).command().isEmpty());
    QTRY_VERIFY(card->patient().command().isEmpty());

    QVERIFY(step([&] { card->onDeviceDisconnect(); }));
    QVERIFY(!card->patient().hasDevices());
    QVERIFY(!storedPatient(id).hasDevices());
    QVERIFY(!PatientManager::instance().patientById(card->patient()).hasDevices());
}

void PatientCardFlowTest::exportWritesTheServicesWorkbook()
{
    ViewPatient* card = openCard(QStringLiteral("Benjamin Carter"));
    QVERIFY(card);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("carter")); // the suffix is added
    SaveFileAnswer answer(path);
    MessageBoxRecorder boxes;
    card->findChild<QPushButton*>(QStringLiteral("buttonExcelExport"))->click();
    QTRY_VERIFY(QFile::exists(path + QStringLiteral(".xlsx")));
    // Where it went is said in passing in the status bar, with no box to dismiss.
    QCOMPARE(m_window->statusBar()->currentMessage(),
             QCoreApplication::translate("PatientExport", "Text.exportSaved")
                 .arg(QDir::toNativeSeparators(path + QStringLiteral(".xlsx"))));
    QCOMPARE(boxes.texts(), QStringList());

    QFile file(path + QStringLiteral(".xlsx"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    const QByteArray direct = QByteArray::fromBase64(
        m_client->post(QStringLiteral("/export/excel"), {{"patientId", card->patient().id()}}).body);
    xlsxtest::XlsxWorkbook workbook;
    xlsxtest::XlsxWorkbook directWorkbook;
    QVERIFY2(workbook.open(saved.toStdString()), workbook.error().c_str());
    QVERIFY(directWorkbook.open(direct.toStdString()));
    QCOMPARE(workbook.sheetNames().size(), size_t(3));
    for (const std::string& sheet : workbook.sheetNames())
        QVERIFY2(workbook.sheetXml(sheet) == directWorkbook.sheetXml(sheet), sheet.c_str());
}

void PatientCardFlowTest::autospectrumReachesThePlayer()
{
    ViewPatient* card = openCard(QStringLiteral("Benjamin Carter"));
    QVERIFY(card);
    MainWindowDriver::tick(card, {0});
    const Record record = card->findChild<RecordModel*>()->checkedRecords().value(0);

    // What the service sends for that record, unpacked as the client does.
    const ServiceAnswer answer = m_client->post(QStringLiteral("/recipe/autospectrum"),
                                                {{"patientId", card->patient().id()}, {"recordId", record.id()}});
    QCOMPARE(answer.status, 200);
    const QList<QByteArray> blocks = decodeAudioBlocks(unzip(decodeBase64(answer.body)));
    QVERIFY(!blocks.isEmpty());

    ScopedFakePlaybackOutputs outputs;
    card->onAutospectrum(1);
    QTRY_VERIFY(outputs.last() && outputs.last()->source());
    const QByteArray played = qobject_cast<QBuffer*>(outputs.last()->source())->data();
    // One minute: each block 20 times in a row (60 / 2.98 = 20.1).
    QByteArray expected;
    for (const QByteArray& block : blocks)
        expected += block.repeated(20);
    QCOMPARE(played.size(), expected.size());
    QVERIFY(played == expected);
}

QTEST_MAIN(PatientCardFlowTest)
#include "tst_patientcardflow.moc"
