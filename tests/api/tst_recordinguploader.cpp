// Sending recordings without losing one: how each way an upload can fail
// decides whether the recording stays on disk, and a recording is never on
// its way twice at once, however often sending is asked for.
#include "api/RecordingUploader.h"
#include "base/Account.h"
#include "data/Patient.h"
#include "support/ServiceTestEnvironment.h"
#include "support/TestHttpServer.h"

#include <QDir>
#include <QDirIterator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int readTimeoutMs = 300;
const QByteArray recordAnswer = R"({"id": "r9", "patientId": "p1", "recordedAt": "2026-03-01T12:00:00"})";

Patient patient()
{
    return Patient(QJsonObject{{QStringLiteral("id"), QStringLiteral("p1")}});
}

ScriptedResponse closed()
{
    ScriptedResponse response;
    response.closeWithoutAnswer = true;
    return response;
}

ScriptedResponse silent()
{
    ScriptedResponse response;
    response.neverAnswer = true;
    return response;
}

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
    void waitingOneRefusedLaterIsSetAside();

private:
    QStringList filesEndingIn(const QString& suffix) const;
    int uploadsReceived() const;

    QTemporaryDir m_data;
    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    RecordingUploader& m_uploader = RecordingUploader::instance();
};

void RecordingUploaderTest::initTestCase()
{
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
    // Retries come only when a test asks for them.
    m_uploader.setRetryInterval(3600 * 1000);
}

void RecordingUploaderTest::init()
{
    m_server = std::make_unique<TestHttpServer>();
    m_environment = std::make_unique<ServiceTestEnvironment>(m_server->baseUrlText(), readTimeoutMs);
    Account::instance().setUserName(QStringLiteral("demo"));
}

void RecordingUploaderTest::cleanup()
{
    m_environment.reset();
    m_server.reset();
    QDir(m_data.path()).removeRecursively();
    QDir().mkpath(m_data.path());
}

QStringList RecordingUploaderTest::filesEndingIn(const QString& suffix) const
{
    QStringList files;
    QDirIterator found(m_data.path(), {QLatin1Char('*') + suffix}, QDir::Files, QDirIterator::Subdirectories);
    while (found.hasNext())
        files << found.next();
    return files;
}

int RecordingUploaderTest::uploadsReceived() const
{
    int uploads = 0;
    for (const RecordedRequest& request : m_server->requests())
        uploads += request.path() == QStringLiteral("/record");
    return uploads;
}

void RecordingUploaderTest::keptUnlessConfirmedOrRefused_data()
{
    QTest::addColumn<ScriptedResponse>("answer");
    QTest::addColumn<bool>("kept");
    QTest::newRow("confirmed") << ScriptedResponse::json(201, recordAnswer) << false;
    QTest::newRow("service failing") << ScriptedResponse::json(503, "{}") << true;
    QTest::newRow("internal error") << ScriptedResponse::json(500, "{}") << true;
    QTest::newRow("sign-in expired") << ScriptedResponse::json(401, "{}") << true;
    QTest::newRow("connection dropped") << closed() << true;
    QTest::newRow("no answer in time") << silent() << true;
    // The recording itself is refused: sent again, it would be refused again.
    QTest::newRow("bad request") << ScriptedResponse::json(400, R"({"message": "bad"})") << false;
    QTest::newRow("patient gone") << ScriptedResponse::json(404, "{}") << false;
}

void RecordingUploaderTest::keptUnlessConfirmedOrRefused()
{
    QFETCH(ScriptedResponse, answer);
    QFETCH(bool, kept);
    m_server->setHandler([answer](const RecordedRequest&) { return answer; });
    QSignalSpy uploaded(&m_uploader, &RecordingUploader::uploaded);
    QSignalSpy failed(&m_uploader, &RecordingUploader::failed);

    m_uploader.upload(patient(), "RIFF recording", QStringLiteral("sensor"), nullptr);
    // The file is there from the start, whatever comes of the upload.
    QCOMPARE(filesEndingIn(".recording").size(), 1);
    QTRY_COMPARE(uploaded.size() + failed.size(), 1);

    const bool confirmed = answer.status == 201 && !answer.neverAnswer && !answer.closeWithoutAnswer;
    QCOMPARE(uploaded.size(), confirmed ? 1 : 0);
    if (!confirmed)
        QCOMPARE(failed.first().at(3).toBool(), kept);
    QCOMPARE(filesEndingIn(".recording").size(), kept ? 1 : 0);
    QCOMPARE(m_uploader.waiting(QStringLiteral("p1")).size(), kept ? 1 : 0);
}

void RecordingUploaderTest::neverTwoSendsOfOneRecording()
{
    ScriptedResponse slow = ScriptedResponse::json(201, recordAnswer);
    slow.delayBeforeHeadersMs = 200;
    m_server->setHandler([slow](const RecordedRequest&) { return slow; });
    QSignalSpy uploaded(&m_uploader, &RecordingUploader::uploaded);

    // Asked again and again while the new recording is on its way.
    m_uploader.upload(patient(), "RIFF new", QStringLiteral("sensor"), nullptr);
    for (int asked = 0; asked < 3; ++asked)
        m_uploader.sendWaiting(RecordingUploader::Origin::Asked);
    QTRY_COMPARE(uploaded.size(), 1);
    QTest::qWait(300);
    QCOMPARE(uploadsReceived(), 1);

    // Two waiting ones, asked for while the first of them is on its way.
    m_server->setHandler([](const RecordedRequest&) { return ScriptedResponse::json(503, "{}"); });
    QSignalSpy failed(&m_uploader, &RecordingUploader::failed);
    m_uploader.upload(patient(), "RIFF one", QStringLiteral("sensor"), nullptr);
    m_uploader.upload(patient(), "RIFF two", QStringLiteral("sensor"), nullptr);
    QTRY_COMPARE(failed.size(), 2);
    QCOMPARE(m_uploader.waiting(QStringLiteral("p1")).size(), 2);
    m_server->setHandler([slow](const RecordedRequest&) { return slow; });
    m_uploader.sendWaiting();
    m_uploader.sendWaiting(RecordingUploader::Origin::Asked);
    QTRY_COMPARE(uploaded.size(), 3);
    QTest::qWait(300);
    QCOMPARE(uploadsReceived(), 5);
    QCOMPARE(filesEndingIn(".recording"), QStringList());
}

void RecordingUploaderTest::waitingOneRefusedLaterIsSetAside()
{
    m_server->setHandler([](const RecordedRequest&) { return ScriptedResponse::json(503, "{}"); });
    QSignalSpy failed(&m_uploader, &RecordingUploader::failed);
    m_uploader.upload(patient(), "RIFF recording", QStringLiteral("sensor"), nullptr);
    QTRY_COMPARE(failed.size(), 1);
    failed.clear();

    m_server->setHandler([](const RecordedRequest&) { return ScriptedResponse::json(404, "{}"); });
    m_uploader.sendWaiting();
    QTRY_COMPARE(failed.size(), 1);
    QVERIFY(!failed.first().at(3).toBool());
    QCOMPARE(filesEndingIn(".recording"), QStringList());
    QCOMPARE(filesEndingIn(".refused").size(), 1);
    // Set aside, it is no longer sent.
    m_uploader.sendWaiting();
    QTest::qWait(200);
    QCOMPARE(uploadsReceived(), 2);
}

QTEST_MAIN(RecordingUploaderTest)
#include "tst_recordinguploader.moc"
