#include "support/TestHttpServer.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

class TestHttpServerTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void recordsTheRequest();
    void answersFromQueueThenHandlerThenNotFound();
    void keepsConnectionsAlive();
    void readsSplitAndPipelinedRequests();
    void refusesMalformedRequests();
    void delays_data();
    void delays();
    void closeWithoutAnswerIsAClientError();
    void pendingAnswersSurviveTheirConnectionAndServer();
    void tlsIsRefusedByAnUntrustingClient();
    void tlsServesATrustingClient();

private:
    QNetworkReply* get(const QString& url, const QSslConfiguration& tls = QSslConfiguration::defaultConfiguration());
    std::unique_ptr<QNetworkAccessManager> m_manager;
};

void TestHttpServerTest::init()
{
    // A fresh manager per test: no connection is reused across servers.
    m_manager = std::make_unique<QNetworkAccessManager>();
    m_manager->setProxy(QNetworkProxy::NoProxy);
}

QNetworkReply* TestHttpServerTest::get(const QString& url, const QSslConfiguration& tls)
{
    QNetworkRequest request{QUrl(url)};
    request.setSslConfiguration(tls);
    return m_manager->get(request);
}

void TestHttpServerTest::recordsTheRequest()
{
    TestHttpServer server;
    QVERIFY(server.isListening());
    QCOMPARE(server.baseUrlText(), QStringLiteral("http://127.0.0.1:%1").arg(server.port()));
    QSignalSpy received(&server, &TestHttpServer::requestReceived);

    QNetworkRequest request{
        QUrl(server.baseUrlText() + QStringLiteral("/records/caf%C3%A9?sortby=name&needle=a%20b%26c"))};
    request.setRawHeader("X-First", "1");
    request.setRawHeader("X-Second", "2");
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("text/plain"));
    QNetworkReply* reply = m_manager->post(request, QByteArray("hello"));
    QTRY_VERIFY(reply->isFinished());

    QCOMPARE(received.count(), 1);
    QCOMPARE(server.requests().size(), 1);
    const RecordedRequest recorded = server.requests().first();
    QCOMPARE(received.first().first().value<RecordedRequest>().target, recorded.target);
    QCOMPARE(recorded.method, QByteArray("POST"));
    QCOMPARE(recorded.version, QByteArray("HTTP/1.1"));
    QCOMPARE(recorded.target, QByteArray("/records/caf%C3%A9?sortby=name&needle=a%20b%26c"));
    QCOMPARE(recorded.path(), QStringLiteral("/records/café"));
    QCOMPARE(recorded.query().queryItemValue(QStringLiteral("sortby")), QStringLiteral("name"));
    QCOMPARE(recorded.query().queryItemValue(QStringLiteral("needle"), QUrl::FullyDecoded), QStringLiteral("a b&c"));
    QCOMPARE(recorded.body, QByteArray("hello"));
    QCOMPARE(recorded.header("content-length"), QByteArray("5"));
    QCOMPARE(recorded.header("x-FIRST"), QByteArray("1"));
    QVERIFY(recorded.hasHeader("X-Second"));
    QVERIFY(!recorded.hasHeader("X-Missing"));
    QVERIFY(recorded.header("X-Missing").isEmpty());
    QCOMPARE(recorded.headerCount("X-First"), 1);
    QStringList names;
    for (const auto& header : recorded.headers)
        names << QString::fromLatin1(header.first);
    QVERIFY(names.indexOf(QStringLiteral("X-First")) < names.indexOf(QStringLiteral("X-Second")));

    server.clear();
    QVERIFY(server.requests().isEmpty());
}

