#include "net/Http.h"
#include "net/HttpReply.h"
#include "support/TestHttpServer.h"

#include <QPointer>
#include <QSslConfiguration>
#include <QtTest>

// Everything a reply reported, in order.
class ReplyLog : public QObject
{
public:
    explicit ReplyLog(HttpReply* reply) : m_reply(reply)
    {
        connect(reply, &HttpReply::data, this, [this](const QByteArray& bytes) {
            events << QStringLiteral("data");
            body = bytes;
        });
        connect(reply, &HttpReply::error, this, [this](const QByteArray& bytes) {
            events << QStringLiteral("error");
            body = bytes;
        });
        connect(reply, &HttpReply::finished, this, [this](const HttpReply& ended) {
            events << QStringLiteral("finished");
            status = ended.statusCode();
            networkError = ended.networkError();
        });
    }

    bool ended() const { return events.contains(QStringLiteral("finished")) && events.size() >= 2; }
    bool replyGone() const { return m_reply.isNull(); }

    QStringList events;
    QByteArray body;
    int status = -1;
    QNetworkReply::NetworkError networkError = QNetworkReply::NoError;

private:
    QPointer<HttpReply> m_reply;
};

class HttpTest : public QObject
{
    Q_OBJECT

private slots:
    void sendsTheDefaultHeaders();
    void formPostLeavesItsContentTypeInTheTransport();
    void formBody_data();
    void formBody();
    void rangeFollowsTheOffset_data();
    void rangeFollowsTheOffset();
    void signalOrder_data();
    void signalOrder();
    void timeOutBoundsSilence_data();
    void timeOutBoundsSilence();
    void sameOriginRedirectRepeatsTheRequest_data();
    void sameOriginRedirectRepeatsTheRequest();
    void redirectLimit_data();
    void redirectLimit();
    void redirectToAnotherOriginDropsAuthorization();
    void redirectFromHttpsToHttpIsRefused();
    void unknownOperationFailsAndCleansUp();
};

using FormParams = QMap<QString, QString>;

namespace {

const QByteArray authorization = QByteArrayLiteral("Authorization");

Http transportWithAuthorization(int readTimeout = 5000)
{
    Http transport;
    transport.requestHeaders().insert(authorization, QByteArrayLiteral("Bearer secret-token"));
    transport.setReadTimeout(readTimeout);
    return transport;
}

QUrl at(const TestHttpServer& server, const QString& pathAndQuery)
{
    return QUrl(server.baseUrlText() + pathAndQuery);
}

} // namespace

void HttpTest::sendsTheDefaultHeaders()
{
    TestHttpServer server;
    server.enqueue(ScriptedResponse::json(200, "{}"));
    Http transport;
    ReplyLog log(transport.get(at(server, QStringLiteral("/x"))));
    QTRY_VERIFY(log.ended());

    const RecordedRequest request = server.requests().value(0);
    QCOMPARE(request.method, QByteArray("GET"));
    QCOMPARE(request.header("Accept-Charset"), QByteArray("utf-8"));
    QCOMPARE(request.header("Connection").toLower(), QByteArray("keep-alive"));
    QVERIFY(!request.hasHeader("Content-Type"));
    QVERIFY(!request.hasHeader("Range"));
}

void HttpTest::formPostLeavesItsContentTypeInTheTransport()
{
    TestHttpServer server;
    Http transport;
    ReplyLog form(transport.post(at(server, QStringLiteral("/auth/login")),
                                 QMap<QString, QString>{{QStringLiteral("username"), QStringLiteral("demo")}}));
    QTRY_VERIFY(form.ended());
    ReplyLog later(transport.get(at(server, QStringLiteral("/patient"))));
    QTRY_VERIFY(later.ended());

    QCOMPARE(server.requests().size(), 2);
    QCOMPARE(server.requests().at(0).header("Content-Type"), QByteArray("application/x-www-form-urlencoded"));
    // The service has always seen this header on later requests, and a copy
    // of the transport carries it too.
    QCOMPARE(server.requests().at(1).header("Content-Type"), QByteArray("application/x-www-form-urlencoded"));
    QCOMPARE(Http(transport).requestHeaders().value("Content-Type"), QByteArray("application/x-www-form-urlencoded"));
    QCOMPARE(server.requests().at(1).header("Accept-Charset"), QByteArray("utf-8"));
}

