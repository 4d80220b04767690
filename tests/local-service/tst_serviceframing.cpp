// The local service's connections under hostile callers: requests whose
// framing is in doubt are answered once and never taken for two, and idle
// connections neither hold up active callers nor, past the limit, keep room
// from newcomers.
#include "RawHttp.h"
#include "ServiceClient.h"

#include <QtTest>

#include <sys/socket.h>

namespace {

// Everything the service sends until it closes the connection or falls
// silent for `quietMs`.
struct Exchange
{
    QByteArray received;
    bool closed = false;
};

Exchange exchange(QTcpSocket& socket, const QByteArray& request, int quietMs)
{
    socket.write(request);
    socket.flush();
    Exchange result;
    while (socket.waitForReadyRead(quietMs) || socket.bytesAvailable() > 0)
        result.received += socket.readAll();
    result.received += socket.readAll();
    result.closed = socket.state() != QAbstractSocket::ConnectedState;
    return result;
}

QByteArray multipartUpload(const QString& patientId, const QByteArray& sensorHeader, const QByteArray& wav)
{
    const QByteArray boundary = "b0undary";
    const QByteArray form = "--" + boundary + "\r\nContent-Disposition: form-data; name=\"patientId\"\r\n\r\n" +
                            patientId.toUtf8() + "\r\n--" + boundary +
                            "\r\nContent-Disposition: form-data; name=\"record\"; filename=\"record\"\r\n\r\n" + wav +
                            "\r\n--" + boundary + "--\r\n";
    return "POST /record HTTP/1.1\r\nHost: x\r\nAuthorization: Bearer {token}\r\n" + sensorHeader +
           "Content-Type: multipart/form-data; boundary=" + boundary +
           "\r\nContent-Length: " + QByteArray::number(form.size()) + "\r\n\r\n" + form;
}

} // namespace

class TestServiceFraming : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void idleConnectionsLeaveRoom_data();
    void idleConnectionsLeaveRoom();
    void hostileFraming_data();
    void hostileFraming();

private:
    LocalServiceProcess m_service;
    std::unique_ptr<ServiceClient> m_demo;
    QString m_patientId;
    int m_records = 0;
};