void TestHttpServerTest::answersFromQueueThenHandlerThenNotFound()
{
    TestHttpServer server;
    server.enqueue(ScriptedResponse::json(201, R"({"id":7})"));
    server.enqueue(ScriptedResponse::redirect(302, "/elsewhere"));
    ScriptedResponse custom;
    custom.status = 418;
    custom.reason = "Short And Stout";
    custom.headers = {{"X-Extra", "yes"}};
    custom.body = "tea";
    server.enqueue(custom);

    struct Expected
    {
        int status;
        QByteArray reason;
        QByteArray header;
        QByteArray value;
        QByteArray body;
    };
    const QList<Expected> expected = {
        {201, "Created", "Content-Type", "application/json", R"({"id":7})"},
        {302, "Found", "Location", "/elsewhere", ""},
        {418, "Short And Stout", "X-Extra", "yes", "tea"},
        {404, "Not Found", "Content-Length", "0", ""},
    };
    for (const Expected& answer : expected) {
        QNetworkReply* reply = get(server.baseUrlText() + QStringLiteral("/any"));
        QTRY_VERIFY(reply->isFinished());
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), answer.status);
        QCOMPARE(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray(), answer.reason);
        QCOMPARE(reply->rawHeader(answer.header), answer.value);
        QCOMPARE(reply->readAll(), answer.body);
    }

    server.enqueue(custom);
    server.setHandler([](const RecordedRequest& request) {
        ScriptedResponse echo;
        echo.body = request.method + ' ' + request.path().toUtf8();
        return echo;
    });
    QCOMPARE(server.queuedResponses(), 0);
    QNetworkReply* reply = get(server.baseUrlText() + QStringLiteral("/echo"));
    QTRY_VERIFY(reply->isFinished());
    QCOMPARE(reply->readAll(), QByteArray("GET /echo"));
}

void TestHttpServerTest::keepsConnectionsAlive()
{
    TestHttpServer server;
    for (int i = 0; i < 3; ++i) {
        QNetworkReply* reply = get(server.baseUrlText() + QStringLiteral("/again"));
        QTRY_VERIFY(reply->isFinished());
        QCOMPARE(reply->rawHeader("Connection"), QByteArray("keep-alive"));
    }
    QCOMPARE(server.requests().size(), 3);
    QCOMPARE(server.connectionCount(), 1);
    QCOMPARE(server.openConnectionCount(), 1);
}

// A raw client controls how the bytes arrive: a request cut at awkward places,
// then two requests in one write, the last asking to close.
void TestHttpServerTest::readsSplitAndPipelinedRequests()
{
    TestHttpServer server;
    for (const char* body : {"first", "second", "third"}) {
        ScriptedResponse response;
        response.body = body;
        server.enqueue(response);
    }
    QTcpSocket client;
    QByteArray answers;
    connect(&client, &QTcpSocket::readyRead, this, [&] { answers += client.readAll(); });
    client.connectToHost(QHostAddress::LocalHost, server.port());
    QTRY_COMPARE(client.state(), QAbstractSocket::ConnectedState);

    const QByteArray split = "POST /split HTTP/1.1\r\nHost: x\r\nX-Twice: a\r\nX-Twice: b\r\n"
                             "Content-Length: 10\r\n\r\n0123456789";
    const int headEnd = split.indexOf("\r\n\r\n");
    const QList<int> cuts = {3, split.indexOf("Content-Length") + 5, headEnd + 2, headEnd + 7};
    int sent = 0;
    for (int cut : cuts) {
        client.write(split.mid(sent, cut - sent));
        sent = cut;
        QTRY_COMPARE(server.decryptedBytesReceived().size(), sent);
        QCOMPARE(server.requests().size(), 0);
    }
    client.write(split.mid(sent));
    QTRY_COMPARE(server.requests().size(), 1);
    const RecordedRequest first = server.requests().first();
    QCOMPARE(first.body, QByteArray("0123456789"));
    const QList<QPair<QByteArray, QByteArray>> headers = {
        {"Host", "x"}, {"X-Twice", "a"}, {"X-Twice", "b"}, {"Content-Length", "10"}};
    QCOMPARE(first.headers, headers);
    QCOMPARE(first.headerCount("x-twice"), 2);
    QCOMPARE(first.header("X-Twice"), QByteArray("a"));

    client.write("GET /second HTTP/1.1\r\nHost: x\r\n\r\nGET /third HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    QTRY_COMPARE(client.state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(answers, QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: keep-alive\r\n\r\nfirst"
                                 "HTTP/1.1 200 OK\r\nContent-Length: 6\r\nConnection: keep-alive\r\n\r\nsecond"
                                 "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\nthird"));
    QCOMPARE(server.requests().size(), 3);
    QCOMPARE(server.requests().at(2).path(), QStringLiteral("/third"));
    QTRY_COMPARE(server.openConnectionCount(), 0);
}

