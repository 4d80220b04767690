// The local service under bad input, parallel load and restarts: it refuses
// with a 4xx JSON error, never a crash or a 500, and keeps its data.
#include "ServiceClient.h"
#include "storage/ConnectionPool.h"
#include "support/LocalServiceProcess.h"

#include <QtTest>

#include <atomic>
#include <future>
#include <thread>

class TestServiceRobustness : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void malformedRequests_data();
    void malformedRequests();
    void unknownPathsAndMethods_data();
    void unknownPathsAndMethods();
    void oversizedBodyIsRefused();
    void parallelClientsAreServed();
    void slowSignInHoldsUpNoOtherAccount();
    void dataSurvivesARestart();
    void committedWritesReachTheDatabaseFile();
    void commandLine_data();
    void commandLine();

private:
    LocalServiceProcess m_service;
    std::unique_ptr<ServiceClient> m_demo;
    QString m_patientId;
};

void TestServiceRobustness::initTestCase()
{
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    m_demo = std::make_unique<ServiceClient>(m_service.baseUrl());
    QCOMPARE(m_demo->signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
    m_patientId = m_demo->patients().first().toObject().value(QStringLiteral("id")).toString();
}

void TestServiceRobustness::malformedRequests_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("body");

    const QList<QPair<QByteArray, QString>> jsonEndpoints = {
        {"POST", "/patient"},
        {"PUT", "/patient"},
        {"POST", "/auth/password"},
        {"PUT", "/auth/locale"},
        {"POST", "/export/excel"},
        {"POST", "/patient/device"},
        {"PUT", "/patient/device"},
        {"POST", "/command"},
        {"POST", "/recipe/autospectrum"},
        {"POST", "/analysis"},
        {"POST", "/analysis/summary"},
        {"POST", "/analysis/comparative"},
        {"POST", "/recipe"},
        {"PUT", "/recipe"},
        {"POST", "/patient/questionnaire"},
    };
    const QList<QPair<const char*, QByteArray>> bodies = {
        {"empty", ""},
        {"truncated", "{\"patientId\": \"ab"},
        {"array", "[1, 2, 3]"},
        {"string", "\"hello\""},
        {"wrong types", R"({"patientId": 7, "name": [], "birthDate": {}, "records": "x", "markers": 3,
                           "duration": "long", "oldPassword": 1, "locale": null, "deviceId": false,
                           "command": 5, "storageId": 1})"},
        {"missing fields", "{}"},
        {"nested nonsense", R"({"patientId": {"$gt": ""}, "records": [null, {}, []]})"},
        {"invalid UTF-8", "{\"name\": \"\xff\xfe\"}"},
        {"huge number", R"({"duration": 1e400, "patientId": "x"})"},
    };
    for (const auto& [method, path] : jsonEndpoints) {
        for (const auto& [name, body] : bodies)
            QTest::addRow("%s %s, %s", method.constData(), qPrintable(path), name) << method << path << body;
    }
    QTest::newRow("questionnaire save, not objects")
        << QByteArray("PUT") << "/patient/questionnaire/%1" << QByteArray(R"({"x": [1], "y": 2})");
    QTest::newRow("upload without multipart") << QByteArray("POST") << "/record" << QByteArray("{}");
    // A path that is not UTF-8 names nothing: refused, without anything internal.
    QTest::newRow("unknown path, not UTF-8") << QByteArray("GET") << "/nothing/%FF%FE" << QByteArray();
    QTest::newRow("patient id, not UTF-8") << QByteArray("DELETE") << "/patient/%FF%FE" << QByteArray();
    QTest::newRow("record ids, not UTF-8") << QByteArray("GET") << "/recipe/%FF/%FE" << QByteArray();
}

void TestServiceRobustness::malformedRequests()
{
    QFETCH(QByteArray, method);
    QFETCH(QString, path);
    QFETCH(QByteArray, body);
    const ServiceAnswer answer = m_demo->send(method, path.arg(m_patientId), body);
    QVERIFY2(answer.status >= 400 && answer.status < 500,
             qPrintable(QStringLiteral("%1: %2").arg(answer.status).arg(QString::fromUtf8(answer.body))));
    QVERIFY2(answer.isJsonError(), answer.body.constData());
    QVERIFY(answer.contentType.startsWith("application/json"));
}