void HttpTest::formBody_data()
{
    QTest::addColumn<FormParams>("params");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("key order and trailing ampersand")
        << FormParams{{QStringLiteral("b"), QStringLiteral("2")}, {QStringLiteral("a"), QStringLiteral("1")}}
        << QByteArray("a=1&b=2&");
    QTest::newRow("reserved characters") << FormParams{{QStringLiteral("password"), QStringLiteral("a&b=c+d e")}}
                                         << QByteArray("password=a%26b%3Dc%2Bd%20e&");
    QTest::newRow("non-ASCII as UTF-8") << FormParams{{QStringLiteral("username"), QStringLiteral("Анна")}}
                                        << QByteArray("username=%D0%90%D0%BD%D0%BD%D0%B0&");
    QTest::newRow("reserved characters in keys")
        << FormParams{{QStringLiteral("a b"), QString()}} << QByteArray("a%20b=&");
    QTest::newRow("no parameters") << FormParams() << QByteArray();
}

void HttpTest::formBody()
{
    QFETCH(FormParams, params);
    QFETCH(QByteArray, body);

    TestHttpServer server;
    Http transport;
    ReplyLog log(transport.post(at(server, QStringLiteral("/form")), params));
    QTRY_VERIFY(log.ended());
    QCOMPARE(server.requests().value(0).method, QByteArray("POST"));
    QCOMPARE(server.requests().value(0).body, body);
}

void HttpTest::rangeFollowsTheOffset_data()
{
    QTest::addColumn<quint32>("offset");
    QTest::addColumn<QByteArray>("range");

    QTest::newRow("no offset") << quint32(0) << QByteArray();
    QTest::newRow("offset 1000") << quint32(1000) << QByteArray("bytes=1000-");
    QTest::newRow("largest offset") << quint32(4294967295u) << QByteArray("bytes=4294967295-");
}

void HttpTest::rangeFollowsTheOffset()
{
    QFETCH(quint32, offset);
    QFETCH(QByteArray, range);

    TestHttpServer server;
    server.enqueue(ScriptedResponse::json(200, "{}"));
    Http transport;
    ReplyLog log(transport.request(at(server, QStringLiteral("/file")), HttpRequest::Get, {}, offset));
    QTRY_VERIFY(log.ended());
    QCOMPARE(server.requests().value(0).hasHeader("Range"), !range.isEmpty());
    QCOMPARE(server.requests().value(0).header("Range"), range);
}

void HttpTest::signalOrder_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QByteArray>("reported");

    const QStringList success{QStringLiteral("data"), QStringLiteral("finished")};
    const QStringList failure{QStringLiteral("finished"), QStringLiteral("error")};
    const QByteArray errorBody(R"({"message":"Unauthorized"})");

    QTest::newRow("200 with a body") << 200 << QByteArray("[1,2]") << success << QByteArray("[1,2]");
    QTest::newRow("204 without a body") << 204 << QByteArray() << success << QByteArray();
    QTest::newRow("401 with a JSON body") << 401 << errorBody << failure << errorBody;
    QTest::newRow("500 with a page") << 500 << QByteArray("<html>oops</html>") << failure
                                     << QByteArray("<html>oops</html>");
    // Statuses below 400 raise no error in the toolkit; they fail all the same.
    QTest::newRow("300 is no success") << 300 << errorBody << failure << errorBody;
}

void HttpTest::signalOrder()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QStringList, events);
    QFETCH(QByteArray, reported);

    TestHttpServer server;
    server.enqueue(ScriptedResponse::json(status, body));
    Http transport;
    ReplyLog log(transport.get(at(server, QStringLiteral("/x"))));
    QTRY_VERIFY(log.ended());
    QCOMPARE(log.events, events);
    QCOMPARE(log.body, reported);
    QCOMPARE(log.status, status);
    // The reply cleans itself up once it has reported.
    QTRY_VERIFY(log.replyGone());
}

