// Signing in to the local service: what is refused, where the credentials
// may come from, and the slowing down of failed sign-ins by user name and
// address together, so that a stranger's guesses never lock the
// practitioner's own computer out, with a bounded memory of the names tried.
#include "ServiceClient.h"
#include "api/SignInThrottle.h"
#include "support/LocalServiceProcess.h"

#include <QTcpSocket>
#include <QtTest>

namespace {

// A sign-in sent from another address of this machine; its status.
int signInFrom(const QString& address, const QString& baseUrl, const QByteArray& password)
{
    QTcpSocket socket;
    if (!socket.bind(QHostAddress(address)))
        return -1;
    socket.connectToHost(QStringLiteral("127.0.0.1"), quint16(QUrl(baseUrl).port()));
    if (!socket.waitForConnected(5000))
        return -1;
    const QByteArray form = "username=demo&password=" + password;
    socket.write("POST /auth/login HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Type: "
                 "application/x-www-form-urlencoded\r\nContent-Length: " +
                 QByteArray::number(form.size()) + "\r\n\r\n" + form);
    QByteArray answer;
    while (socket.waitForReadyRead(10000))
        answer += socket.readAll();
    return answer.startsWith("HTTP/1.1 ") ? answer.mid(9, 3).toInt() : 0;
}

} // namespace

class TestServiceSignIn : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void signInRefusals_data();
    void signInRefusals();
    void credentialsComeInTheBodyOnly_data();
    void credentialsComeInTheBodyOnly();
    void failedSignInsOfOneNameAreSlowedDown();
    void throttleCountsNameAndAddressTogether_data();
    void throttleCountsNameAndAddressTogether();
    void throttleRemembersBoundedlyMany();

private:
    LocalServiceProcess m_service;
};

void TestServiceSignIn::initTestCase()
{
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
}

void TestServiceSignIn::signInRefusals_data()
{
    QTest::addColumn<QString>("username");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("status");

    QTest::newRow("wrong password") << "demo"
                                    << "Demo" << 401;
    QTest::newRow("unknown user") << "nobody"
                                  << "demo" << 401;
    QTest::newRow("another account's password") << "demo"
                                                << "second" << 401;
    QTest::newRow("empty password") << "demo"
                                    << "" << 400;
    QTest::newRow("empty user") << ""
                                << "demo" << 400;
}

void TestServiceSignIn::signInRefusals()
{
    QFETCH(QString, username);
    QFETCH(QString, password);
    QFETCH(int, status);
    ServiceClient client(m_service.baseUrl());
    const ServiceAnswer answer = client.signIn(username, password);
    QCOMPARE(answer.status, status);
    QVERIFY2(answer.isJsonError(), answer.body.constData());
    QVERIFY(answer.object().value(QStringLiteral("accessToken")).isUndefined());
}

void TestServiceSignIn::credentialsComeInTheBodyOnly_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");

    QTest::newRow("both in the body") << "" << QByteArray("username=demo&password=demo") << 200;
    QTest::newRow("encoded in the body") << "" << QByteArray("username=%64emo&password=d%65mo") << 200;
    QTest::newRow("password in the query as well")
        << "?password=demo" << QByteArray("username=demo&password=demo") << 400;
    QTest::newRow("password in the query only") << "?password=demo" << QByteArray("username=demo") << 400;
    QTest::newRow("both in the query") << "?username=demo&password=demo" << QByteArray() << 400;
}

void TestServiceSignIn::credentialsComeInTheBodyOnly()
{
    QFETCH(QString, query);
    QFETCH(QByteArray, body);
    QFETCH(int, status);
    ServiceClient client(m_service.baseUrl());
    const ServiceAnswer answer =
        client.send("POST", QStringLiteral("/auth/login") + query, body, "application/x-www-form-urlencoded");
    QCOMPARE(answer.status, status);
    QCOMPARE(answer.object().contains(QStringLiteral("accessToken")), status == 200);
}