void TestServiceRobustness::unknownPathsAndMethods_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");

    QTest::newRow("unknown path") << QByteArray("GET") << "/patients" << 404;
    QTest::newRow("unknown nested path") << QByteArray("GET") << "/record/a/b/c" << 404;
    QTest::newRow("GET on a POST endpoint") << QByteArray("GET") << "/analysis" << 405;
    QTest::newRow("DELETE the list") << QByteArray("DELETE") << "/patient/filter" << 405;
    QTest::newRow("PATCH a patient") << QByteArray("PATCH") << "/patient" << 405;
    QTest::newRow("GET the sign-in") << QByteArray("GET") << "/auth/login" << 405;
    QTest::newRow("a patient id that is no UUID") << QByteArray("DELETE") << "/patient/not-an-id" << 404;
}

void TestServiceRobustness::unknownPathsAndMethods()
{
    QFETCH(QByteArray, method);
    QFETCH(QString, path);
    QFETCH(int, status);
    const ServiceAnswer answer = m_demo->send(method, path);
    QCOMPARE(answer.status, status);
    QVERIFY2(answer.isJsonError(), answer.body.constData());
}

void TestServiceRobustness::oversizedBodyIsRefused()
{
    const QByteArray huge = "{\"name\": \"" + QByteArray(5 * 1024 * 1024, 'a') + "\"}";
    const ServiceAnswer answer = m_demo->send("POST", QStringLiteral("/patient"), huge);
    QCOMPARE(answer.status, 413);
    QVERIFY2(answer.isJsonError(), answer.body.left(200).constData());
    // The service is still there.
    QCOMPARE(m_demo->patients().size(), 60);
}

