// Signing in, tokens, password change, language and the update check of the
// local service, over HTTP.
#include "ServiceClient.h"
#include "api/SignInThrottle.h"
#include "storage/Database.h"
#include "storage/Schema.h"
#include "support/LocalServiceProcess.h"

#include <QTcpSocket>
#include <QtTest>

#include <future>

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

class TestServiceAuth : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void signInAnswersTheAccountKeys();
    void signInRefusals_data();
    void signInRefusals();
    void credentialsComeInTheBodyOnly_data();
    void credentialsComeInTheBodyOnly();
    void failedSignInsOfOneNameAreSlowedDown();
    void throttleCountsNameAndAddressTogether_data();
    void throttleCountsNameAndAddressTogether();
    void throttleRemembersBoundedlyMany();
    void idleSessionsEndAndAreRemoved();
    void everyEndpointWantsAToken_data();
    void everyEndpointWantsAToken();
    void refusalsSpeakTheCallersLanguage();
    void passwordChangeRules_data();
    void passwordChangeRules();
    void passwordChangeRenewsTheToken();
    void ofTwoPasswordChangesAtOnceOneWins();
    void localeIsStoredOnTheAccount();
    void updateCheck_data();
    void updateCheck();
    void logNamesRequestsButNoSecrets();
    void aDatabaseLeftUnseededIsSeededAtTheNextStart();

private:
    LocalServiceProcess m_service{{QStringLiteral("--latest-version"), QStringLiteral("2021.3.0")}};
};

void TestServiceAuth::initTestCase()
{
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
}