void HttpTest::timeOutBoundsSilence_data()
{
    QTest::addColumn<int>("delayBeforeHeaders");
    QTest::addColumn<int>("delayBeforeBody");
    QTest::addColumn<int>("delayAfterFirstByte");
    QTest::addColumn<bool>("timesOut");

    // The read time-out is 400 ms.
    QTest::newRow("silent service") << 1200 << 0 << 0 << true;
    QTest::newRow("headers but no body") << 0 << 1200 << 0 << true;
    QTest::newRow("first byte in time, the rest after a shorter pause") << 0 << 50 << 200 << false;
    QTest::newRow("first byte in time, then silence") << 0 << 50 << 900 << true;
}

void HttpTest::timeOutBoundsSilence()
{
    QFETCH(int, delayBeforeHeaders);
    QFETCH(int, delayBeforeBody);
    QFETCH(int, delayAfterFirstByte);
    QFETCH(bool, timesOut);

    TestHttpServer server;
    ScriptedResponse response = ScriptedResponse::json(200, R"({"data":"complete"})");
    response.delayBeforeHeadersMs = delayBeforeHeaders;
    response.delayBeforeBodyMs = delayBeforeBody;
    response.delayAfterFirstBodyByteMs = delayAfterFirstByte;
    server.enqueue(response);

    Http transport;
    transport.setReadTimeout(400);
    ReplyLog log(transport.get(at(server, QStringLiteral("/slow"))));
    QTRY_VERIFY_WITH_TIMEOUT(log.ended(), 5000);
    if (timesOut) {
        QCOMPARE(log.events, (QStringList{QStringLiteral("finished"), QStringLiteral("error")}));
        QCOMPARE(log.networkError, QNetworkReply::TimeoutError);
        QCOMPARE(log.body, QByteArray());
    } else {
        QCOMPARE(log.events, (QStringList{QStringLiteral("data"), QStringLiteral("finished")}));
        QCOMPARE(log.body, QByteArray(R"({"data":"complete"})"));
    }
}

void HttpTest::sameOriginRedirectRepeatsTheRequest_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("location");

    QTest::newRow("302 absolute") << 302 << QByteArray("ABSOLUTE");
    QTest::newRow("307 relative") << 307 << QByteArray("/moved/here?x=1");
    QTest::newRow("303 relative") << 303 << QByteArray("/moved/here?x=1");
    QTest::newRow("308 relative") << 308 << QByteArray("/moved/here?x=1");
}

void HttpTest::sameOriginRedirectRepeatsTheRequest()
{
    QFETCH(int, status);
    QFETCH(QByteArray, location);

    TestHttpServer server;
    if (location == "ABSOLUTE")
        location = server.baseUrlText().toUtf8() + "/moved/here?x=1";
    server.enqueue(ScriptedResponse::redirect(status, location));
    server.enqueue(ScriptedResponse::json(200, R"({"moved":true})"));

    Http transport = transportWithAuthorization();
    ReplyLog log(transport.post(at(server, QStringLiteral("/original")), "{\"a\":1}", "application/json"));
    QTRY_VERIFY(log.ended());

    QCOMPARE(log.events, (QStringList{QStringLiteral("data"), QStringLiteral("finished")}));
    QCOMPARE(log.body, QByteArray(R"({"moved":true})"));
    QCOMPARE(server.requests().size(), 2);
    const RecordedRequest repeated = server.requests().at(1);
    QCOMPARE(repeated.target, QByteArray("/moved/here?x=1"));
    // The request is repeated as it was: method, body and headers.
    QCOMPARE(repeated.method, QByteArray("POST"));
    QCOMPARE(repeated.body, QByteArray("{\"a\":1}"));
    QCOMPARE(repeated.header("Authorization"), QByteArray("Bearer secret-token"));
    QCOMPARE(repeated.header("Content-Type"), QByteArray("application/json"));
}

void HttpTest::redirectLimit_data()
{
    QTest::addColumn<int>("redirects");
    QTest::addColumn<bool>("succeeds");

    QTest::newRow("10 redirects are followed") << 10 << true;
    QTest::newRow("the 11th fails") << 11 << false;
}