void TestServiceRobustness::parallelClientsAreServed()
{
    constexpr int Clients = 8;
    constexpr int CallsEach = 15;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int c = 0; c < Clients; ++c) {
        threads.emplace_back([&, c] {
            ServiceClient client(m_service.baseUrl());
            client.setToken(m_demo->token());
            for (int i = 0; i < CallsEach; ++i) {
                const ServiceAnswer created =
                    client.post(QStringLiteral("/patient"), {{"name", QStringLiteral("Parallel %1-%2").arg(c).arg(i)},
                                                             {"birthDate", "1999-09-09"},
                                                             {"gender", "FEMALE"}});
                const ServiceAnswer listed = client.get(QStringLiteral("/patient/filter?size=5&current=%1").arg(i % 4));
                const ServiceAnswer records = client.get(QStringLiteral("/record/") + m_patientId);
                if (created.status != 201 || listed.status != 200 || records.status != 200)
                    ++failures;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    QCOMPARE(failures.load(), 0);
    const QJsonArray all = m_demo->patients(QStringLiteral("size=100&searchby=name&needle=") +
                                            QString::fromLatin1(QByteArray("Parallel").toBase64()));
    QCOMPARE(all.size(), 100); // one full page of the 120 made...
    QCOMPARE(m_demo
                 ->get(QStringLiteral("/patient/filter?size=100&searchby=name&needle=") +
                       QString::fromLatin1(QByteArray("Parallel").toBase64()))
                 .object()
                 .value(QStringLiteral("pages"))
                 .toInt(),
             2); // ...and a second one: none lost
}

void TestServiceRobustness::slowSignInHoldsUpNoOtherAccount()
{
    // The account "second" gets a password hash that takes seconds to check,
    // written beside the running service.
    {
        localservice::Database db(m_service.databasePath().toStdString());
        db.prepare("UPDATE accounts SET password_hash = ? WHERE username = 'second'")
            .bind(1, "pbkdf2-sha256$6000000$" + std::string(32, '0') + "$" + std::string(64, '0'))
            .run();
    }
    QElapsedTimer signInTime;
    signInTime.start();
    std::future<int> slowSignIn = std::async(std::launch::async, [this] {
        return ServiceClient(m_service.baseUrl()).signIn(QStringLiteral("second"), QStringLiteral("guess")).status;
    });

    // Another account's list keeps being answered while the hash is checked.
    std::vector<double> latencies;
    while (slowSignIn.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
        QElapsedTimer listTime;
        listTime.start();
        QCOMPARE(m_demo->get(QStringLiteral("/patient/filter?size=20&current=0")).status, 200);
        // Reads the service's log as it comes: a full pipe would stop it.
        QCoreApplication::processEvents();
        latencies.push_back(double(listTime.nsecsElapsed()) / 1e6);
    }
    QCOMPARE(slowSignIn.get(), 401);
    const qint64 signInMs = signInTime.elapsed();
    QVERIFY2(signInMs > 500, qPrintable(QStringLiteral("the sign-in took only %1 ms").arg(signInMs)));
    const double slowest = *std::max_element(latencies.begin(), latencies.end());
    QVERIFY2(latencies.size() >= 5 && slowest < signInMs / 4.0,
             qPrintable(QStringLiteral("%1 lists during a sign-in of %2 ms, the slowest took %3 ms")
                            .arg(latencies.size())
                            .arg(signInMs)
                            .arg(slowest)));
}

void TestServiceRobustness::dataSurvivesARestart()
{
    const ServiceAnswer created = m_demo->post(
        QStringLiteral("/patient"), {{"name", "Persistent Пациент"}, {"birthDate", "1960-06-06"}, {"gender", "MALE"}});
    QCOMPARE(created.status, 201);
    const QString id = created.object().value(QStringLiteral("id")).toString();
    QCOMPARE(m_demo->upload(id, sensorWav(sineSamples(777))).status, 201);
    QCOMPARE(m_demo->put(QStringLiteral("/auth/locale"), {{"country", "RU"}, {"locale", "ru"}}).status, 200);
    const QString oldUrl = m_service.baseUrl();

    QVERIFY2(m_service.restart(), qPrintable(m_service.errorText()));
    QCOMPARE(m_service.exitCode(), 0);
    ServiceClient client(m_service.baseUrl());
    // Tokens live in the database too, so a session outlives a restart.
    client.setToken(m_demo->token());
    QCOMPARE(client.get(QStringLiteral("/record/") + id).array().size(), 1);
    const QJsonArray found = client.patients(QStringLiteral("size=100&searchby=name&needle=") +
                                             QString::fromLatin1(QStringLiteral("пациент").toUtf8().toBase64())
                                                 .replace('+', '.')
                                                 .replace('/', '_')
                                                 .replace('=', '-'));
    QCOMPARE(found.size(), 1);
    QCOMPARE(client.signIn(QStringLiteral("demo"), QStringLiteral("demo")).object().value(QStringLiteral("language")),
             QJsonValue(QStringLiteral("ru")));
    // No second seeding: the restart kept the database as it was.
    QVERIFY(!m_service.log().contains(QStringLiteral("demonstration data")));
    QVERIFY(oldUrl.startsWith(QStringLiteral("http://127.0.0.1:")));
    m_demo->setToken(client.token());
    m_demo = std::make_unique<ServiceClient>(m_service.baseUrl());
    m_demo->setToken(client.token());
}

void TestServiceRobustness::committedWritesReachTheDatabaseFile()
{
    // Commits leave the copying of the log into the file to a thread of the
    // pool's; the file must still receive them while the pool is in use.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("copied.db"));
    localservice::ConnectionPool pool(path.toStdString(), 64);
    pool.lease().db().execute("CREATE TABLE blobs (bytes BLOB)");
    const std::string payload(64 * 1024, 'x');
    for (int i = 0; i < 64; ++i) {
        const localservice::ConnectionPool::Lease lease = pool.lease();
        localservice::Database::Transaction transaction(lease.db());
        lease.db().prepare("INSERT INTO blobs VALUES (?)").bind(1, localservice::Blob{payload}).run();
        transaction.commit();
    }
    QTRY_VERIFY2(QFileInfo(path).size() > 64 * qint64(payload.size()),
                 qPrintable(QStringLiteral("the file holds %1 bytes").arg(QFileInfo(path).size())));
}

void TestServiceRobustness::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");

    QTest::newRow("no arguments") << QStringList{} << 2 << "--port";
    QTest::newRow("no database") << QStringList{"--port", "0"} << 2 << "--db";
    QTest::newRow("port not a number") << QStringList{"--port", "http", "--db", "x.db"} << 2 << "port";
    QTest::newRow("port out of range") << QStringList{"--port", "70000", "--db", "x.db"} << 2 << "port";
    QTest::newRow("unknown option") << QStringList{"--port", "0", "--db", "x.db", "--verbose", "1"} << 2 << "--verbose";
    QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage";
    QTest::newRow("sessions that never last")
        << QStringList{"--port", "0", "--db", "x.db", "--token-idle-seconds", "0"} << 2 << "--token-idle-seconds";
    QTest::newRow("database in a missing folder")
        << QStringList{"--port", "0", "--db", "/nonexistent/dir/x.db"} << 1 << "x.db";
}

void TestServiceRobustness::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QProcess program;
    program.start(LocalServiceProcess::programPath(), arguments);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitCode(), exitCode);
    const QString output = QString::fromUtf8(program.readAllStandardOutput());
    const QString errors = QString::fromUtf8(program.readAllStandardError());
    // Help goes to standard output; a refusal only to standard error, so a
    // caller reading the address never mistakes it for one.
    QVERIFY2((exitCode == 0 ? output : errors).contains(said), qPrintable(output + errors));
    if (exitCode != 0)
        QVERIFY(output.isEmpty());
}

QTEST_GUILESS_MAIN(TestServiceRobustness)
#include "tst_servicerobustness.moc"