void TestServiceAuth::signInAnswersTheAccountKeys()
{
    ServiceClient client(m_service.baseUrl());
    const ServiceAnswer answer = client.signIn(QStringLiteral("demo"), QStringLiteral("demo"));
    QCOMPARE(answer.status, 200);
    const QJsonObject account = answer.object();
    QCOMPARE(account.value(QStringLiteral("tokenType")).toString(), QStringLiteral("Bearer"));
    QCOMPARE(account.value(QStringLiteral("language")).toString(), QStringLiteral("en"));
    QCOMPARE(account.value(QStringLiteral("country")).toString(), QStringLiteral("US"));
    const QString token = account.value(QStringLiteral("accessToken")).toString();
    QVERIFY2(token.size() >= 32, qPrintable(token));

    // Each sign-in is a session of its own, with a token of its own.
    ServiceClient other(m_service.baseUrl());
    QCOMPARE(other.signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
    QVERIFY(other.token() != client.token());
    QCOMPARE(client.get(QStringLiteral("/auth/updates/?version=2021.3.0")).status, 200);
    QCOMPARE(other.get(QStringLiteral("/auth/updates/?version=2021.3.0")).status, 200);
}

void TestServiceAuth::signInRefusals_data()
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

void TestServiceAuth::signInRefusals()
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

void TestServiceAuth::credentialsComeInTheBodyOnly_data()
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

void TestServiceAuth::credentialsComeInTheBodyOnly()
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

void TestServiceAuth::failedSignInsOfOneNameAreSlowedDown()
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

void TestServiceAuth::throttleCountsNameAndAddressTogether_data()
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

void TestServiceAuth::throttleCountsNameAndAddressTogether()
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
void TestServiceAuth::throttleRemembersBoundedlyMany()
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

void TestServiceAuth::idleSessionsEndAndAreRemoved()
{
    LocalServiceProcess service({QStringLiteral("--token-idle-seconds"), QStringLiteral("1")});
    QVERIFY2(service.start(), qPrintable(service.errorText()));
    ServiceClient used(service.baseUrl());
    ServiceClient idle(service.baseUrl());
    QCOMPARE(used.signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
    QCOMPARE(idle.signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
    const auto tokensStored = [&service] {
        localservice::Database db(service.databasePath().toStdString());
        localservice::Statement count = db.prepare("SELECT COUNT(*) FROM tokens");
        return count.step() ? count.integer(0) : -1;
    };
    QCOMPARE(tokensStored(), 2);

    // A session in use lives on past the limit, the idle one ends.
    QElapsedTimer clock;
    clock.start();
    QTRY_VERIFY_WITH_TIMEOUT(used.get(QStringLiteral("/patient/filter")).status == 200 && clock.elapsed() > 2500, 5000);
    QCOMPARE(used.get(QStringLiteral("/patient/filter")).status, 200);
    const ServiceAnswer ended = idle.get(QStringLiteral("/patient/filter"));
    QCOMPARE(ended.status, 401);
    QVERIFY(ended.isJsonError());
    QCOMPARE(tokensStored(), 1);
}

void TestServiceAuth::everyEndpointWantsAToken_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("authorization");

    const QList<QPair<QByteArray, QString>> endpoints = {
        {"POST", "/auth/password"},
        {"PUT", "/auth/locale"},
        {"GET", "/auth/updates/?version=2021.3.0"},
        {"GET", "/patient/filter?sortby=name&direction=asc&size=20&current=0&searchby=name&needle="},
        {"POST", "/patient"},
        {"PUT", "/patient"},
        {"DELETE", "/patient/00000000-0000-4000-8000-000000000000"},
        {"GET", "/record/x"},
        {"POST", "/record"},
        {"DELETE", "/record/x/y"},
        {"POST", "/export/excel"},
        {"POST", "/patient/device"},
        {"PUT", "/patient/device"},
        {"DELETE", "/patient/device/x"},
        {"POST", "/command"},
        {"DELETE", "/command/x"},
        {"POST", "/recipe/autospectrum"},
        {"POST", "/analysis"},
        {"POST", "/analysis/summary"},
        {"POST", "/analysis/comparative"},
        {"GET", "/category/diagnostic/x"},
        {"GET", "/category/corrective/x"},
        {"GET", "/recipe/x/y"},
        {"POST", "/recipe"},
        {"PUT", "/recipe"},
        {"POST", "/patient/questionnaire"},
        {"PUT", "/patient/questionnaire/x"},
    };
    for (const auto& [method, path] : endpoints) {
        QTest::addRow("%s %s without token", method.constData(), qPrintable(path)) << method << path << QByteArray();
        QTest::addRow("%s %s with a made-up token", method.constData(), qPrintable(path))
            << method << path << QByteArray("Bearer 0123456789abcdef0123456789abcdef");
    }
    QTest::newRow("another scheme") << QByteArray("GET") << QStringLiteral("/category/diagnostic/x")
                                    << QByteArray("Basic ZGVtbzpkZW1v");
}

void TestServiceAuth::everyEndpointWantsAToken()
{
    QFETCH(QByteArray, method);
    QFETCH(QString, path);
    QFETCH(QByteArray, authorization);
    ServiceClient client(m_service.baseUrl());
    client.setAuthorization(authorization);
    // A GET carries no body: one would be refused for its framing first.
    const ServiceAnswer answer = client.send(method, path, method == "GET" ? QByteArray() : QByteArray("{}"));
    QCOMPARE(answer.status, 401);
    QVERIFY2(answer.isJsonError(), answer.body.constData());
}

void TestServiceAuth::refusalsSpeakTheCallersLanguage()
{
    ServiceClient client(m_service.baseUrl());
    client.setAcceptLanguage("ru-RU");
    const ServiceAnswer answer = client.signIn(QStringLiteral("demo"), QStringLiteral("wrong"));
    QCOMPARE(answer.status, 401);
    QVERIFY2(answer.message().contains(QStringLiteral("пароль")), qPrintable(answer.message()));

    client.setAcceptLanguage("en-US");
    QVERIFY(
        client.signIn(QStringLiteral("demo"), QStringLiteral("wrong")).message().contains(QStringLiteral("password")));
}

void TestServiceAuth::passwordChangeRules_data()
{
    QTest::addColumn<QString>("oldPassword");
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<QString>("repeatPassword");
    QTest::addColumn<QString>("messagePart");

    QTest::newRow("wrong old password") << "nope"
                                        << "better1"
                                        << "better1"
                                        << "current password";
    QTest::newRow("repetition differs") << "second"
                                        << "better1"
                                        << "better2"
                                        << "differ";
    QTest::newRow("too short") << "second"
                               << "abc"
                               << "abc"
                               << "characters";
    QTest::newRow("too long") << "second" << QString(129, 'x') << QString(129, 'x') << "characters";
}

void TestServiceAuth::passwordChangeRules()
{
    QFETCH(QString, oldPassword);
    QFETCH(QString, newPassword);
    QFETCH(QString, repeatPassword);
    QFETCH(QString, messagePart);
    ServiceClient client(m_service.baseUrl());
    QCOMPARE(client.signIn(QStringLiteral("second"), QStringLiteral("second")).status, 200);
    const ServiceAnswer answer =
        client.post(QStringLiteral("/auth/password"),
                    {{"oldPassword", oldPassword}, {"newPassword", newPassword}, {"repeatPassword", repeatPassword}});
    QCOMPARE(answer.status, 400);
    QVERIFY2(answer.message().contains(messagePart), qPrintable(answer.message()));
    // A refused change leaves the password and the session as they were.
    QCOMPARE(client.get(QStringLiteral("/category/diagnostic/x")).status, 404);
    QCOMPARE(ServiceClient(m_service.baseUrl()).signIn(QStringLiteral("second"), QStringLiteral("second")).status, 200);
}

void TestServiceAuth::passwordChangeRenewsTheToken()
{
    ServiceClient client(m_service.baseUrl());
    QCOMPARE(client.signIn(QStringLiteral("second"), QStringLiteral("second")).status, 200);
    ServiceClient otherSession(m_service.baseUrl());
    QCOMPARE(otherSession.signIn(QStringLiteral("second"), QStringLiteral("second")).status, 200);
    const QByteArray oldToken = client.token();

    const ServiceAnswer answer =
        client.post(QStringLiteral("/auth/password"),
                    {{"oldPassword", "second"}, {"newPassword", "Новый пароль"}, {"repeatPassword", "Новый пароль"}});
    QCOMPARE(answer.status, 200);
    const QByteArray newToken = answer.object().value(QStringLiteral("accessToken")).toString().toUtf8();
    QVERIFY(!newToken.isEmpty());
    QVERIFY(newToken != oldToken);

    // The old token and every other session are over; the new token works.
    QCOMPARE(client.get(QStringLiteral("/category/diagnostic/x")).status, 401);
    QCOMPARE(otherSession.get(QStringLiteral("/category/diagnostic/x")).status, 401);
    client.setToken(newToken);
    QCOMPARE(client.get(QStringLiteral("/category/diagnostic/x")).status, 404);

    ServiceClient fresh(m_service.baseUrl());
    QCOMPARE(fresh.signIn(QStringLiteral("second"), QStringLiteral("second")).status, 401);
    QCOMPARE(fresh.signIn(QStringLiteral("second"), QStringLiteral("Новый пароль")).status, 200);

    // Put it back for the other tests.
    QCOMPARE(fresh
                 .post(QStringLiteral("/auth/password"),
                       {{"oldPassword", "Новый пароль"}, {"newPassword", "second"}, {"repeatPassword", "second"}})
                 .status,
             200);
}

void TestServiceAuth::ofTwoPasswordChangesAtOnceOneWins()
{
    ServiceClient first(m_service.baseUrl());
    QCOMPARE(first.signIn(QStringLiteral("second"), QStringLiteral("second")).status, 200);
    ServiceClient other(m_service.baseUrl());
    QCOMPARE(other.signIn(QStringLiteral("second"), QStringLiteral("second")).status, 200);
    const auto change = [](ServiceClient& client, const QString& newPassword) {
        return client
            .post(QStringLiteral("/auth/password"),
                  {{"oldPassword", "second"}, {"newPassword", newPassword}, {"repeatPassword", newPassword}})
            .status;
    };
    std::future<int> firstChange = std::async(std::launch::async, [&] { return change(first, "alpha-1"); });
    std::future<int> otherChange = std::async(std::launch::async, [&] { return change(other, "beta-22"); });
    const int firstStatus = firstChange.get();
    const int otherStatus = otherChange.get();

    // Both checked the same old password; the one that came second found it
    // no longer current.
    QCOMPARE(QList<int>({firstStatus, otherStatus}).count(200), 1);
    QCOMPARE(QList<int>({firstStatus, otherStatus}).count(400), 1);
    const QString winner = firstStatus == 200 ? QStringLiteral("alpha-1") : QStringLiteral("beta-22");
    const QString loser = firstStatus == 200 ? QStringLiteral("beta-22") : QStringLiteral("alpha-1");
    ServiceClient fresh(m_service.baseUrl());
    QCOMPARE(fresh.signIn(QStringLiteral("second"), loser).status, 401);
    QCOMPARE(fresh.signIn(QStringLiteral("second"), winner).status, 200);
    QCOMPARE(fresh
                 .post(QStringLiteral("/auth/password"),
                       {{"oldPassword", winner}, {"newPassword", "second"}, {"repeatPassword", "second"}})
                 .status,
             200);
}

void TestServiceAuth::localeIsStoredOnTheAccount()
{
    ServiceClient client(m_service.baseUrl());
    QCOMPARE(client.signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
    QCOMPARE(client.put(QStringLiteral("/auth/locale"), {{"country", "RU"}, {"locale", "ru"}}).status, 200);
    QJsonObject account =
        ServiceClient(m_service.baseUrl()).signIn(QStringLiteral("demo"), QStringLiteral("demo")).object();
    QCOMPARE(account.value(QStringLiteral("language")).toString(), QStringLiteral("ru"));
    QCOMPARE(account.value(QStringLiteral("country")).toString(), QStringLiteral("RU"));

    const ServiceAnswer refused = client.put(QStringLiteral("/auth/locale"), {{"country", "FR"}, {"locale", "fr"}});
    QCOMPARE(refused.status, 400);
    QVERIFY(refused.message().contains(QStringLiteral("fr_FR")));

    QCOMPARE(client.put(QStringLiteral("/auth/locale"), {{"country", "us"}, {"locale", "EN"}}).status, 200);
    account = ServiceClient(m_service.baseUrl()).signIn(QStringLiteral("demo"), QStringLiteral("demo")).object();
    QCOMPARE(account.value(QStringLiteral("language")).toString(), QStringLiteral("en"));
    QCOMPARE(account.value(QStringLiteral("country")).toString(), QStringLiteral("US"));
}

void TestServiceAuth::updateCheck_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("update");

    QTest::newRow("the latest version") << "/auth/updates/?version=2021.3.0" << 200 << false;
    QTest::newRow("an older minor") << "/auth/updates/?version=2021.2.9" << 200 << true;
    QTest::newRow("an older year") << "/auth/updates/?version=2020.12.1" << 200 << true;
    QTest::newRow("fewer parts") << "/auth/updates/?version=2021.3" << 200 << false;
    QTest::newRow("a newer one") << "/auth/updates/?version=2022.1.0" << 200 << false;
    QTest::newRow("without the slash") << "/auth/updates?version=2021.1.0" << 200 << true;
    QTest::newRow("no version") << "/auth/updates/" << 400 << false;
    QTest::newRow("not a version") << "/auth/updates/?version=latest" << 400 << false;
}

void TestServiceAuth::updateCheck()
{
    QFETCH(QString, query);
    QFETCH(int, status);
    QFETCH(bool, update);
    ServiceClient client(m_service.baseUrl());
    QCOMPARE(client.signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
    const ServiceAnswer answer = client.get(query);
    QCOMPARE(answer.status, status);
    if (status == 200)
        QCOMPARE(answer.object().value(QStringLiteral("update")).toBool(), update);
}

void TestServiceAuth::logNamesRequestsButNoSecrets()
{
    ServiceClient client(m_service.baseUrl());
    QCOMPARE(client.signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
    QCOMPARE(client.get(QStringLiteral("/patient/filter?searchby=name&needle=U2VjcmV0")).status, 200);
    QTRY_VERIFY(m_service.log().contains(QStringLiteral("GET /patient/filter 200")));
    const QString log = m_service.log();
    QVERIFY(log.contains(QRegularExpression(QStringLiteral("POST /auth/login 200 \\d+ ms"))));
    QVERIFY(!log.contains(QString::fromUtf8(client.token())));
    QVERIFY(!log.contains(QStringLiteral("U2VjcmV0")));
    QVERIFY(!log.contains(QStringLiteral("password=")));
}

void TestServiceAuth::aDatabaseLeftUnseededIsSeededAtTheNextStart()
{
    // A first start killed while it seeds leaves the tables and no account.
    LocalServiceProcess service;
    {
        localservice::Database db(service.databasePath().toStdString());
        QVERIFY(localservice::ensureSchema(db));
    }
    QVERIFY2(service.start(), qPrintable(service.errorText()));
    ServiceClient client(service.baseUrl());
    QCOMPARE(client.signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
    QCOMPARE(client.patients().size(), 60);
}

QTEST_GUILESS_MAIN(TestServiceAuth)
#include "tst_serviceauth.moc"
