// Sending recordings without losing one: how an upload fails decides whether
// the recording stays on disk, and a recording is never on its way twice at
// once, however often sending is asked for.
#include "api/RecordingUploader.h"
#include "base/Account.h"
#include "data/Patient.h"
#include "support/ServiceTestEnvironment.h"
#include "support/TestHttpServer.h"

#include <QDirIterator>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

namespace {

const ScriptedResponse confirmed =
    ScriptedResponse::json(201, R"({"id": "r9", "patientId": "p1", "recordedAt": "2026-03-01T12:00:00"})");
const ScriptedResponse failing = ScriptedResponse::json(503, "{}");

} // namespace

class RecordingUploaderTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void keptUnlessConfirmedOrRefused_data();
    void keptUnlessConfirmedOrRefused();
    void neverTwoSendsOfOneRecording();

private:
    void answerWith(const ScriptedResponse& answer)
    {
        m_server->setHandler([answer](const RecordedRequest&) { return answer; });
    }
    void upload(const QByteArray& recording)
    {
        m_uploader.upload(Patient(QJsonObject{{"id", "p1"}}), recording, QStringLiteral("sensor"), nullptr);
    }
    int files(const QString& suffix) const
    {
        int found = 0;
        for (QDirIterator it(m_data, {"*" + suffix}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            found += !it.next().isEmpty();
        return found;
    }

    QString m_data;
    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    RecordingUploader& m_uploader = RecordingUploader::instance();
};

void RecordingUploaderTest::initTestCase()
{
    // The practitioner's data folder of this platform, in the toolkit's test
    // place so that no real folder is touched.
    QStandardPaths::setTestModeEnabled(true);
    qRegisterMetaType<RecordingUploader::Origin>();
    m_data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QVERIFY(!m_data.isEmpty() && QDir(m_data).removeRecursively() && QDir().mkpath(m_data));
    // Retries come only when a test asks for them.
    m_uploader.setRetryInterval(3600 * 1000);
}

void RecordingUploaderTest::init()
{
    m_server = std::make_unique<TestHttpServer>();
    m_environment = std::make_unique<ServiceTestEnvironment>(m_server->baseUrlText(), 300);
    Account::instance().setUserName(QStringLiteral("demo"));
}

void RecordingUploaderTest::cleanup()
{
    m_environment.reset();
    m_server.reset();
    QDir(m_data).removeRecursively();
    QDir().mkpath(m_data);
}

void RecordingUploaderTest::keptUnlessConfirmedOrRefused_data()
{
    ScriptedResponse dropped;
    dropped.closeWithoutAnswer = true;
    ScriptedResponse silent;
    silent.neverAnswer = true;
    QTest::addColumn<bool>("waitedFirst"); // a first upload failed and it waited
    QTest::addColumn<ScriptedResponse>("answer");
    QTest::addColumn<QString>("left"); // what is on disk afterwards
    QTest::newRow("confirmed") << false << confirmed << "";
    QTest::newRow("service failing") << false << failing << ".recording";
    QTest::newRow("sign-in expired") << false << ScriptedResponse::json(401, "{}") << ".recording";
    QTest::newRow("connection dropped") << false << dropped << ".recording";
    QTest::newRow("no answer in time") << false << silent << ".recording";
    // The recording itself is refused: sent again, it would be refused again.
    // A new one is dropped as the practitioner is told; one that waited, maybe
    // unseen, is set aside.
    QTest::newRow("refused") << false << ScriptedResponse::json(400, R"({"message": "bad"})") << "";
    QTest::newRow("waited, then confirmed") << true << confirmed << "";
    QTest::newRow("waited, then refused") << true << ScriptedResponse::json(404, "{}") << ".refused";
}

void RecordingUploaderTest::keptUnlessConfirmedOrRefused()
{
    QFETCH(bool, waitedFirst);
    QFETCH(ScriptedResponse, answer);
    QFETCH(QString, left);
    QSignalSpy failed(&m_uploader, &RecordingUploader::failed);
    QSignalSpy uploaded(&m_uploader, &RecordingUploader::uploaded);
    answerWith(waitedFirst ? failing : answer);
    upload("RIFF recording");
    // On disk from the start, whatever comes of the upload.
    QCOMPARE(files(".recording"), 1);
    QTRY_COMPARE(uploaded.size() + failed.size(), 1);
    if (waitedFirst) {
        answerWith(answer);
        m_uploader.sendWaiting();
        QTRY_COMPARE(uploaded.size() + failed.size(), 2);
    }

    QCOMPARE(files(".recording"), left == ".recording" ? 1 : 0);
    QCOMPARE(files(".refused"), left == ".refused" ? 1 : 0);
    QCOMPARE(m_uploader.waiting(QStringLiteral("p1")).size(), files(".recording"));
    QCOMPARE(uploaded.size(), answer.status == 201 && !answer.neverAnswer && !answer.closeWithoutAnswer ? 1 : 0);
}

void RecordingUploaderTest::neverTwoSendsOfOneRecording()
{
    ScriptedResponse slow = confirmed;
    slow.delayBeforeHeadersMs = 200;
    QSignalSpy uploaded(&m_uploader, &RecordingUploader::uploaded);
    QSignalSpy failed(&m_uploader, &RecordingUploader::failed);
    const auto uploads = [this] { return m_server->requests().size(); };

    // Asked again and again while a new recording is on its way.
    answerWith(slow);
    upload("RIFF new");
    for (int asked = 0; asked < 3; ++asked)
        m_uploader.sendWaiting(RecordingUploader::Origin::Asked);
    QTRY_COMPARE(uploaded.size(), 1);

    // Two waiting ones, asked for twice while the first of them is on its way.
    answerWith(failing);
    upload("RIFF one");
    upload("RIFF two");
    QTRY_COMPARE(failed.size(), 2);
    answerWith(slow);
    m_uploader.sendWaiting();
    m_uploader.sendWaiting(RecordingUploader::Origin::Asked);
    QTRY_COMPARE(uploaded.size(), 3);
    QTest::qWait(300);
    QCOMPARE(uploads(), 5);
    QCOMPARE(files(".recording"), 0);
}

QTEST_MAIN(RecordingUploaderTest)
#include "tst_recordinguploader.moc"