void TestHttpServerTest::refusesMalformedRequests()
{
    TestHttpServer server;
    QTcpSocket client;
    QByteArray answer;
    connect(&client, &QTcpSocket::readyRead, this, [&] { answer += client.readAll(); });
    client.connectToHost(QHostAddress::LocalHost, server.port());
    client.write("NONSENSE\r\n\r\n");
    QTRY_COMPARE(client.state(), QAbstractSocket::UnconnectedState);
    QVERIFY2(answer.startsWith("HTTP/1.1 400 Bad Request\r\n"), answer.constData());
    QVERIFY(server.requests().isEmpty());
}

void TestHttpServerTest::delays_data()
{
    QTest::addColumn<int>("beforeHeaders");
    QTest::addColumn<int>("beforeBody");
    QTest::addColumn<int>("afterFirstByte");

    QTest::newRow("before headers") << 250 << 0 << 0;
    QTest::newRow("before body") << 0 << 250 << 0;
    QTest::newRow("after first body byte") << 0 << 0 << 250;
}

void TestHttpServerTest::delays()
{
    QFETCH(int, beforeHeaders);
    QFETCH(int, beforeBody);
    QFETCH(int, afterFirstByte);

    TestHttpServer server;
    ScriptedResponse response;
    response.body = "payload";
    response.delayBeforeHeadersMs = beforeHeaders;
    response.delayBeforeBodyMs = beforeBody;
    response.delayAfterFirstBodyByteMs = afterFirstByte;
    server.enqueue(response);

    QElapsedTimer clock;
    clock.start();
    QNetworkReply* reply = get(server.baseUrlText() + QStringLiteral("/slow"));
    qint64 headersAt = -1;
    qint64 firstByteAt = -1;
    qint64 bytesWithHeaders = -1;
    connect(reply, &QNetworkReply::metaDataChanged, this, [&] {
        if (headersAt < 0) {
            headersAt = clock.elapsed();
            bytesWithHeaders = reply->bytesAvailable();
        }
    });
    connect(reply, &QNetworkReply::readyRead, this, [&] {
        if (firstByteAt < 0)
            firstByteAt = clock.elapsed();
    });
    QTRY_VERIFY(reply->isFinished());
    const qint64 finishedAt = clock.elapsed();

    QCOMPARE(reply->error(), QNetworkReply::NoError);
    QCOMPARE(reply->readAll(), QByteArray("payload"));
    QVERIFY(headersAt >= 0 && firstByteAt >= headersAt);
    // Timers may fire a little early; 80% of each delay proves it was kept.
    QVERIFY2(headersAt >= beforeHeaders * 8 / 10, qPrintable(QString::number(headersAt)));
    QVERIFY2(firstByteAt - headersAt >= beforeBody * 8 / 10, qPrintable(QString::number(firstByteAt - headersAt)));
    QVERIFY2(finishedAt - firstByteAt >= afterFirstByte * 8 / 10,
             qPrintable(QString::number(finishedAt - firstByteAt)));
    if (beforeBody > 0)
        QCOMPARE(bytesWithHeaders, 0);
}

void TestHttpServerTest::closeWithoutAnswerIsAClientError()
{
    TestHttpServer server;
    // Qt's client tries a request again when its connection closes unanswered.
    server.setHandler([](const RecordedRequest&) {
        ScriptedResponse hangUp;
        hangUp.closeWithoutAnswer = true;
        return hangUp;
    });
    QNetworkReply* reply = get(server.baseUrlText() + QStringLiteral("/hang-up"));
    QTRY_VERIFY(reply->isFinished());
    QCOMPARE(reply->error(), QNetworkReply::RemoteHostClosedError);
    QVERIFY(!server.requests().isEmpty());
    QTRY_COMPARE(server.openConnectionCount(), 0);
}

