// The local service under bad input, parallel load and restarts: it refuses
// with a 4xx JSON error, never a crash or a 500, and keeps its data.
#include "ServiceClient.h"
#include "storage/ConnectionPool.h"
#include "storage/Samples.h"
#include "storage/Schema.h"
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
    // Before the slow sign-in, which leaves "second" unable to sign in.
    void removalHoldsUpNoOtherWriter();
    void slowSignInHoldsUpNoOtherAccount();
    void removedSamplesArePurgedInRounds_data();
    void removedSamplesArePurgedInRounds();
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

// A patient with a hundred long recordings is removed while another
// practitioner writes: the removal answers at once and the recordings' bytes
// go afterwards, a round at a time, between the other's writes.
void TestServiceRobustness::removalHoldsUpNoOtherWriter()
{
    const QString patientId =
        m_demo
            ->post(QStringLiteral("/patient"),
                   {{"name", "Many Recordings"}, {"birthDate", "1950-05-05"}, {"gender", "FEMALE"}})
            .object()
            .value(QStringLiteral("id"))
            .toString();
    const std::string thirtySeconds(std::size_t(661500), '\x80');
    localservice::Database db(m_service.databasePath().toStdString());
    {
        localservice::Database::Transaction transaction(db);
        for (int i = 0; i < 100; ++i) {
            const std::int64_t samples = localservice::storeSamples(db, thirtySeconds);
            db.prepare("INSERT INTO records (id, patient_id, doctor_name, recorded_at, sensor_id, editable, "
                       "samples_id) VALUES (?, ?, 'Dr. Long', ?, '', 1, ?)")
                .bind(1, "long-" + std::to_string(i))
                .bind(2, patientId.toStdString())
                .bind(3, std::int64_t(i))
                .bind(4, samples)
                .run();
        }
        transaction.commit();
    }
    const auto queued = [&db] {
        localservice::Statement count = db.prepare("SELECT COUNT(*) FROM samples_removed");
        return count.step() ? count.integer(0) : -1;
    };
    ServiceClient other(m_service.baseUrl());
    QCOMPARE(other.signIn(QStringLiteral("second"), QStringLiteral("second")).status, 200);

    QElapsedTimer purgeTime;
    purgeTime.start();
    std::future<int> removal = std::async(std::launch::async, [this, patientId] {
        ServiceClient owner(m_service.baseUrl());
        owner.setToken(m_demo->token());
        return owner.remove(QStringLiteral("/patient/") + patientId).status;
    });
    std::vector<double> latencies;
    bool removed = false;
    while (!removed || queued() > 0) {
        QElapsedTimer writeTime;
        writeTime.start();
        QCOMPARE(other
                     .post(QStringLiteral("/patient"),
                           {{"name", "Meanwhile"}, {"birthDate", "1990-01-01"}, {"gender", "MALE"}})
                     .status,
                 201);
        latencies.push_back(double(writeTime.nsecsElapsed()) / 1e6);
        QCoreApplication::processEvents(); // the service's log
        removed = removed || removal.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready;
        QVERIFY2(purgeTime.elapsed() < 60000, "the removed recordings are never purged");
    }
    const qint64 purgeMs = purgeTime.elapsed();
    QCOMPARE(removal.get(), 200);
    localservice::Statement left = db.prepare("SELECT COUNT(*) FROM samples WHERE length(bytes) = 661500");
    QVERIFY(left.step());
    QCOMPARE(left.integer(0), 0);
    const double slowest = *std::max_element(latencies.begin(), latencies.end());
    QVERIFY2(latencies.size() >= 5 && slowest < purgeMs / 4.0,
             qPrintable(QStringLiteral("%1 writes while 66 MB were removed in %2 ms, the slowest took %3 ms")
                            .arg(latencies.size())
                            .arg(purgeMs)
                            .arg(slowest)));
}

void TestServiceRobustness::removedSamplesArePurgedInRounds_data()
{
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<int>("budget");
    QTest::addColumn<QList<int>>("rounds"); // samples removed by each round
    QTest::newRow("two long recordings pass a megabyte")
        << QList<int>{661500, 661500, 661500} << (1 << 20) << QList<int>{2, 1};
    QTest::newRow("one larger than the budget still goes") << QList<int>{661500, 1000} << 1000 << QList<int>{1, 1};
    QTest::newRow("short ones go many at a time")
        << QVector<int>(300, 1000).toList() << (1 << 20) << QList<int>{256, 44};
    QTest::newRow("nothing queued") << QList<int>{} << (1 << 20) << QList<int>{0};
}

void TestServiceRobustness::removedSamplesArePurgedInRounds()
{
    QFETCH(QList<int>, sizes);
    QFETCH(int, budget);
    QFETCH(QList<int>, rounds);
    QTemporaryDir folder;
    localservice::Database db(folder.filePath(QStringLiteral("purged.db")).toStdString());
    localservice::ensureSchema(db);
    const std::int64_t kept = localservice::storeSamples(db, "kept");
    for (const int size : sizes) {
        const std::int64_t id = localservice::storeSamples(db, std::string(std::size_t(size), 'x'));
        db.prepare("INSERT INTO samples_removed (samples_id) VALUES (?)").bind(1, id).run();
    }
    const auto count = [&db](const char* table) {
        localservice::Statement query = db.prepare((std::string("SELECT COUNT(*) FROM ") + table).c_str());
        return query.step() ? int(query.integer(0)) : -1;
    };
    for (int round = 0; round < rounds.size(); ++round) {
        const int before = count("samples");
        const bool more = localservice::purgeRemovedSamples(db, std::size_t(budget));
        QCOMPARE(before - count("samples"), rounds[round]);
        QCOMPARE(more, round + 1 < rounds.size());
    }
    QCOMPARE(count("samples_removed"), 0);
    localservice::Statement stillThere = db.prepare("SELECT bytes FROM samples WHERE id = ?");
    stillThere.bind(1, kept);
    QVERIFY(stillThere.step());
    QCOMPARE(stillThere.blob(0), std::string("kept"));
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
