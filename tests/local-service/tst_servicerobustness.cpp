// The local service under bad input, parallel load and restarts: it refuses
// with a 4xx JSON error, never a crash or a 500, and keeps its data.
#include "ServiceClient.h"
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
    void dataSurvivesARestart();
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
        // Refused before parsing: either would cost far more than its size.
        {"nested a thousand deep", "{\"x\": " + QByteArray(1000, '[') + QByteArray(1000, ']') + "}"},
        {"two hundred thousand values", "{\"x\": [" + QByteArray("[],").repeated(200000) + "[]]}"},
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