void TestServiceFraming::initTestCase()
{
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    m_demo = std::make_unique<ServiceClient>(m_service.baseUrl());
    QCOMPARE(m_demo->signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
    m_patientId = m_demo->patients().first().toObject().value(QStringLiteral("id")).toString();
    m_records = int(m_demo->get(QStringLiteral("/record/") + m_patientId).array().size());
}

void TestServiceFraming::idleConnectionsLeaveRoom_data()
{
    QTest::addColumn<int>("limit"); // --max-connections; 0 for the default
    QTest::addColumn<int>("idle");
    QTest::addColumn<int>("closedAtLeast");
    QTest::newRow("600 idle, more than the workers") << 0 << 600 << 0;
    QTest::newRow("100 idle past a limit of 64") << 64 << 100 << 100 - 64 + 1;
}

// An active caller is answered while idle connections wait for their next
// request; past the limit, the longest idle give way to newcomers.
void TestServiceFraming::idleConnectionsLeaveRoom()
{
    QFETCH(int, limit);
    QFETCH(int, idle);
    QFETCH(int, closedAtLeast);
    LocalServiceProcess service(limit > 0 ? QStringList{QStringLiteral("--max-connections"), QString::number(limit)}
                                          : QStringList());
    QVERIFY2(service.start(), qPrintable(service.errorText()));
    std::vector<std::unique_ptr<QTcpSocket>> waiting;
    for (int i = 0; i < idle; ++i) {
        waiting.push_back(connectRaw(service));
        QVERIFY(waiting.back());
    }
    // An idle connection is left to the idle watch once its worker has
    // waited a moment for a request.
    QTest::qWait(300);
    const std::unique_ptr<QTcpSocket> active = connectRaw(service);
    QVERIFY(active);
    active->write("GET /nothing HTTP/1.1\r\nHost: x\r\n\r\n");
    // Well within the 5 s an idle connection may wait: a caller stuck behind
    // the idle ones would see them time out first.
    QCOMPARE(readAnswer(*active, 3000).status, 404);
    QCoreApplication::processEvents();
    const auto closedByService = [](QTcpSocket& socket) {
        char byte = 0;
        return socket.state() != QAbstractSocket::ConnectedState ||
               ::recv(int(socket.socketDescriptor()), &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
    };
    int closed = 0;
    for (const auto& socket : waiting)
        closed += closedByService(*socket) ? 1 : 0;
    QVERIFY2(closedAtLeast > 0 ? closed >= closedAtLeast : closed == 0, qPrintable(QString::number(closed)));
    // The longest idle went first: the newest are still there.
    QVERIFY(!closedByService(*waiting.back()));
}

void TestServiceFraming::hostileFraming_data()
{
    QTest::addColumn<QByteArray>("request"); // {token} and {patient} are filled in
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("closes");

    const QByteArray host = "Host: x\r\n";
    QTest::newRow("malformed request line, lines after it")
        << QByteArray("GARBAGE\r\nMORE GARBAGE\r\nGET /nothing HTTP/1.1\r\n\r\n") << 400 << true;
    const QByteArray smuggled = "GET /smuggled HTTP/1.1\r\nHost: x\r\n\r\n";
    QTest::newRow("GET with a body holding a request")
        << "GET /nothing HTTP/1.1\r\n" + host + "Content-Length: " + QByteArray::number(smuggled.size()) + "\r\n\r\n" +
               smuggled
        << 400 << true;
    QTest::newRow("GET with a chunked body")
        << "GET /nothing HTTP/1.1\r\n" + host + "Transfer-Encoding: chunked\r\n\r\n" + chunked(smuggled, 8) << 400
        << true;
    QTest::newRow("TE: gzip, chunked") << "POST /patient HTTP/1.1\r\n" + host +
                                              "Transfer-Encoding: gzip, chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n"
                                       << 501 << true;
    QTest::newRow("a length beside a transfer coding")
        << "POST /patient HTTP/1.1\r\n" + host + "Content-Length: 4\r\nTransfer-Encoding: chunked\r\n\r\n" +
               chunked("{}", 2)
        << 400 << true;
    QTest::newRow("two lengths") << "POST /patient HTTP/1.1\r\n" + host +
                                        "Content-Length: 2\r\nContent-Length: 40\r\n\r\n{}"
                                 << 400 << true;
    QTest::newRow("100-continue with a length past the limit")
        << "POST /patient HTTP/1.1\r\n" + host + "Expect: 100-continue\r\nContent-Length: 50000000\r\n\r\n"
        << 413 << true;
    QTest::newRow("POST without a length has no body") << "POST /nothing HTTP/1.1\r\n" + host + "\r\n" << 404 << false;
    QTest::newRow("Authorization with a NUL after the token")
        << "GET /patient/filter HTTP/1.1\r\n" + host + "Authorization: Bearer {token}" + QByteArray(1, '\0') +
               "tail\r\n\r\n"
        << 401 << false;
    QTest::newRow("Authorization with %00 after the token")
        << "GET /patient/filter HTTP/1.1\r\n" + host + "Authorization: Bearer {token}%00tail\r\n\r\n"
        << 401 << false;
    QTest::newRow("Authorization with garbage after the token")
        << "GET /patient/filter HTTP/1.1\r\n" + host + "Authorization: Bearer {token} garbage\r\n\r\n"
        << 401 << false;
    const QByteArray threeSeconds = sensorWav(sineSamples(440));
    QTest::newRow("a NUL in the sensor identifier")
        << multipartUpload(m_patientId, "Sonvera-ID: 5e45%00tail\r\n", threeSeconds) << 400 << false;
    QTest::newRow("a recording shorter than a second")
        << multipartUpload(m_patientId, "Sonvera-ID: 5e45\r\n", sensorWav(sineSamples(440, 22049))) << 400 << false;
}

// Each answered once, and what follows on the connection is never taken
// for a request: either the connection closes, or it goes on in step.
void TestServiceFraming::hostileFraming()
{
    QFETCH(QByteArray, request);
    QFETCH(int, status);
    QFETCH(bool, closes);
    request.replace("{token}", m_demo->token()).replace("{patient}", m_patientId.toUtf8());
    const std::unique_ptr<QTcpSocket> socket = connectRaw(m_service);
    QVERIFY(socket);
    const Exchange answer = exchange(*socket, request, closes ? 3000 : 500);
    QVERIFY2(answer.received.startsWith("HTTP/1.1 " + QByteArray::number(status) + ' '),
             answer.received.left(200).constData());
    QCOMPARE(answer.received.count("HTTP/1.1 "), 1);
    QVERIFY2(answer.closed == closes, answer.received.left(600).constData());
    if (!closes) {
        const Exchange next = exchange(*socket, "GET /nothing HTTP/1.1\r\nHost: x\r\n\r\n", 500);
        QVERIFY2(next.received.startsWith("HTTP/1.1 404 "), next.received.left(200).constData());
    }
    QCOMPARE(m_demo->get(QStringLiteral("/record/") + m_patientId).array().size(), m_records);
}

QTEST_GUILESS_MAIN(TestServiceFraming)
#include "tst_serviceframing.moc"
