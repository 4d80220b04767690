// Recordings, remote devices and commands of the local service over HTTP.
#include "ServiceClient.h"
#include "support/LocalServiceProcess.h"

#include <QtEndian>
#include <QtTest>

#include <thread>

namespace {

QString idOf(const QJsonValue& value)
{
    return value.toObject().value(QStringLiteral("id")).toString();
}

QByteArray withField(QByteArray wav, int offset, quint32 value, int bytes)
{
    if (bytes == 2)
        qToLittleEndian<quint16>(static_cast<quint16>(value), wav.data() + offset);
    else
        qToLittleEndian<quint32>(value, wav.data() + offset);
    return wav;
}

} // namespace

class TestServiceRecords : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void uploadStoresTheRecording();
    void uploadRefusals_data();
    void uploadRefusals();
    void deletingKeepsLastRecordAtCurrent();
    void deviceLifecycle();
    void commandRefusals();
    void commandIsReportedDoneLater();
    void aReportSeenByParallelRequestsIsStoredOnce();

private:
    QJsonObject newPatient(const QString& name);

    LocalServiceProcess m_service{{QStringLiteral("--command-seconds"), QStringLiteral("1")}};
    std::unique_ptr<ServiceClient> m_demo;
};

void TestServiceRecords::initTestCase()
{
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    m_demo = std::make_unique<ServiceClient>(m_service.baseUrl());
    QCOMPARE(m_demo->signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
}

QJsonObject TestServiceRecords::newPatient(const QString& name)
{
    const ServiceAnswer answer =
        m_demo->post(QStringLiteral("/patient"), {{"name", name}, {"birthDate", "1970-01-01"}, {"gender", "MALE"}});
    return answer.object();
}

void TestServiceRecords::uploadStoresTheRecording()
{
    const QString patientId = newPatient(QStringLiteral("Upload Target")).value(QStringLiteral("id")).toString();
    QVERIFY(m_demo->get(QStringLiteral("/record/") + patientId).array().isEmpty());

    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    const ServiceAnswer answer =
        m_demo->upload(patientId, sensorWav(sineSamples(440)), "0d8c0001-2222-4333-8444-555566667777");
    QCOMPARE(answer.status, 201);
    const QJsonObject record = answer.object();
    QCOMPARE(record.value(QStringLiteral("patientId")).toString(), patientId);
    QCOMPARE(record.value(QStringLiteral("doctorName")).toString(), QStringLiteral("Dr. Demo"));
    QCOMPARE(record.value(QStringLiteral("editable")).toBool(), true);
    QCOMPARE(record.value(QStringLiteral("questionnaire")).toBool(), false);
    QCOMPARE(record.value(QStringLiteral("sensorId")).toString(),
             QStringLiteral("0d8c0001-2222-4333-8444-555566667777"));
    const QDateTime recordedAt =
        QDateTime::fromString(record.value(QStringLiteral("recordedAt")).toString(), Qt::ISODate);
    QVERIFY(recordedAt >= before && recordedAt <= QDateTime::currentDateTime().addSecs(1));

    // Without a sensor the header comes empty, and that is accepted too.
    QCOMPARE(m_demo->upload(patientId, sensorWav(sineSamples(880)), QByteArray()).status, 201);

    const QJsonArray records = m_demo->get(QStringLiteral("/record/") + patientId).array();
    QCOMPARE(records.size(), 2);
    QCOMPARE(records.first().toObject(), record); // oldest first, as the upload answered it
    const QJsonObject patient = m_demo
                                    ->patients(QStringLiteral("size=100&searchby=name&needle=") +
                                               QString::fromLatin1(QByteArray("Upload Target").toBase64()))
                                    .first()
                                    .toObject();
    QCOMPARE(patient.value(QStringLiteral("lastRecordAt")).toString(),
             records.last().toObject().value(QStringLiteral("recordedAt")).toString());
}

void TestServiceRecords::uploadRefusals_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("messagePart");
    QTest::addColumn<QByteArray>("sensor");

    const QByteArray good = sensorWav(sineSamples(440));
    // Not UTF-8: refused before anything is stored, and the list stays readable.
    QTest::newRow("sensor id not UTF-8") << good << "sensor" << QByteArray("5e45\xff\xfe");
    QTest::newRow("empty file") << QByteArray() << "WAV" << QByteArray("sensor");
    QTest::newRow("header only, no samples") << sensorWav({}) << "no samples" << QByteArray("sensor");
    QTest::newRow("truncated header") << good.left(30) << "WAV" << QByteArray("sensor");
    QTest::newRow("not RIFF") << QByteArray(good).replace(0, 4, "RIFX") << "WAV" << QByteArray("sensor");
    QTest::newRow("stereo") << withField(good, 22, 2, 2) << "mono" << QByteArray("sensor");
    QTest::newRow("44100 Hz") << withField(withField(good, 24, 44100, 4), 28, 44100, 4) << "22050"
                              << QByteArray("sensor");
    QTest::newRow("16 bits") << withField(good, 34, 16, 2) << "8-bit" << QByteArray("sensor");
    QTest::newRow("not PCM") << withField(good, 20, 3, 2) << "PCM" << QByteArray("sensor");
    QTest::newRow("data size lies") << withField(good, 40, 1000, 4) << "data" << QByteArray("sensor");
    QTest::newRow("an mp3 named record") << QByteArray("ID3\x03\x00\x00\x00\x00\x00\x21", 10) + QByteArray(5000, 'x')
                                         << "WAV" << QByteArray("sensor");
}

