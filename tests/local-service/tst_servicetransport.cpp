// The local service's transport under load and hostile callers: reused
// connections answer at once, idle and trickling connections neither lock
// others out nor stay forever, every body obeys the size limit, "Range" is
// ignored and quoted input is cut short.
#include "RawHttp.h"
#include "ServiceClient.h"
#include "net/GzipFixtures.h"
#include "support/LocalServiceProcess.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QUrl>
#include <QtTest>

#include <httplib.h>

class TestServiceTransport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void reusedConnectionAnswersPromptly();
    void stalledConnectionsLeaveRoomForOthers_data();
    void stalledConnectionsLeaveRoomForOthers();
    void tricklingRequestIsCutOff();
    void requestArrivingInPiecesIsAnswered_data();
    void requestArrivingInPiecesIsAnswered();
    void burstOfConnectionsIsAccepted();
    void bodyLimitHoldsForEveryFraming_data();
    void bodyLimitHoldsForEveryFraming();
    void rangeIsIgnored_data();
    void rangeIsIgnored();
    void echoedInputIsCutShort_data();
    void echoedInputIsCutShort();

private:
    bool serviceStillAnswers();

    LocalServiceProcess m_service;
    std::unique_ptr<ServiceClient> m_demo;
    QString m_patientId;
};

void TestServiceTransport::initTestCase()
{
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    m_demo = std::make_unique<ServiceClient>(m_service.baseUrl());
    QCOMPARE(m_demo->signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
    m_patientId = m_demo->patients().first().toObject().value(QStringLiteral("id")).toString();
}

bool TestServiceTransport::serviceStillAnswers()
{
    return m_demo->get(QStringLiteral("/patient/filter?size=1&current=0")).status == 200;
}

void TestServiceTransport::reusedConnectionAnswersPromptly()
{
    const QUrl url(m_service.baseUrl());
    httplib::Client client(url.host().toStdString(), url.port());
    client.set_keep_alive(true);
    const httplib::Headers headers{{"Authorization", "Bearer " + m_demo->token().toStdString()}};
    std::vector<qint64> micros;
    for (int call = 0; call < 21; ++call) {
        QElapsedTimer timer;
        timer.start();
        const httplib::Result answer = client.Get("/patient/filter?size=1&current=0", headers);
        micros.push_back(timer.nsecsElapsed() / 1000);
        QVERIFY(answer);
        QCOMPARE(answer->status, 200);
    }
    std::sort(micros.begin(), micros.end());
    // A delayed acknowledgement costs about 40 ms; the call itself about one.
    QVERIFY2(micros[micros.size() / 2] < 20000, qPrintable(QStringLiteral("median %1 µs").arg(micros[10])));
}

void TestServiceTransport::stalledConnectionsLeaveRoomForOthers_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("silent") << QByteArray();
    QTest::newRow("half a request line") << QByteArray("GET /patient/fil");
    QTest::newRow("headers never ended") << QByteArray("GET /patient/filter HTTP/1.1\r\nHost: x\r\n");
    QTest::newRow("body never sent") << QByteArray("POST /patient HTTP/1.1\r\nContent-Length: 100\r\n\r\n{");
}

void TestServiceTransport::stalledConnectionsLeaveRoomForOthers()
{
    QFETCH(QByteArray, sent);
    std::vector<std::unique_ptr<QTcpSocket>> stalled;
    for (int i = 0; i < 200; ++i) {
        stalled.push_back(connectRaw(m_service));
        QVERIFY(stalled.back());
        stalled.back()->write(sent);
        stalled.back()->flush();
    }
    QElapsedTimer timer;
    timer.start();
    QVERIFY(serviceStillAnswers());
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QStringLiteral("%1 ms").arg(timer.elapsed())));
}

void TestServiceTransport::tricklingRequestIsCutOff()
{
    LocalServiceProcess service({QStringLiteral("--request-seconds"), QStringLiteral("1")});
    QVERIFY2(service.start(), qPrintable(service.errorText()));
    const std::unique_ptr<QTcpSocket> socket = connectRaw(service);
    QVERIFY(socket);
    // One byte every 100 ms never trips a timeout between two bytes.
    const QByteArray request = "GET /patient/filter HTTP/1.1\r\n" + QByteArray(200, 'X');
    QElapsedTimer timer;
    timer.start();
    for (int at = 0; at < request.size() && socket->state() == QAbstractSocket::ConnectedState; ++at) {
        socket->write(request.mid(at, 1));
        socket->waitForBytesWritten(100);
        socket->waitForReadyRead(100);
        socket->readAll();
    }
    QVERIFY2(socket->state() != QAbstractSocket::ConnectedState, "the service waited 20 s for the headers");
    QVERIFY2(timer.elapsed() < 4000, qPrintable(QStringLiteral("cut off after %1 ms").arg(timer.elapsed())));
}