// Delayed answers whose connection or server went away must be dropped quietly.
void TestHttpServerTest::pendingAnswersSurviveTheirConnectionAndServer()
{
    auto server = std::make_unique<TestHttpServer>();
    ScriptedResponse slow;
    slow.body = "late";
    slow.delayBeforeHeadersMs = 100;
    server->enqueue(slow);
    ScriptedResponse slower = slow;
    slower.delayBeforeHeadersMs = 300;
    server->enqueue(slower);

    QNetworkReply* abandoned = get(server->baseUrlText() + QStringLiteral("/abandoned"));
    QTRY_COMPARE(server->requests().size(), 1);
    abandoned->abort();
    QTRY_COMPARE(server->openConnectionCount(), 0);
    // Answered after the abandoned answer's timer has run out.
    QNetworkReply* next = get(server->baseUrlText() + QStringLiteral("/next"));
    QTRY_VERIFY(next->isFinished());
    QCOMPARE(next->readAll(), QByteArray("late"));

    ScriptedResponse silent;
    silent.neverAnswer = true;
    server->enqueue(silent);
    server->enqueue(slow);
    QNetworkReply* unanswered = get(server->baseUrlText() + QStringLiteral("/silent"));
    QNetworkReply* pending = get(server->baseUrlText() + QStringLiteral("/pending"));
    QTRY_COMPARE(server->requests().size(), 4);
    QVERIFY(!unanswered->isFinished());
    server.reset();
    QTRY_VERIFY(unanswered->isFinished() && pending->isFinished());
    QVERIFY(unanswered->error() != QNetworkReply::NoError);
    QVERIFY(pending->error() != QNetworkReply::NoError);
    QTest::qWait(slow.delayBeforeHeadersMs + 50); // the destroyed server's timer would have fired by now
}

void TestHttpServerTest::tlsIsRefusedByAnUntrustingClient()
{
    if (!TestHttpServer::tlsUnavailableReason().isEmpty())
        QSKIP(qPrintable(TestHttpServer::tlsUnavailableReason()));
    QVERIFY(QSslSocket::supportsSsl());
    TestHttpServer server(TestHttpServer::Transport::Tls);
    QVERIFY(server.isListening());
    QCOMPARE(server.baseUrl().scheme(), QStringLiteral("https"));
    server.enqueue(ScriptedResponse::json(200, "{}"));

    QNetworkReply* reply = get(server.baseUrlText() + QStringLiteral("/secret"));
    QTRY_VERIFY(reply->isFinished());
    QCOMPARE(reply->error(), QNetworkReply::SslHandshakeFailedError);
    QTRY_VERIFY(server.failedHandshakes() > 0);
    QCOMPARE(server.failedHandshakes(), server.connectionCount());
    QVERIFY(server.requests().isEmpty());
    QVERIFY(server.decryptedBytesReceived().isEmpty());
}

void TestHttpServerTest::tlsServesATrustingClient()
{
    if (!TestHttpServer::tlsUnavailableReason().isEmpty())
        QSKIP(qPrintable(TestHttpServer::tlsUnavailableReason()));
    const QSslCertificate certificate = TestHttpServer::certificate();
    QVERIFY(!certificate.isNull());
    QCOMPARE(certificate.subjectInfo(QSslCertificate::CommonName), QStringList{QStringLiteral("127.0.0.1")});
    TestHttpServer server(TestHttpServer::Transport::Tls);
    server.enqueue(ScriptedResponse::json(200, R"({"ok":true})"));

    QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
    trusting.setCaCertificates({certificate});
    QNetworkReply* reply = get(server.baseUrlText() + QStringLiteral("/secure"), trusting);
    QTRY_VERIFY(reply->isFinished());
    QCOMPARE(reply->error(), QNetworkReply::NoError);
    QCOMPARE(reply->readAll(), QByteArray(R"({"ok":true})"));
    QCOMPARE(server.failedHandshakes(), 0);
    QCOMPARE(server.requests().size(), 1);
    QVERIFY(server.decryptedBytesReceived().startsWith("GET /secure HTTP/1.1\r\n"));
}

QTEST_GUILESS_MAIN(TestHttpServerTest)
#include "tst_testhttpserver.moc"
