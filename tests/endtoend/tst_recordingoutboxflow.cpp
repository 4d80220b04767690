// Recordings whose upload failed, through the real window against the local
// service: kept on disk and shown on the card as waiting, sent again once the
// service answers, in this run or the next, and only for the practitioner who
// made them. The service's own list and log tell what arrived, and how often.
#include "api/RecordingUploader.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "local-service/ServiceClient.h"
#include "support/LocalServiceProcess.h"
#include "support/MainWindowDriver.h"
#include "support/MessageBoxRecorder.h"
#include "support/ServiceTestEnvironment.h"
#include "support/WorkingDirectory.h"
#include "views/ViewPatient.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString kSensor = QStringLiteral("5e450a00-0000-4000-8000-0000000000bb");
const QString kDemoPatient = QStringLiteral("Emma Johansson");
constexpr int kRetryMs = 200;
// Long enough that within a test only a sign-in sends what waits.
constexpr int kNoRetryMs = 3600 * 1000;

int rowsOf(ViewPatient* card, const char* table)
{
    return card->findChild<QAbstractItemView*>(QLatin1String(table))->model()->rowCount();
}

bool showsWaiting(ViewPatient* card)
{
    return card->findChild<QWidget*>(QStringLiteral("panelWaiting"))->isVisible();
}

} // namespace

class RecordingOutboxFlowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void serviceStoppedAndStartedAgain();
    void waitingRecordingOutlivesTheProgram();
    void anotherPractitionerNeitherSeesNorSendsIt();

private:
    // The card of the demo patient, a recording made on it while the service
    // is stopped, and the program ended with it waiting. The patient's id.
    QString keepOneAndEndTheProgram();
    QStringList waitingFiles() const;
    int storedRecords(const QString& patientId);
    // Uploads the service has accepted since the test began.
    int uploadsAccepted() { return m_service.log().count(m_accepted) - m_acceptedBefore; }

    QTemporaryDir m_data;
    ScopedWorkingDirectory m_folder;
    LocalServiceProcess m_service;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    std::unique_ptr<MainWindowDriver> m_driver;
    const QRegularExpression m_accepted{QStringLiteral("POST \"?/record\"? 201")};
    int m_acceptedBefore = 0;
};

void RecordingOutboxFlowTest::initTestCase()
{
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
    setupApplication(*qApp);
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service.baseUrl(), 20000);
}

void RecordingOutboxFlowTest::init()
{
    m_acceptedBefore = m_service.log().count(m_accepted);
    RecordingUploader::instance().setRetryInterval(kRetryMs);
}

void RecordingOutboxFlowTest::cleanup()
{
    m_driver.reset();
    // A test that failed half-way leaves the service running for the next.
    if (!m_service.isRunning())
        QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
}

QStringList RecordingOutboxFlowTest::waitingFiles() const
{
    QStringList files;
    QDirIterator found(m_data.path(), {QStringLiteral("*.recording")}, QDir::Files, QDirIterator::Subdirectories);
    while (found.hasNext())
        files << found.next();
    return files;
}

int RecordingOutboxFlowTest::storedRecords(const QString& patientId)
{
    ServiceClient client(m_service.baseUrl());
    client.signIn(QStringLiteral("demo"), QStringLiteral("demo"));
    return client.get(QStringLiteral("/record/") + patientId).array().size();
}