void TestServiceTransport::requestArrivingInPiecesIsAnswered_data()
{
    QTest::addColumn<QByteArrayList>("pieces");
    const QByteArray request = "GET /nothing HTTP/1.1\r\nHost: x\r\n\r\n";
    QTest::newRow("whole") << QByteArrayList{request};
    QTest::newRow("request line cut") << QByteArrayList{request.left(9), request.mid(9)};
    QTest::newRow("headers cut") << QByteArrayList{request.left(25), request.mid(25)};
    QTest::newRow("byte by byte at the end") << QByteArrayList{request.left(request.size() - 2), "\r", "\n"};
    const QByteArray post = "POST /nothing HTTP/1.1\r\nHost: x\r\nContent-Length: 10\r\n\r\n0123456789";
    QTest::newRow("body cut") << QByteArrayList{post.left(post.size() - 4), post.right(4)};
}

// The service reads what has arrived at once and waits for the rest.
void TestServiceTransport::requestArrivingInPiecesIsAnswered()
{
    QFETCH(QByteArrayList, pieces);
    const std::unique_ptr<QTcpSocket> socket = connectRaw(m_service);
    QVERIFY(socket);
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        socket->write(pieces[i]);
        QVERIFY(socket->waitForBytesWritten(1000) || socket->bytesToWrite() == 0);
        if (i + 1 < pieces.size())
            QCOMPARE(readAnswer(*socket, 100).status, 0); // nothing before the request is whole
    }
    const RawAnswer answer = readAnswer(*socket, 5000);
    QCOMPARE(answer.status, 404);
    QVERIFY2(answer.body.contains("/nothing"), answer.body.constData());
}

void TestServiceTransport::burstOfConnectionsIsAccepted()
{
    // A connection attempt dropped from a full listen queue is retried a
    // second later, then three.
    QElapsedTimer timer;
    timer.start();
    std::vector<std::unique_ptr<QTcpSocket>> burst;
    for (int i = 0; i < 200; ++i) {
        burst.push_back(std::make_unique<QTcpSocket>());
        burst.back()->connectToHost(QStringLiteral("127.0.0.1"), quint16(QUrl(m_service.baseUrl()).port()));
    }
    int answered = 0;
    for (const auto& socket : burst) {
        QVERIFY(socket->waitForConnected(20000));
        socket->write("GET /nothing HTTP/1.1\r\nHost: x\r\n\r\n");
    }
    for (const auto& socket : burst)
        answered += readAnswer(*socket, 20000).status == 404 ? 1 : 0;
    QCOMPARE(answered, 200);
    QVERIFY2(timer.elapsed() < 3000, qPrintable(QStringLiteral("%1 ms").arg(timer.elapsed())));
}

void TestServiceTransport::bodyLimitHoldsForEveryFraming_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("body");

    const QByteArray json = "{\"name\": \"" + QByteArray(5 * 1024 * 1024, 'a') + "\"}";
    const QByteArray request = "POST /patient HTTP/1.1\r\nHost: x\r\nContent-Type: application/json\r\n";
    QTest::newRow("chunked") << request + "Transfer-Encoding: chunked\r\n\r\n" << chunked(json, 64 * 1024);
    const QByteArray packed = GzipFixtures::compress(json);
    QTest::newRow("gzip, small on the wire")
        << request + "Content-Encoding: gzip\r\nContent-Length: " + QByteArray::number(packed.size()) + "\r\n\r\n"
        << packed;
    QTest::newRow("gzip and chunked") << request + "Content-Encoding: gzip\r\nTransfer-Encoding: chunked\r\n\r\n"
                                      << chunked(packed, 4096);
    // The answer comes before the rest of the body is even sent.
    QTest::newRow("declared 400 MB, 64 kB sent") << request + "Content-Length: 400000000\r\n\r\n"
                                                 << QByteArray(64 * 1024, ' ');
    const QByteArray boundary = "b0undary";
    const QByteArray form = "--" + boundary + "\r\nContent-Disposition: form-data; name=\"patientId\"\r\n\r\nx\r\n--" +
                            boundary +
                            "\r\nContent-Disposition: form-data; name=\"record\"; filename=\"r.wav\"\r\n\r\n" +
                            QByteArray(5 * 1024 * 1024, 'w') + "\r\n--" + boundary + "--\r\n";
    QTest::newRow("form upload, chunked") << "POST /record HTTP/1.1\r\nHost: x\r\nContent-Type: multipart/form-data; "
                                             "boundary=" +
                                                 boundary + "\r\nTransfer-Encoding: chunked\r\n\r\n"
                                          << chunked(form, 64 * 1024);
}

