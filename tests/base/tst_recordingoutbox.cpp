// Recordings waiting for their upload: kept whole or not at all, readable by
// the computer's user alone, apart for each practitioner, and a file that is
// no recording neither shown nor sent nor deleted.
#include "base/RecordingOutbox.h"
#include "support/ScopedFileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kService = QStringLiteral("https://service.example:8443");
const QDateTime kNoon(QDate(2026, 3, 1), QTime(12, 0, 0, 250));

QByteArray wav(char sample)
{
    return QByteArray("RIFF") + QByteArray(66150, sample);
}

} // namespace

class RecordingOutboxTest : public QObject
{
    Q_OBJECT

private slots:
    void keptWholeForItsOwnerOnly();
    void waitingOfOnePatientOldestFirst();
    void apartForEachPractitioner_data();
    void apartForEachPractitioner();
    void fileThatIsNoRecordingIsLeftAlone_data();
    void fileThatIsNoRecordingIsLeftAlone();

private:
    QTemporaryDir m_root;
};

void RecordingOutboxTest::keptWholeForItsOwnerOnly()
{
    RecordingOutbox outbox(m_root.filePath("whole"), kService, "demo");
    if (ScopedFileSizeLimit::supported()) {
        QString onAFullDisk = QStringLiteral("not tried");
        {
            const ScopedFileSizeLimit limit(4096);
            onAFullDisk = outbox.keep("p1", "sensor", wav(1), kNoon);
        }
        QVERIFY(onAFullDisk.isEmpty());
        // Neither the recording nor a temporary file of it is left.
        QCOMPARE(QDir(outbox.folder()).entryList(QDir::Files), QStringList());
    }
    const QString path = outbox.keep("p1", "sensor", wav(1), kNoon);
    QVERIFY(!path.isEmpty());
    QCOMPARE(QDir(outbox.folder()).entryList(QDir::Files), QStringList{QFileInfo(path).fileName()});
#ifdef Q_OS_UNIX
    // The toolkit adds the bits of the user running it; the mode is in these.
    const QFile::Permissions ownerGroupOther(0x7077);
    QCOMPARE(QFile::permissions(path) & ownerGroupOther, QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(QFile::permissions(outbox.folder()) & ownerGroupOther,
             QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
#endif
    const QList<WaitingRecording> waiting = outbox.waiting("p1");
    QCOMPARE(waiting.size(), 1);
    QCOMPARE(waiting.first().path, path);
    QCOMPARE(waiting.first().sensorId, QStringLiteral("sensor"));
    QCOMPARE(waiting.first().recordedAt, kNoon);
    QCOMPARE(waiting.first().recording, wav(1));

    QVERIFY(outbox.remove(path));
    QVERIFY(outbox.waiting().isEmpty());

    // One the service refused is no longer listed, yet still there.
    const QString refused = outbox.keep("p1", "sensor", wav(1), kNoon);
    QVERIFY(outbox.setAside(refused));
    QVERIFY(outbox.waiting().isEmpty());
    QCOMPARE(QDir(outbox.folder()).entryList(QDir::Files).size(), 1);
}

void RecordingOutboxTest::waitingOfOnePatientOldestFirst()
{
    RecordingOutbox outbox(m_root.filePath("patients"), kService, "demo");
    for (const auto& [patient, sample, seconds] : {std::tuple{"p1", 3, 60}, {"p2", 2, 30}, {"p1", 1, 0}})
        outbox.keep(patient, "s", wav(char(sample)), kNoon.addSecs(seconds));
    QList<int> samples;
    for (const WaitingRecording& recording : outbox.waiting("p1"))
        samples << recording.recording.at(4);
    QCOMPARE(samples, (QList<int>{1, 3}));
}

void RecordingOutboxTest::apartForEachPractitioner_data()
{
    QTest::addColumn<QString>("service");
    QTest::addColumn<QString>("user");
    QTest::newRow("another practitioner") << kService << "second";
    QTest::newRow("same name on another service") << "https://other.example"
                                                  << "demo";
    QTest::newRow("name differing in case") << kService << "Demo";
    // The parts are kept apart: the address's end can't pass for the name's start.
    QTest::newRow("parts shifted") << "https://service.example:844"
                                   << "3demo";
}

void RecordingOutboxTest::apartForEachPractitioner()
{
    QFETCH(QString, service);
    QFETCH(QString, user);
    const QString root = m_root.filePath("accounts");
    RecordingOutbox demo(root, kService, "demo");
    const QString path = demo.keep("p1", "s", wav(1), kNoon);
    RecordingOutbox other(root, service, user);

    QVERIFY(other.folder() != demo.folder());
    QVERIFY(other.waiting("p1").isEmpty());
    // Nor can one practitioner's outbox delete a file of another's.
    QVERIFY(!other.remove(path));
    QVERIFY(QFile::exists(path));
    // Neither the name nor the address shows on disk.
    const QString folderName = QFileInfo(other.folder()).fileName();
    QVERIFY(!folderName.contains(user, Qt::CaseInsensitive) && !folderName.contains("example"));
}

void RecordingOutboxTest::fileThatIsNoRecordingIsLeftAlone_data()
{
    QTest::addColumn<QByteArray>("contents");
    const QByteArray good = RecordingOutbox::encode({{}, "p1", "s", kNoon, wav(1)});
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("no particulars") << wav(1);
    QTest::newRow("cut short") << good.left(good.size() - 1);
    QTest::newRow("particulars not JSON") << QByteArray("{patientId: p1}\n") + wav(1);
    QTest::newRow("no patient") << RecordingOutbox::encode({{}, {}, "s", kNoon, wav(1)});
}

void RecordingOutboxTest::fileThatIsNoRecordingIsLeftAlone()
{
    QFETCH(QByteArray, contents);
    RecordingOutbox outbox(m_root.filePath(QTest::currentDataTag()), kService, "demo");
    const QString kept = outbox.keep("p1", "s", wav(2), kNoon);
    QFile broken(QDir(outbox.folder()).filePath("broken.recording"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write(contents);
    broken.close();

    const QList<WaitingRecording> waiting = outbox.waiting("p1");
    QCOMPARE(waiting.size(), 1);
    QCOMPARE(waiting.first().path, kept);
    QVERIFY(broken.exists());
}

QTEST_GUILESS_MAIN(RecordingOutboxTest)
#include "tst_recordingoutbox.moc"
