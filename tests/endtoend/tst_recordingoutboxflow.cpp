// Recordings whose upload failed, through the real window against the local
// service: kept on disk and shown on the card as waiting, sent again once the
// service answers, in this run or the next, and only by the practitioner who
// made them. The service's list and log tell what arrived, and how often.
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

#include <QAbstractItemView>
#include <QDirIterator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class RecordingOutboxFlowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void serviceStoppedAndStartedAgain();
    void waitingRecordingOutlivesTheProgramForItsPractitionerOnly();

private:
    // Signs in as demo, opens the patient's card and records on it while the
    // service is stopped; the card, or null.
    ViewPatient* recordWhileTheServiceIsStopped();
    QStringList waitingFiles() const;
    int stored() { return m_demo->get(QStringLiteral("/record/") + m_patientId).array().size(); }
    int uploadsAccepted()
    {
        return m_service.log().count(QRegularExpression(QStringLiteral("POST \"?/record\"? 201")));
    }
    bool showsWaiting(ViewPatient* card) { return card->findChild<QWidget*>("panelWaiting")->isVisible(); }
    static int rows(ViewPatient* card, const char* table)
    {
        return card->findChild<QAbstractItemView*>(QLatin1String(table))->model()->rowCount();
    }

    QTemporaryDir m_data;
    ScopedWorkingDirectory m_folder;
    LocalServiceProcess m_service;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    std::unique_ptr<ServiceClient> m_demo;
    std::unique_ptr<MainWindowDriver> m_driver;
    QString m_patientId;
};

void RecordingOutboxFlowTest::initTestCase()
{
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
    setupApplication(*qApp);
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service.baseUrl(), 20000);
    m_demo = std::make_unique<ServiceClient>(m_service.baseUrl());
    QCOMPARE(m_demo->signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
}

void RecordingOutboxFlowTest::cleanup()
{
    m_driver.reset();
    if (!m_service.isRunning())
        QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
}

ViewPatient* RecordingOutboxFlowTest::recordWhileTheServiceIsStopped()
{
    m_driver = std::make_unique<MainWindowDriver>(QStringLiteral("demo"), QStringLiteral("demo"));
    ViewPatient* card = m_driver->openCard(QStringLiteral("Emma Johansson"));
    if (!card || !m_service.stop())
        return nullptr;
    m_patientId = card->patient().id();
    MessageBoxRecorder boxes;
    MainWindowDriver::recordOnCard(card, QStringLiteral("5e450a00-0000-4000-8000-0000000000bb"));
    // The practitioner is told once; later tries fail without a word.
    const bool told = QTest::qWaitFor([&] { return showsWaiting(card) && !boxes.boxes.isEmpty(); });
    QTest::qWait(500);
    return told && boxes.texts().size() == 1 && boxes.texts().first().contains("kept on this computer") ? card
                                                                                                        : nullptr;
}

QStringList RecordingOutboxFlowTest::waitingFiles() const
{
    QStringList files;
    for (QDirIterator it(m_data.path(), {"*.recording"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files << it.next();
    return files;
}

void RecordingOutboxFlowTest::serviceStoppedAndStartedAgain()
{
    RecordingUploader::instance().setRetryInterval(100);
    ViewPatient* card = recordWhileTheServiceIsStopped();
    QVERIFY(card);
    QCOMPARE(rows(card, "tableWaiting"), 1);
    QCOMPARE(waitingFiles().size(), 1);
    const int rowsBefore = rows(card, "tableView");
    const int acceptedBefore = uploadsAccepted();

    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    QTRY_COMPARE_WITH_TIMEOUT(rows(card, "tableView"), rowsBefore + 1, 15000);
    QVERIFY(!showsWaiting(card));
    QCOMPARE(waitingFiles(), QStringList());
    // Later tries find nothing to send: the record arrived exactly once.
    QTest::qWait(500);
    QCOMPARE(uploadsAccepted(), acceptedBefore + 1);
    QCOMPARE(stored(), rowsBefore + 1);
}

void RecordingOutboxFlowTest::waitingRecordingOutlivesTheProgramForItsPractitionerOnly()
{
    // Within the test, only a sign-in or a card sends what waits.
    RecordingUploader::instance().setRetryInterval(3600 * 1000);
    QVERIFY(recordWhileTheServiceIsStopped());
    m_driver.reset();
    const QStringList kept = waitingFiles();
    QCOMPARE(kept.size(), 1);
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    const int before = stored();
    const int acceptedBefore = uploadsAccepted();

    // Another practitioner's sign-in and card send whatever waits for them.
    m_driver = std::make_unique<MainWindowDriver>(QStringLiteral("second"), QStringLiteral("second"));
    ViewPatient* card = m_driver->openCard(QStringLiteral("Helena Virtanen"));
    QVERIFY(card && !showsWaiting(card));
    QVERIFY(RecordingUploader::instance().waiting(m_patientId).isEmpty());
    QTest::qWait(300);
    QCOMPARE(waitingFiles(), kept);
    QCOMPARE(uploadsAccepted(), acceptedBefore);

    // The next run of its own practitioner sends it once and deletes it.
    m_driver.reset();
    m_driver = std::make_unique<MainWindowDriver>(QStringLiteral("demo"), QStringLiteral("demo"));
    QTRY_COMPARE(waitingFiles(), QStringList());
    QCOMPARE(stored(), before + 1);
    // The service logs a request once it has answered it.
    QTRY_COMPARE(uploadsAccepted(), acceptedBefore + 1);
}

QTEST_MAIN(RecordingOutboxFlowTest)
#include "tst_recordingoutboxflow.moc"