void TestServiceRecords::uploadRefusals()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, messagePart);
    QFETCH(QByteArray, sensor);
    const QString patientId = idOf(m_demo->patients().first());
    const int before = m_demo->get(QStringLiteral("/record/") + patientId).array().size();
    const ServiceAnswer answer = m_demo->upload(patientId, file, sensor);
    QCOMPARE(answer.status, 400);
    QVERIFY2(answer.message().contains(messagePart, Qt::CaseInsensitive), qPrintable(answer.message()));
    const ServiceAnswer list = m_demo->get(QStringLiteral("/record/") + patientId);
    QCOMPARE(list.status, 200);
    QCOMPARE(list.array().size(), before);
}

void TestServiceRecords::deletingKeepsLastRecordAtCurrent()
{
    const QString patientId = newPatient(QStringLiteral("Delete Target")).value(QStringLiteral("id")).toString();
    const QString first = idOf(m_demo->upload(patientId, sensorWav(sineSamples(300))).object());
    QTest::qWait(1100); // the two recordings need different seconds
    const QString second = idOf(m_demo->upload(patientId, sensorWav(sineSamples(600))).object());
    const auto lastRecordAt = [&] {
        for (const QJsonValue& value : m_demo->patients()) {
            if (idOf(value) == patientId)
                return value.toObject().value(QStringLiteral("lastRecordAt"));
        }
        return QJsonValue(QJsonValue::Undefined);
    };
    const QJsonArray records = m_demo->get(QStringLiteral("/record/") + patientId).array();
    QCOMPARE(lastRecordAt().toString(), records.last().toObject().value(QStringLiteral("recordedAt")).toString());

    QCOMPARE(m_demo->remove(QStringLiteral("/record/%1/%2").arg(patientId, second)).status, 200);
    QCOMPARE(lastRecordAt().toString(), records.first().toObject().value(QStringLiteral("recordedAt")).toString());
    // A record id under another patient's path is not found.
    const QString otherPatient = idOf(m_demo->patients().first());
    QCOMPARE(m_demo->remove(QStringLiteral("/record/%1/%2").arg(otherPatient, first)).status, 404);
    QCOMPARE(m_demo->remove(QStringLiteral("/record/%1/%2").arg(patientId, first)).status, 200);
    QVERIFY(lastRecordAt().isNull());
    QCOMPARE(m_demo->remove(QStringLiteral("/record/%1/%2").arg(patientId, first)).status, 404);
}

void TestServiceRecords::deviceLifecycle()
{
    const QString patientId = newPatient(QStringLiteral("Device Owner")).value(QStringLiteral("id")).toString();
    const auto patient = [&] {
        for (const QJsonValue& value : m_demo->patients()) {
            if (idOf(value) == patientId)
                return value.toObject();
        }
        return QJsonObject();
    };
    QCOMPARE(m_demo->put(QStringLiteral("/patient/device"), {{"patientId", patientId}}).status, 409);

    const QJsonObject bind{{"patientId", patientId}, {"deviceId", "0d8c0001-aaaa-4bbb-8ccc-000000000042"}};
    QCOMPARE(m_demo->post(QStringLiteral("/patient/device"), bind).status, 200);
    QCOMPARE(patient().value(QStringLiteral("hasDevices")).toBool(), true);
    QCOMPARE(patient().value(QStringLiteral("isEnabled")).toBool(), true);

    QCOMPARE(m_demo->put(QStringLiteral("/patient/device"), {{"patientId", patientId}}).status, 200);
    QCOMPARE(patient().value(QStringLiteral("isEnabled")).toBool(), false);
    QCOMPARE(m_demo->put(QStringLiteral("/patient/device"), {{"patientId", patientId}}).status, 200);
    QCOMPARE(patient().value(QStringLiteral("isEnabled")).toBool(), true);

    // One device serves one patient.
    const QString otherId = newPatient(QStringLiteral("Device Thief")).value(QStringLiteral("id")).toString();
    const ServiceAnswer taken =
        m_demo->post(QStringLiteral("/patient/device"), {{"patientId", otherId}, {"deviceId", bind.value("deviceId")}});
    QCOMPARE(taken.status, 409);
    QVERIFY(taken.isJsonError());

    QCOMPARE(m_demo->remove(QStringLiteral("/patient/device/") + patientId).status, 200);
    QCOMPARE(patient().value(QStringLiteral("hasDevices")).toBool(), false);
    QCOMPARE(m_demo->remove(QStringLiteral("/patient/device/") + patientId).status, 409);
    // Once free, the device can go to the other patient.
    QCOMPARE(
        m_demo->post(QStringLiteral("/patient/device"), {{"patientId", otherId}, {"deviceId", bind.value("deviceId")}})
            .status,
        200);
}