void RecordingOutboxFlowTest::serviceStoppedAndStartedAgain()
{
    m_driver = std::make_unique<MainWindowDriver>(QStringLiteral("demo"), QStringLiteral("demo"));
    ViewPatient* card = m_driver->openCard(kDemoPatient);
    QVERIFY(card);
    const QString patientId = card->patient().id();
    const int before = storedRecords(patientId);
    QVERIFY(!showsWaiting(card));

    QVERIFY2(m_service.stop(), qPrintable(m_service.errorText()));
    MessageBoxRecorder boxes;
    MainWindowDriver::recordOnCard(card, kSensor);
    QTRY_COMPARE(boxes.boxes.size(), 1);
    QVERIFY2(boxes.texts().first().contains(QStringLiteral("kept on this computer")),
             qPrintable(boxes.texts().first()));
    QTRY_VERIFY(showsWaiting(card));
    QCOMPARE(rowsOf(card, "tableWaiting"), 1);
    QCOMPARE(rowsOf(card, "tableView"), before);
    QCOMPARE(waitingFiles().size(), 1);
    // The tries while the service is away fail without a word.
    QTest::qWait(kRetryMs * 4);
    QCOMPARE(boxes.boxes.size(), 1);

    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    QTRY_COMPARE_WITH_TIMEOUT(rowsOf(card, "tableView"), before + 1, 15000);
    QVERIFY(!showsWaiting(card));
    QCOMPARE(waitingFiles(), QStringList());
    QCOMPARE(storedRecords(patientId), before + 1);
    // Later tries find nothing to send: the record arrived exactly once.
    QTest::qWait(kRetryMs * 4);
    QCOMPARE(uploadsAccepted(), 1);
    QCOMPARE(storedRecords(patientId), before + 1);
    QCOMPARE(boxes.boxes.size(), 1);
}

QString RecordingOutboxFlowTest::keepOneAndEndTheProgram()
{
    RecordingUploader::instance().setRetryInterval(kNoRetryMs);
    m_driver = std::make_unique<MainWindowDriver>(QStringLiteral("demo"), QStringLiteral("demo"));
    ViewPatient* card = m_driver->openCard(kDemoPatient);
    if (!card || !m_service.stop())
        return {};
    const QString patientId = card->patient().id();
    MessageBoxRecorder boxes;
    MainWindowDriver::recordOnCard(card, kSensor);
    if (!QTest::qWaitFor([&] { return showsWaiting(card) && !boxes.boxes.isEmpty(); }))
        return {};
    m_driver.reset();
    return m_service.start() ? patientId : QString();
}

void RecordingOutboxFlowTest::waitingRecordingOutlivesTheProgram()
{
    const QString patientId = keepOneAndEndTheProgram();
    QVERIFY2(!patientId.isEmpty(), qPrintable(m_service.errorText()));
    const int before = storedRecords(patientId);
    QCOMPARE(waitingFiles().size(), 1);

    // The next run sends it as soon as its practitioner has signed in.
    m_driver = std::make_unique<MainWindowDriver>(QStringLiteral("demo"), QStringLiteral("demo"));
    QVERIFY(m_driver->window());
    QTRY_COMPARE(waitingFiles(), QStringList());
    QCOMPARE(storedRecords(patientId), before + 1);
    // The service logs a request once it has answered it.
    QTRY_COMPARE(uploadsAccepted(), 1);
    ViewPatient* card = m_driver->openCard(kDemoPatient);
    QVERIFY(card);
    QVERIFY(!showsWaiting(card));
    QCOMPARE(rowsOf(card, "tableView"), before + 1);
}

void RecordingOutboxFlowTest::anotherPractitionerNeitherSeesNorSendsIt()
{
    const QString patientId = keepOneAndEndTheProgram();
    QVERIFY2(!patientId.isEmpty(), qPrintable(m_service.errorText()));
    const QStringList kept = waitingFiles();
    QCOMPARE(kept.size(), 1);

    m_driver.reset();
    m_driver = std::make_unique<MainWindowDriver>(QStringLiteral("second"), QStringLiteral("second"));
    // A card that loads its records has heard the service answer: whatever
    // waits for this practitioner goes then.
    ViewPatient* card = m_driver->openCard(QStringLiteral("Helena Virtanen"));
    QVERIFY(card);
    QVERIFY(!showsWaiting(card));
    QVERIFY(RecordingUploader::instance().waiting(patientId).isEmpty());
    RecordingUploader::instance().sendWaiting(RecordingUploader::Origin::Asked);
    QTest::qWait(kRetryMs * 2);
    QCOMPARE(waitingFiles(), kept);
    QCOMPARE(uploadsAccepted(), 0);

    // Its own practitioner finds it waiting and it goes.
    m_driver.reset();
    m_driver = std::make_unique<MainWindowDriver>(QStringLiteral("demo"), QStringLiteral("demo"));
    QTRY_COMPARE(waitingFiles(), QStringList());
    QTRY_COMPARE(uploadsAccepted(), 1);
}

QTEST_MAIN(RecordingOutboxFlowTest)
#include "tst_recordingoutboxflow.moc"