void HttpTest::redirectLimit()
{
    QFETCH(int, redirects);
    QFETCH(bool, succeeds);

    TestHttpServer server;
    for (int hop = 1; hop <= redirects; ++hop)
        server.enqueue(ScriptedResponse::redirect(302, "/hop/" + QByteArray::number(hop)));
    server.enqueue(ScriptedResponse::json(200, "{}"));

    Http transport;
    ReplyLog log(transport.get(at(server, QStringLiteral("/start"))));
    QTRY_VERIFY(log.ended());
    if (succeeds) {
        QCOMPARE(log.events, (QStringList{QStringLiteral("data"), QStringLiteral("finished")}));
        QCOMPARE(server.requests().size(), redirects + 1);
    } else {
        QCOMPARE(log.events, (QStringList{QStringLiteral("finished"), QStringLiteral("error")}));
        QCOMPARE(log.networkError, QNetworkReply::TooManyRedirectsError);
        // The 11th redirect is not followed.
        QCOMPARE(server.requests().size(), 11);
    }
}

void HttpTest::redirectToAnotherOriginDropsAuthorization()
{
    TestHttpServer service;
    TestHttpServer elsewhere;
    // Away to another origin, then back: the credentials stay dropped.
    service.enqueue(ScriptedResponse::redirect(302, elsewhere.baseUrlText().toUtf8() + "/mirror"));
    elsewhere.enqueue(ScriptedResponse::redirect(302, service.baseUrlText().toUtf8() + "/back"));
    service.enqueue(ScriptedResponse::json(200, "{}"));

    Http transport = transportWithAuthorization();
    ReplyLog log(transport.get(at(service, QStringLiteral("/start"))));
    QTRY_VERIFY(log.ended());

    QCOMPARE(log.events, (QStringList{QStringLiteral("data"), QStringLiteral("finished")}));
    QCOMPARE(service.requests().size(), 2);
    QCOMPARE(elsewhere.requests().size(), 1);
    QCOMPARE(service.requests().at(0).header("Authorization"), QByteArray("Bearer secret-token"));
    QVERIFY(!elsewhere.requests().at(0).hasHeader("Authorization"));
    QCOMPARE(elsewhere.requests().at(0).header("Accept-Charset"), QByteArray("utf-8"));
    QVERIFY(!service.requests().at(1).hasHeader("Authorization"));
}

void HttpTest::redirectFromHttpsToHttpIsRefused()
{
    if (!TestHttpServer::tlsUnavailableReason().isEmpty())
        QSKIP(qPrintable(TestHttpServer::tlsUnavailableReason()));
    // Trust the test certificate for this test only.
    const QSslConfiguration original = QSslConfiguration::defaultConfiguration();
    QSslConfiguration trusting = original;
    trusting.addCaCertificate(TestHttpServer::certificate());
    QSslConfiguration::setDefaultConfiguration(trusting);
    auto restore = qScopeGuard([&original] { QSslConfiguration::setDefaultConfiguration(original); });

    TestHttpServer secure(TestHttpServer::Transport::Tls);
    TestHttpServer plain;
    secure.enqueue(ScriptedResponse::redirect(302, plain.baseUrlText().toUtf8() + "/downgraded"));

    Http transport = transportWithAuthorization();
    ReplyLog log(transport.get(at(secure, QStringLiteral("/start"))));
    QTRY_VERIFY(log.ended());

    QCOMPARE(secure.requests().size(), 1);
    QCOMPARE(log.events, (QStringList{QStringLiteral("finished"), QStringLiteral("error")}));
    QCOMPARE(log.networkError, QNetworkReply::InsecureRedirectError);
    QCOMPARE(plain.requests().size(), 0);
    QCOMPARE(plain.connectionCount(), 0);
}

void HttpTest::unknownOperationFailsAndCleansUp()
{
    TestHttpServer server;
    Http transport;
    QTest::ignoreMessage(QtWarningMsg, "Unknown operation: 9");
    ReplyLog log(transport.request(at(server, QStringLiteral("/x")), 9));
    QTRY_VERIFY(log.ended());
    QCOMPARE(log.events, (QStringList{QStringLiteral("finished"), QStringLiteral("error")}));
    QTRY_VERIFY(log.replyGone());
    QCOMPARE(server.connectionCount(), 0);
}

QTEST_GUILESS_MAIN(HttpTest)
#include "tst_http.moc"
