// Signing in, tokens, password change, language and the update check of the
// local service, over HTTP.
#include "ServiceClient.h"
#include "storage/Database.h"
#include "storage/Schema.h"
#include "support/LocalServiceProcess.h"

#include <QtTest>

#include <future>

class TestServiceAuth : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void signInAnswersTheAccountKeys();
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

void TestServiceAuth::idleSessionsEndAndAreRemoved()
{
    // Long enough for two sign-ins to end before the first session does, even
    // in a build with the sanitizers, whose password hashing is slow.
    LocalServiceProcess service({QStringLiteral("--token-idle-seconds"), QStringLiteral("3")});
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
    QTRY_VERIFY_WITH_TIMEOUT(used.get(QStringLiteral("/patient/filter")).status == 200 && clock.elapsed() > 4500, 8000);
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