void TestServiceSignIn::failedSignInsOfOneNameAreSlowedDown()
{
    LocalServiceProcess service;
    QVERIFY2(service.start(), qPrintable(service.errorText()));
    // Guesses from another address of this machine, a stranger's.
    const QString stranger = QStringLiteral("127.0.0.2");
    int wrongAnswered = 0;
    while (signInFrom(stranger, service.baseUrl(), "guess") == 401)
        QVERIFY2(++wrongAnswered < 20, "wrong passwords are never slowed down");
    QVERIFY2(wrongAnswered >= 3, qPrintable(QString::number(wrongAnswered)));
    // Even the right password waits there now.
    QCOMPARE(signInFrom(stranger, service.baseUrl(), "demo"), 429);

    // The practitioner's own computer still signs in; the stranger's answer
    // says how long to wait, and after that the right password works there.
    ServiceClient client(service.baseUrl());
    QCOMPARE(client.signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
    QCOMPARE(ServiceClient(service.baseUrl()).signIn(QStringLiteral("second"), QStringLiteral("second")).status, 200);
    QTRY_COMPARE_WITH_TIMEOUT(signInFrom(stranger, service.baseUrl(), "demo"), 200, 10000);
}

void TestServiceSignIn::throttleCountsNameAndAddressTogether_data()
{
    // Attempts in order, "name@address"; "+" before one that succeeded.
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("attempt");
    QTest::addColumn<bool>("paused");
    const auto times = [](const QString& attempt, int count) {
        QStringList attempts;
        for (int i = 0; i < count; ++i)
            attempts << attempt;
        return attempts;
    };
    QTest::newRow("five failures of the name there") << times("demo@A", 5) << "demo@A" << true;
    QTest::newRow("four failures of the name there") << times("demo@A", 4) << "demo@A" << false;
    QTest::newRow("a stranger elsewhere") << times("demo@B", 9) << "demo@A" << false;
    QTest::newRow("other names from that address")
        << QStringList{"a@A", "b@A", "c@A", "d@A", "e@A", "f@A"} << "demo@A" << false;
    QTest::newRow("a success forgets") << times("demo@A", 4) + QStringList{"+demo@A"} + times("demo@A", 4) << "demo@A"
                                       << false;
    QTest::newRow("the stranger's own success forgets only there")
        << times("demo@B", 5) + QStringList{"+demo@A"} << "demo@B" << true;
}

void TestServiceSignIn::throttleCountsNameAndAddressTogether()
{
    QFETCH(QStringList, before);
    QFETCH(QString, attempt);
    QFETCH(bool, paused);
    localservice::SignInThrottle throttle;
    const auto parts = [](const QString& text) {
        const QStringList split = QString(text).remove(QLatin1Char('+')).split(QLatin1Char('@'));
        return std::make_pair(split[0].toStdString(), split[1].toStdString());
    };
    for (const QString& earlier : before) {
        const auto [name, address] = parts(earlier);
        if (earlier.startsWith(QLatin1Char('+')))
            throttle.succeeded(name, address);
        else
            throttle.admit(name, address, 1000);
    }
    const auto [name, address] = parts(attempt);
    QCOMPARE(throttle.admit(name, address, 1000) > 0, paused);
}

// Guesses over ever new names keep no more than a fixed number of them, and
// the newest still count.
void TestServiceSignIn::throttleRemembersBoundedlyMany()
{
    localservice::SignInThrottle throttle;
    const size_t names = localservice::SignInThrottle::MaxTracked + 500;
    for (size_t i = 0; i < names; ++i)
        throttle.admit("name" + std::to_string(i), "A", std::int64_t(i));
    QCOMPARE(throttle.tracked(), localservice::SignInThrottle::MaxTracked);
    const std::string newest = "name" + std::to_string(names - 1);
    for (int i = 1; i < localservice::SignInThrottle::FreeAttempts; ++i)
        throttle.admit(newest, "A", std::int64_t(names));
    QVERIFY(throttle.admit(newest, "A", std::int64_t(names)) > 0);
}

QTEST_GUILESS_MAIN(TestServiceSignIn)
#include "tst_servicesignin.moc"
