// Writers of the local service hold no one else up: a slow sign-in no other
// account's reads, the removal of many recordings no other practitioner's
// writes (its samples are purged afterwards, a round at a time), and what
// they commit reaches the database file.
#include "ServiceClient.h"
#include "storage/ConnectionPool.h"
#include "storage/Samples.h"
#include "storage/Schema.h"
#include "support/LocalServiceProcess.h"

#include <QtTest>

#include <atomic>
#include <future>
#include <sqlite3.h>

class TestServiceWriters : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    // Before the slow sign-in, which leaves "second" unable to sign in.
    void removalHoldsUpNoOtherWriter();
    void slowSignInHoldsUpNoOtherAccount();
    void removedSamplesArePurgedInRounds_data();
    void removedSamplesArePurgedInRounds();
    void committedWritesReachTheDatabaseFile();
    void queuedWritesShareACommit_data();
    void queuedWritesShareACommit();

private:
    LocalServiceProcess m_service;
    std::unique_ptr<ServiceClient> m_demo;
};

void TestServiceWriters::initTestCase()
{
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    m_demo = std::make_unique<ServiceClient>(m_service.baseUrl());
    QCOMPARE(m_demo->signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
}

void TestServiceWriters::slowSignInHoldsUpNoOtherAccount()
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
void TestServiceWriters::removalHoldsUpNoOtherWriter()
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

void TestServiceWriters::removedSamplesArePurgedInRounds_data()
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

void TestServiceWriters::removedSamplesArePurgedInRounds()
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

void TestServiceWriters::committedWritesReachTheDatabaseFile()
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
    // The log is copied once it has grown past its threshold, so the newest
    // commits may still wait in it; most of them must have reached the file.
    QTRY_VERIFY2_WITH_TIMEOUT(QFileInfo(path).size() > 32 * qint64(payload.size()),
                              qPrintable(QStringLiteral("the file holds %1 bytes").arg(QFileInfo(path).size())), 20000);
}

namespace {

int countCommit(void* commits)
{
    ++*static_cast<std::atomic<int>*>(commits);
    return 0; // go on with the commit
}

} // namespace

void TestServiceWriters::queuedWritesShareACommit_data()
{
    // What each unit does after adding its row, in the order they queue:
    // "keep", "refuse" (its savepoint undone, as a refusal's is), "throw",
    // "lose" (the whole transaction rolled back, as a full disk does), or
    // "apart": a writer on a connection of its own, which no group joins.
    QTest::addColumn<QStringList>("units");
    QTest::addColumn<QList<bool>>("told");   // what finish() says; a thrower is not told
    QTest::addColumn<QStringList>("stored"); // rows of the units, "u0".. in order
    QTest::addColumn<int>("commits");        // on the connection the groups share
    QTest::newRow("queued units commit once")
        << QStringList{"keep", "keep", "keep", "keep"} << QList<bool>{true, true, true, true}
        << QStringList{"u0", "u1", "u2", "u3"} << 1;
    QTest::newRow("a writer apart ends the group before it")
        << QStringList{"keep", "apart", "keep"} << QList<bool>{true, true, true} << QStringList{"u0", "u1", "u2"} << 2;
    QTest::newRow("a refused unit stores nothing of its own")
        << QStringList{"keep", "refuse", "keep"} << QList<bool>{true, true, true} << QStringList{"u0", "u2"} << 1;
    QTest::newRow("a unit that throws stores nothing, the others are kept")
        << QStringList{"keep", "throw", "keep"} << QList<bool>{true, false, true} << QStringList{"u0", "u2"} << 1;
    QTest::newRow("a lost transaction is told to its units, the next unit starts afresh")
        << QStringList{"keep", "lose", "keep"} << QList<bool>{false, false, true} << QStringList{"u2"} << 1;
}

void TestServiceWriters::queuedWritesShareACommit()
{
    QFETCH(QStringList, units);
    QFETCH(QList<bool>, told);
    QFETCH(QStringList, stored);
    QFETCH(int, commits);
    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("grouped.db")).toStdString();
    localservice::ConnectionPool pool(path);
    pool.lease().db().execute("CREATE TABLE rows (name TEXT)");
    std::atomic<int> commitCount{0};

    // A writer of the pool's holds the turn until every unit waits behind it.
    const localservice::ConnectionPool::Lease holder = pool.lease();
    auto holding = std::make_unique<localservice::Database::Transaction>(holder.db());
    std::vector<std::future<int>> results; // 1 stored, 0 not, -1 threw
    std::vector<bool> visibleAfterFinish(size_t(units.size()), false);
    for (int i = 0; i < units.size(); ++i) {
        results.push_back(std::async(std::launch::async, [&, i] {
            const std::string name = "u" + std::to_string(i);
            try {
                if (units[i] == QLatin1String("apart")) {
                    const localservice::ConnectionPool::Lease own = pool.lease();
                    localservice::Database::Transaction apart(own.db());
                    own.db().prepare("INSERT INTO rows VALUES (?)").bind(1, name).run();
                    apart.commit();
                    visibleAfterFinish[size_t(i)] = true;
                    return 1;
                }
                localservice::ConnectionPool::GroupedWrite write(pool);
                sqlite3_commit_hook(write.db().handle(), countCommit, &commitCount);
                {
                    localservice::Database::Transaction unit(write.db());
                    write.db().prepare("INSERT INTO rows VALUES (?)").bind(1, name).run();
                    if (units[i] == QLatin1String("throw"))
                        throw std::runtime_error("the unit failed");
                    if (units[i] == QLatin1String("lose"))
                        write.db().execute("ROLLBACK");
                    else if (units[i] != QLatin1String("refuse"))
                        unit.commit();
                }
                const bool committed = write.finish();
                // Once told, another connection finds the unit's row.
                localservice::Database reader(path);
                localservice::Statement row = reader.prepare("SELECT 1 FROM rows WHERE name = ?");
                row.bind(1, name);
                visibleAfterFinish[size_t(i)] = row.step();
                return committed ? 1 : 0;
            } catch (const std::runtime_error&) {
                return -1;
            }
        }));
        QTRY_COMPARE(pool.writersWaiting(), size_t(i + 1));
    }
    holding->commit();
    holding.reset();

    QStringList found;
    for (int i = 0; i < units.size(); ++i) {
        const int result = results[size_t(i)].get();
        QCOMPARE(result, units[i] == QLatin1String("throw") ? -1 : int(told[i]));
        if (stored.contains(QStringLiteral("u%1").arg(i)))
            QVERIFY2(visibleAfterFinish[size_t(i)], qPrintable(units[i]));
    }
    localservice::Database reader(path);
    localservice::Statement rows = reader.prepare("SELECT name FROM rows ORDER BY name");
    while (rows.step())
        found.append(QString::fromStdString(rows.text(0)));
    QCOMPARE(found, stored);
    QCOMPARE(commitCount.load(), commits);
}

QTEST_GUILESS_MAIN(TestServiceWriters)
#include "tst_servicewriters.moc"
