#include "base/Language.h"
#include "data/Patient.h"
#include "net/FileTransfer.h"
#include "support/ControllerOutcome.h"
#include "support/ServiceTestEnvironment.h"
#include "support/TestHttpServer.h"
#include "widgets/LoadingWindow.h"

#include <QJsonObject>
#include <QTranslator>
#include <QWidget>
#include <QtTest>

namespace {

Patient patient(const QString& id)
{
    return Patient(QJsonObject{{QStringLiteral("id"), id}});
}

// The multipart body the service must receive, byte for byte.
QByteArray expectedForm(const QByteArray& boundary, const QByteArray& patientId, const QByteArray& recording)
{
    return "--" + boundary + "\r\n" + "Content-Disposition: form-data; name=\"patientId\"\r\n\r\n" + patientId +
           "\r\n--" + boundary + "\r\n" + "Content-Disposition: form-data; name=\"record\"; filename=\"record\"\r\n" +
           "Content-Type: application/octet-stream\r\n\r\n" + recording + "\r\n--" + boundary + "--\r\n";
}

QByteArray boundaryOf(const RecordedRequest& request)
{
    const QByteArray contentType = request.header("Content-Type");
    const QByteArray prefix = "multipart/form-data; boundary=";
    if (!contentType.startsWith(prefix))
        return {};
    QByteArray boundary = contentType.mid(prefix.size());
    if (boundary.startsWith('"') && boundary.endsWith('"'))
        boundary = boundary.mid(1, boundary.size() - 2);
    return boundary;
}

} // namespace

class FileTransferTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void postsTheRecordingAsATwoPartForm_data();
    void postsTheRecordingAsATwoPartForm();
    void failures_data();
    void failures();
    void answerThatKeepsArrivingIsNotCutOff();

private:
    QTranslator m_translator;
};

void FileTransferTest::initTestCase()
{
    QVERIFY(loadTranslation(m_translator, QStringLiteral("Translation_en_US.qm")));
}

void FileTransferTest::postsTheRecordingAsATwoPartForm_data()
{
    QTest::addColumn<QString>("patientId");
    QTest::addColumn<QByteArray>("recording");
    QTest::addColumn<QString>("sensorId");

    QByteArray wav("RIFF\x24\x02\x01\x00WAVE", 12);
    for (int i = 0; i < 66150; ++i)
        wav += char(128 + (i % 50));
    // Bytes that look like the form's own framing must pass untouched.
    wav += "\r\n--boundary\r\n";
    QTest::newRow("a recording") << QStringLiteral("p1") << wav
                                 << QStringLiteral("0123456789abcdef0123456789abcdef0123");
    QTest::newRow("an empty recording is still posted") << QStringLiteral("p1") << QByteArray() << QString();
    QTest::newRow("non-ASCII id as UTF-8")
        << QStringLiteral("пациент-7") << QByteArray("\x00\x01", 2) << QStringLiteral("сенсор");
}

void FileTransferTest::postsTheRecordingAsATwoPartForm()
{
    QFETCH(QString, patientId);
    QFETCH(QByteArray, recording);
    QFETCH(QString, sensorId);

    TestHttpServer server;
    ServiceTestEnvironment environment(server.baseUrlText());
    const QByteArray answer = R"({"id":"r5","patientId":"p1","recordedAt":"2021-03-04T05:06:07"})";
    server.enqueue(ScriptedResponse::json(201, answer));

    QWidget screen;
    auto* controller = new Controller(&screen);
    ControllerOutcome outcome(controller);
    controller->uploadRecord(patient(patientId), recording, sensorId);
    QVERIFY(screen.findChild<LoadingWindow*>());
    QTRY_VERIFY(outcome.controllerGone());
    QVERIFY(!screen.findChild<LoadingWindow*>());
    QCOMPARE(outcome.signalNames, QStringList{QStringLiteral("onBytes")});
    QCOMPARE(outcome.bytes, answer);

    QCOMPARE(server.requests().size(), 1);
    const RecordedRequest request = server.requests().at(0);
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.target, QByteArray("/record"));
    QCOMPARE(request.header("Authorization"), QByteArray("Bearer tok-123"));
    QCOMPARE(request.header("Accept-Language"), QByteArray("ru-RU"));
    QVERIFY(request.hasHeader("Sonvera-ID"));
    QCOMPARE(request.header("Sonvera-ID"), sensorId.toUtf8());
    // The upload goes outside the transport and carries none of its headers.
    QVERIFY(!request.hasHeader("Accept-Charset"));

    const QByteArray boundary = boundaryOf(request);
    QVERIFY2(!boundary.isEmpty(), request.header("Content-Type").constData());
    QCOMPARE(request.body, expectedForm(boundary, patientId.toUtf8(), recording));
}

void FileTransferTest::failures_data()
{
    QTest::addColumn<ScriptedResponse>("response");
    QTest::addColumn<QString>("message");

    QTest::newRow("400 with a message") << ScriptedResponse::json(400, R"({"message":"Not a sensor recording"})")
                                        << QStringLiteral("Not a sensor recording");
    // Below 400 the toolkit raises no error; an empty record must not result.
    QTest::newRow("302 is no success")
        << ScriptedResponse::redirect(302, "/elsewhere")
        << QStringLiteral("The service could not complete the request (HTTP status 302). Please try again later.");
    ScriptedResponse silent;
    silent.neverAnswer = true;
    QTest::newRow("silent service") << silent
                                    << QStringLiteral("The service did not answer in time. Please try again later.");
    ScriptedResponse closing;
    closing.closeWithoutAnswer = true;
    QTest::newRow("connection dropped")
        << closing << QStringLiteral("The service can't be reached. Check the Internet connection and try again.");
}

void FileTransferTest::failures()
{
    QFETCH(ScriptedResponse, response);
    QFETCH(QString, message);

    TestHttpServer server;
    ServiceTestEnvironment environment(server.baseUrlText(), 1000);
    server.setHandler([response](const RecordedRequest&) { return response; });

    QWidget screen;
    auto* controller = new Controller(&screen);
    ControllerOutcome outcome(controller);
    controller->uploadRecord(patient(QStringLiteral("p1")), QByteArray(1000, '\x80'), QString());
    QTRY_VERIFY(outcome.controllerGone());
    QCOMPARE(outcome.signalNames, QStringList{QStringLiteral("onError")});
    QCOMPARE(outcome.message, message);
    QVERIFY(!screen.findChild<LoadingWindow*>());
}

void FileTransferTest::answerThatKeepsArrivingIsNotCutOff()
{
    TestHttpServer server;
    ServiceTestEnvironment environment(server.baseUrlText(), 400);
    ScriptedResponse slow = ScriptedResponse::json(201, R"({"id":"r5"})");
    slow.delayBeforeBodyMs = 50;
    slow.delayAfterFirstBodyByteMs = 250;
    server.enqueue(slow);

    auto* controller = new Controller;
    ControllerOutcome outcome(controller);
    controller->uploadRecord(patient(QStringLiteral("p1")), "RIFF", QString());
    QTRY_VERIFY_WITH_TIMEOUT(outcome.controllerGone(), 5000);
    QCOMPARE(outcome.signalNames, QStringList{QStringLiteral("onBytes")});
    QCOMPARE(outcome.bytes, QByteArray(R"({"id":"r5"})"));
}

QTEST_MAIN(FileTransferTest)
#include "tst_filetransfer.moc"