void TestServiceRecords::commandRefusals()
{
    const QString patientId = newPatient(QStringLiteral("Command Refusals")).value(QStringLiteral("id")).toString();
    const QJsonObject record{{"patientId", patientId}, {"command", "RECORD"}};
    QCOMPARE(m_demo->post(QStringLiteral("/command"), record).status, 409); // no device

    QCOMPARE(m_demo->post(QStringLiteral("/patient/device"), {{"patientId", patientId}, {"deviceId", "dev-refusals"}})
                 .status,
             200);
    QCOMPARE(m_demo->post(QStringLiteral("/command"), {{"patientId", patientId}, {"command", "record"}}).status, 400);
    QCOMPARE(
        m_demo
            ->post(QStringLiteral("/command"), {{"patientId", patientId}, {"command", "RECORD"}, {"recordId", "nope"}})
            .status,
        404);
    QCOMPARE(m_demo->put(QStringLiteral("/patient/device"), {{"patientId", patientId}}).status, 200); // block
    const ServiceAnswer blocked = m_demo->post(QStringLiteral("/command"), record);
    QCOMPARE(blocked.status, 409);
    QVERIFY(blocked.message().contains(QStringLiteral("blocked")));
}

void TestServiceRecords::commandIsReportedDoneLater()
{
    const QString patientId = newPatient(QStringLiteral("Remote Recorder")).value(QStringLiteral("id")).toString();
    QCOMPARE(
        m_demo->post(QStringLiteral("/patient/device"), {{"patientId", patientId}, {"deviceId", "dev-remote"}}).status,
        200);
    const auto patient = [&] {
        for (const QJsonValue& value : m_demo->patients()) {
            if (idOf(value) == patientId)
                return value.toObject();
        }
        return QJsonObject();
    };

    QCOMPARE(m_demo->post(QStringLiteral("/command"), {{"patientId", patientId}, {"command", "RECORD"}}).status, 200);
    QCOMPARE(patient().value(QStringLiteral("command")).toString(), QStringLiteral("RECORD"));
    QCOMPARE(patient().value(QStringLiteral("isComplete")).toBool(), false);
    // The device reports after a second, with the recording it made.
    QTRY_VERIFY_WITH_TIMEOUT(patient().value(QStringLiteral("isComplete")).toBool(), 5000);
    const QJsonArray records = m_demo->get(QStringLiteral("/record/") + patientId).array();
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.first().toObject().value(QStringLiteral("editable")).toBool(), false);
    QCOMPARE(records.first().toObject().value(QStringLiteral("sensorId")).toString(), QStringLiteral("dev-remote"));

    // The self-recipe word of the client is stored as the word it reads.
    QCOMPARE(m_demo->post(QStringLiteral("/command"), {{"patientId", patientId}, {"command", "SELFRECIPE"}}).status,
             200);
    QCOMPARE(patient().value(QStringLiteral("command")).toString(), QStringLiteral("SELF_RECIPE"));
    QCOMPARE(patient().value(QStringLiteral("isComplete")).toBool(), false);

    QCOMPARE(m_demo->remove(QStringLiteral("/command/") + patientId).status, 200);
    QCOMPARE(patient().value(QStringLiteral("command")).toString(), QString());
    QTest::qWait(1200);
    // A withdrawn command is never reported, and brings no recording.
    QCOMPARE(patient().value(QStringLiteral("isComplete")).toBool(), false);
    QCOMPARE(m_demo->get(QStringLiteral("/record/") + patientId).array().size(), 1);
}

void TestServiceRecords::aReportSeenByParallelRequestsIsStoredOnce()
{
    const QString patientId = newPatient(QStringLiteral("Parallel Reporter")).value(QStringLiteral("id")).toString();
    QCOMPARE(m_demo->post(QStringLiteral("/patient/device"), {{"patientId", patientId}, {"deviceId", "dev-parallel"}})
                 .status,
             200);
    QCOMPARE(m_demo->post(QStringLiteral("/command"), {{"patientId", patientId}, {"command", "RECORD"}}).status, 200);
    // Nothing may ask in the meantime: the report must be due when the
    // parallel requests arrive.
    QTest::qWait(1200);

    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&, i] {
            ServiceClient client(m_service.baseUrl());
            client.setToken(m_demo->token());
            const ServiceAnswer answer = i % 2 ? client.get(QStringLiteral("/record/") + patientId)
                                               : client.get(QStringLiteral("/patient/filter?size=5"));
            if (answer.status != 200)
                ++failures;
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    QCOMPARE(failures.load(), 0);
    QCOMPARE(m_demo->get(QStringLiteral("/record/") + patientId).array().size(), 1);
}

QTEST_GUILESS_MAIN(TestServiceRecords)
#include "tst_servicerecords.moc"