void TestServiceTransport::bodyLimitHoldsForEveryFraming()
{
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, body);
    const std::unique_ptr<QTcpSocket> socket = connectRaw(m_service);
    QVERIFY(socket);
    socket->write(head + body);
    const RawAnswer answer = readAnswer(*socket, 3000);
    QCOMPARE(answer.status, 413);
    QVERIFY2(answer.body.contains("\"message\""), answer.body.left(200).constData());
    QVERIFY(serviceStillAnswers());
}

void TestServiceTransport::rangeIsIgnored_data()
{
    QTest::addColumn<QByteArray>("range");
    // Short ranges, so that the header stays within the header size limit.
    QByteArray many = "bytes=0-0";
    for (int i = 1; i < 2000; ++i)
        many += ",0-0";
    QTest::newRow("two thousand ranges") << many;
    QTest::newRow("one range") << QByteArray("bytes=0-9");
    QTest::newRow("past the end") << QByteArray("bytes=99999999-");
}

void TestServiceTransport::rangeIsIgnored()
{
    QFETCH(QByteArray, range);
    const QUrl url(m_service.baseUrl());
    httplib::Client client(url.host().toStdString(), url.port());
    const std::string path = "/patient/filter?size=20&current=0";
    const httplib::Headers plain{{"Authorization", "Bearer " + m_demo->token().toStdString()}};
    httplib::Headers ranged = plain;
    ranged.emplace("Range", range.toStdString());
    const httplib::Result whole = client.Get(path, plain);
    const httplib::Result answer = client.Get(path, ranged);
    QVERIFY(whole && answer);
    QCOMPARE(answer->status, 200);
    QVERIFY2(answer->body == whole->body, qPrintable(QStringLiteral("%1 bytes").arg(answer->body.size())));
}

void TestServiceTransport::echoedInputIsCutShort_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("body");

    const QByteArray long1 = QByteArray(1024 * 1024, 'q');
    QTest::newRow("unknown path") << QByteArray("GET") << "/" + QString(6000, QLatin1Char('q')) << QByteArray();
    QTest::newRow("unknown language") << QByteArray("PUT") << "/auth/locale"
                                      << R"({"country": "RU", "locale": ")" + long1 + "\"}";
    QTest::newRow("unknown command") << QByteArray("POST") << "/command"
                                     << R"({"patientId": "x", "command": ")" + long1 + "\"}";
    // Cut by characters, never inside one.
    QTest::newRow("unknown language, Cyrillic")
        << QByteArray("PUT") << "/auth/locale"
        << R"({"country": "RU", "locale": ")" + QString(200000, QChar(0x0439)).toUtf8() + "\"}";
}

void TestServiceTransport::echoedInputIsCutShort()
{
    QFETCH(QByteArray, method);
    QFETCH(QString, path);
    QFETCH(QByteArray, body);
    const ServiceAnswer answer = m_demo->send(method, path, body);
    QVERIFY2(answer.status >= 400 && answer.status < 500, answer.body.left(300).constData());
    const QString text = answer.message();
    const QChar quoted = text.contains(QChar(0x0439)) ? QChar(0x0439) : QLatin1Char('q');
    // The start of the input is kept, up to 100 characters with the ellipsis.
    QVERIFY2(text.contains(QString(99, quoted)) && text.contains(QChar(0x2026)), qPrintable(text.left(300)));
    QVERIFY2(!text.contains(QString(101, quoted)) && text.size() < 250, qPrintable(text.left(300)));
}

QTEST_GUILESS_MAIN(TestServiceTransport)
#include "tst_servicetransport.moc"
