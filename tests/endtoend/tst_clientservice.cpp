// The client's service calls against the running local service: every
// operation, each answer read by the client's own records. What passes here
// is what the screens get.
#include "base/Account.h"
#include "data/Category.h"
#include "data/Marker.h"
#include "data/Patient.h"
#include "data/Record.h"
#include "local-service/ServiceClient.h"
#include "net/AudioBlocks.h"
#include "support/ControllerOutcome.h"
#include "support/LocalServiceProcess.h"
#include "support/ServiceTestEnvironment.h"
#include "support/WorkingDirectory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

QByteArray json(const QJsonObject& object)
{
    return QJsonDocument(object).toJson();
}

// Three seconds of a tone as the recorder saves it.
QByteArray recording(double frequencyHz)
{
    return sensorWav(sineSamples(frequencyHz));
}

} // namespace

class TestClientService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void signInFillsTheAccount();
    void patientsPageAndSearch();
    void patientCreateEditRemove();
    void recordsUploadListDelete();
    void devicesAndCommands();
    void analysesAndCatalogues();
    void recipeAndImpactAudio();
    void questionnaireAndExport();
    void accountCalls();
    void refusalsReachTheCaller();

private:
    // Runs one call on a fresh controller and waits for its report.
    std::unique_ptr<ControllerOutcome> call(const std::function<void(Controller&)>& operation);
    QList<Patient> patients(const QString& searchText = QString());
    Patient patientNamed(const QString& name);
    QList<Record> records(const Patient& patient);

    LocalServiceProcess m_service{{QStringLiteral("--command-seconds"), QStringLiteral("1")}};
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    std::unique_ptr<ScopedWorkingDirectory> m_workingDirectory;
    Patient m_patient; // made by these tests, removed at the end
};

void TestClientService::initTestCase()
{
    m_workingDirectory = std::make_unique<ScopedWorkingDirectory>();
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service.baseUrl(), 20000);
    Account::instance().fromJson({}); // signed out until the first test signs in
}

void TestClientService::cleanupTestCase()
{
    m_environment.reset();
    QVERIFY2(m_service.stop(), qPrintable(m_service.errorText()));
}

std::unique_ptr<ControllerOutcome> TestClientService::call(const std::function<void(Controller&)>& operation)
{
    return ControllerOutcome::of(operation);
}

QList<Patient> TestClientService::patients(const QString& searchText)
{
    const auto outcome = call([&](Controller& c) { c.filterPatients("name", "asc", 100, 0, "name", searchText); });
    QList<Patient> list;
    for (const QJsonValue& value : QJsonDocument::fromJson(outcome->bytes).object().value("data").toArray())
        list.append(Patient(value.toObject()));
    return list;
}

Patient TestClientService::patientNamed(const QString& name)
{
    const QList<Patient> found = patients(name);
    return found.size() == 1 ? found.first() : Patient();
}

QList<Record> TestClientService::records(const Patient& patient)
{
    const auto outcome = call([&](Controller& c) { c.getRecords(patient); });
    QList<Record> list;
    for (const QJsonValue& value : QJsonDocument::fromJson(outcome->bytes).array())
        list.append(Record(value.toObject()));
    return list;
}

void TestClientService::signInFillsTheAccount()
{
    const auto outcome = call([](Controller& c) {
        c.login({{QStringLiteral("username"), QStringLiteral("demo")},
                 {QStringLiteral("password"), QStringLiteral("demo")}});
    });
    QCOMPARE(outcome->signalNames, QStringList{QStringLiteral("onSuccess")});
    QCOMPARE(Account::instance().localeName(), QStringLiteral("en_US"));
    QVERIFY(Account::instance().authorization().startsWith("Bearer "));
    QVERIFY(Account::instance().authorization().size() > 40);
}

void TestClientService::patientsPageAndSearch()
{
    const auto outcome = call([](Controller& c) { c.filterPatients("name", "asc", 20, 1, "name", QString()); });
    QCOMPARE(outcome->signalNames, QStringList{QStringLiteral("onBytes")});
    const QJsonObject envelope = QJsonDocument::fromJson(outcome->bytes).object();
    QCOMPARE(envelope.value("pages").toInt(), 3);
    const QJsonArray page = envelope.value("data").toArray();
    QCOMPARE(page.size(), 20);
    for (const QJsonValue& value : page) {
        const Patient patient(value.toObject());
        QCOMPARE(patient.id().size(), 36);
        QVERIFY(!patient.name().isEmpty());
        QVERIFY(patient.birthDate().isValid());
        QVERIFY(patient.age() > 0);
        // A patient without recordings has no last one.
        const bool recorded = !records(patient).isEmpty();
        QCOMPARE(QDateTime::fromString(patient.lastRecordAt(), QStringLiteral("yyyy-MM-dd HH:mm:ss")).isValid(),
                 recorded);
        QCOMPARE(patient.lastRecordAt().isEmpty(), !recorded);
    }

    // The client's needle, Cyrillic and in another case, finds the one patient.
    const QList<Patient> found = patients(QStringLiteral("смирнов"));
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.first().name(), QStringLiteral("Алексей Смирнов"));

    // The seed shows every device state the list tells apart.
    QSet<int> states;
    for (const Patient& patient : patients())
        states << static_cast<int>(patient.deviceState());
    QCOMPARE(states.size(), 6);
}

void TestClientService::patientCreateEditRemove()
{
    Patient draft;
    draft.setName(QStringLiteral("Клиент Сквозной"));
    draft.setGender(QStringLiteral("FEMALE"));
    draft.setBirthDate(17, 5, 1984);
    draft.setPhone(QStringLiteral("+7 900 111-22-33"));
    draft.setNotes(QStringLiteral("End-to-end"));
    auto outcome = call([&](Controller& c) { c.createPatient(draft); });
    QCOMPARE(outcome->signalNames, QStringList{QStringLiteral("onBytes")});
    m_patient = Patient(QJsonDocument::fromJson(outcome->bytes).object());
    QCOMPARE(m_patient.id().size(), 36);
    QCOMPARE(m_patient.name(), draft.name());
    QCOMPARE(m_patient.birthDate(), QDate(1984, 5, 17));
    QCOMPARE(m_patient.deviceState(), DeviceState::NotConnected);

    Patient edited = m_patient;
    edited.setNotes(QStringLiteral("Edited from the client"));
    outcome = call([&](Controller& c) { c.editPatient(edited); });
    QCOMPARE(outcome->signalNames, QStringList{QStringLiteral("onBytes")});
    QCOMPARE(Patient(QJsonDocument::fromJson(outcome->bytes).object()).notes(),
             QStringLiteral("Edited from the client"));
    QCOMPARE(patientNamed(QStringLiteral("Сквозной")).notes(), QStringLiteral("Edited from the client"));

    // A throwaway patient goes; ours stays for the other tests.
    Patient throwaway;
    throwaway.setName(QStringLiteral("Throwaway"));
    throwaway.setGender(QStringLiteral("MALE"));
    throwaway.setBirthDate(1, 1, 2001);
    const Patient stored(
        QJsonDocument::fromJson(call([&](Controller& c) { c.createPatient(throwaway); })->bytes).object());
    outcome = call([&](Controller& c) { c.removePatient(stored); });
    QCOMPARE(outcome->signalNames, QStringList{QStringLiteral("onSuccess")});
    QVERIFY(patients(QStringLiteral("Throwaway")).isEmpty());
}

void TestClientService::recordsUploadListDelete()
{
    QVERIFY(!m_patient.id().isEmpty());
    const auto uploaded =
        call([&](Controller& c) { c.uploadRecord(m_patient, recording(440), "0d8c0001-2222-4333-8444-555566667777"); });
    QCOMPARE(uploaded->signalNames, QStringList{QStringLiteral("onBytes")});
    const Record first(QJsonDocument::fromJson(uploaded->bytes).object());
    QCOMPARE(first.patientId(), m_patient.id());
    QCOMPARE(first.doctorName(), QStringLiteral("Dr. Demo"));
    QVERIFY(first.editable());
    QVERIFY(QDateTime::fromString(first.recordedAt(), QStringLiteral("yyyy-MM-dd HH:mm:ss")).isValid());

    const Record second(QJsonDocument::fromJson(
                            call([&](Controller& c) { c.uploadRecord(m_patient, recording(1200), QString()); })->bytes)
                            .object());
    QList<Record> list = records(m_patient);
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.first().id(), first.id());

    const auto deleted = call([&](Controller& c) { c.deleteRecord(second); });
    QCOMPARE(deleted->signalNames, QStringList{QStringLiteral("onSuccess")});
    list = records(m_patient);
    QCOMPARE(list.size(), 1);
    QCOMPARE(patientNamed(QStringLiteral("Сквозной")).lastRecordAt(), first.recordedAt());
}

void TestClientService::devicesAndCommands()
{
    const QString deviceId = QStringLiteral("0d8c0001-aaaa-4bbb-8ccc-0000000000e2");
    QCOMPARE(call([&](Controller& c) { c.connectDevice(m_patient, deviceId); })->signalNames,
             QStringList{QStringLiteral("onSuccess")});
    QCOMPARE(patientNamed(QStringLiteral("Сквозной")).deviceState(), DeviceState::NoCommand);

    QCOMPARE(call([&](Controller& c) { c.toggleDevice(m_patient); })->signalNames,
             QStringList{QStringLiteral("onSuccess")});
    QCOMPARE(patientNamed(QStringLiteral("Сквозной")).isEnabled(), false);
    // A blocked device takes no commands.
    auto refused = call([&](Controller& c) { c.sendCommand(m_patient, QStringLiteral("RECORD")); });
    QCOMPARE(refused->signalNames, QStringList{QStringLiteral("onError")});
    QVERIFY(refused->message.contains(QStringLiteral("blocked")));
    QCOMPARE(call([&](Controller& c) { c.toggleDevice(m_patient); })->signalNames,
             QStringList{QStringLiteral("onSuccess")});

    const Record record = records(m_patient).first();
    QCOMPARE(
        call([&](Controller& c) { c.sendCommand(m_patient, QStringLiteral("AUTOSPECTRUM"), &record); })->signalNames,
        QStringList{QStringLiteral("onSuccess")});
    QCOMPARE(patientNamed(QStringLiteral("Сквозной")).deviceState(), DeviceState::RecordInProgress);
    QTRY_COMPARE_WITH_TIMEOUT(patientNamed(QStringLiteral("Сквозной")).deviceState(), DeviceState::RecordComplete,
                              5000);
    QCOMPARE(records(m_patient).size(), 2); // the device's recording

    QCOMPARE(call([&](Controller& c) { c.deleteCommand(m_patient); })->signalNames,
             QStringList{QStringLiteral("onSuccess")});
    QCOMPARE(patientNamed(QStringLiteral("Сквозной")).deviceState(), DeviceState::NoCommand);
    QCOMPARE(call([&](Controller& c) { c.disconnectDevice(m_patient); })->signalNames,
             QStringList{QStringLiteral("onSuccess")});
    QCOMPARE(patientNamed(QStringLiteral("Сквозной")).deviceState(), DeviceState::NotConnected);
}

void TestClientService::analysesAndCatalogues()
{
    const QList<Record> list = records(m_patient);
    QJsonArray ids;
    for (const Record& record : list)
        ids.append(record.id());

    const auto loaded = call([&](Controller& c) { c.diagnosticCategories(m_patient); });
    QList<Category> categories;
    for (const QJsonValue& value : QJsonDocument::fromJson(loaded->bytes).array())
        categories.append(Category(value.toObject()));
    QVERIFY(categories.size() >= 3);
    QVERIFY(!categories.first().title().isEmpty());
    const Storage storage = categories.first().storages().first();
    QVERIFY(!storage.id().isEmpty());

    const QJsonObject body{{"patientId", m_patient.id()}, {"storageId", storage.id()}, {"records", ids}};
    const auto analysed = call([&](Controller& c) { c.analyse(json(body)); });
    QCOMPARE(analysed->signalNames, QStringList{QStringLiteral("onBytes")});
    const QJsonObject analysis = QJsonDocument::fromJson(analysed->bytes).object();
    QCOMPARE(analysis.value("columns").toArray().size(), list.size());
    const QJsonArray rows = analysis.value("rows").toArray();
    QVERIFY(!rows.isEmpty());
    for (const QJsonValue& row : rows) {
        const Marker marker(row.toObject());
        QVERIFY(!marker.id().isEmpty() && !marker.title().isEmpty() && !marker.description().isEmpty());
        QVERIFY(marker.value() >= 0 && marker.value() <= 100);
    }

    const auto summarised = call([&](Controller& c) { c.summary(json(body)); });
    const QJsonObject summary = QJsonDocument::fromJson(summarised->bytes).object();
    QCOMPARE(summary.value("rows").toArray().size(), categories.size());
    QCOMPARE(summary.value("columns").toArray().size(), list.size());

    const auto compared = call([&](Controller& c) {
        c.comparative(json({{"patientId", m_patient.id()}, {"records", ids}}));
    });
    const QJsonObject charts = QJsonDocument::fromJson(compared->bytes).object();
    for (const char* key : {"graph1", "graph2", "summary", "smooth", "complaints"})
        QVERIFY2(!charts.value(QLatin1String(key)).toObject().isEmpty(), key);
}

void TestClientService::recipeAndImpactAudio()
{
    const Record record = records(m_patient).first();
    auto outcome = call([&](Controller& c) { c.getRecipe(m_patient, record); });
    QCOMPARE(outcome->signalNames, QStringList{QStringLiteral("onBytes")});
    QVERIFY(QJsonDocument::fromJson(outcome->bytes).array().isEmpty());

    outcome = call([&](Controller& c) { c.correctiveCategories(m_patient); });
    Storage storage;
    for (const QJsonValue& value : QJsonDocument::fromJson(outcome->bytes).array()) {
        for (const Storage& candidate : Category(value.toObject()).storages()) {
            if (candidate.frequencies())
                storage = candidate;
        }
    }
    QVERIFY2(!storage.id().isEmpty(), "a corrective storage counts frequencies");
    outcome = call([&](Controller& c) {
        c.analyse(
            json({{"patientId", m_patient.id()}, {"storageId", storage.id()}, {"records", QJsonArray{record.id()}}}));
    });
    QList<Marker> markers;
    for (const QJsonValue& row : QJsonDocument::fromJson(outcome->bytes).object().value("rows").toArray())
        markers.append(Marker(row.toObject()));
    QVERIFY(markers.size() >= 3);
    markers = markers.mid(0, 3);
    QVERIFY(markers.first().amount() >= 2);

    // The impact audio: one block per marker, in their order, of 2.98 s for
    // each of the marker's frequencies.
    outcome = call([&](Controller& c) { c.createRecipe(m_patient, record, markers, 10, "0d8c0001-2222"); });
    QCOMPARE(outcome->signalNames, QStringList{QStringLiteral("onBytes")});
    const QList<QByteArray> blocks = decodeAudioBlocks(outcome->bytes);
    QCOMPARE(blocks.size(), 3);
    for (int i = 0; i < blocks.size(); ++i)
        QCOMPARE(blocks[i].size(), 65709 * markers[i].amount());
    QVERIFY(blocks[0] != blocks[1]);

    // Saved in that order; a save without the first marker keeps the rest.
    outcome = call([&](Controller& c) { c.getRecipe(m_patient, record); });
    QList<Marker> saved;
    for (const QJsonValue& value : QJsonDocument::fromJson(outcome->bytes).array())
        saved.append(Marker(value.toObject()));
    QCOMPARE(saved.size(), 3);
    QCOMPARE(saved[2].id(), markers[2].id());
    QCOMPARE(call([&](Controller& c) { c.updateRecipe(m_patient, record, markers.mid(1), 0, QString()); })->signalNames,
             QStringList{QStringLiteral("onSuccess")});
    outcome = call([&](Controller& c) { c.getRecipe(m_patient, record); });
    QCOMPARE(QJsonDocument::fromJson(outcome->bytes).array().size(), 2);

    outcome = call([&](Controller& c) { c.requestAutospectrum(m_patient, record, "0d8c0001-2222"); });
    QCOMPARE(outcome->signalNames, QStringList{QStringLiteral("onBytes")});
    QVERIFY(!decodeAudioBlocks(outcome->bytes).isEmpty());
}

void TestClientService::questionnaireAndExport()
{
    const QList<Record> list = records(m_patient);
    auto outcome = call([&](Controller& c) { c.loadQuestionnaire(m_patient, list); });
    const QJsonObject questionnaire = QJsonDocument::fromJson(outcome->bytes).object();
    QCOMPARE(questionnaire.value("dates").toObject().size(), list.size());
    const int symptomId = questionnaire.value("rows").toArray().first().toObject().value("id").toInt();

    QJsonObject save;
    for (const Record& record : list)
        save.insert(record.id(), QJsonObject{{QString::number(symptomId), 2}, {QStringLiteral("Тремор"), 1}});
    QCOMPARE(call([&](Controller& c) { c.saveQuestionnaire(m_patient, json(save)); })->signalNames,
             QStringList{QStringLiteral("onSuccess")});
    for (const Record& record : records(m_patient))
        QVERIFY(record.questionnaire());

    outcome = call([&](Controller& c) { c.exportExcel(m_patient); });
    QCOMPARE(outcome->signalNames, QStringList{QStringLiteral("onBytes")});
    const QByteArray xlsx = QByteArray::fromBase64(outcome->bytes, QByteArray::AbortOnBase64DecodingErrors);
    QVERIFY(xlsx.startsWith("PK\x03\x04"));
    QVERIFY(xlsx.size() > 2000);
}

void TestClientService::accountCalls()
{
    auto outcome = call([](Controller& c) { c.checkUpdates(); });
    QCOMPARE(outcome->signalNames, QStringList{QStringLiteral("onBytes")});
    QCOMPARE(QJsonDocument::fromJson(outcome->bytes).object().value("update").toBool(true), false);

    QCOMPARE(call([](Controller& c) { c.changeLocale(QStringLiteral("ru_RU")); })->signalNames,
             QStringList{QStringLiteral("onSuccess")});
    QCOMPARE(call([](Controller& c) { c.changeLocale(QStringLiteral("en_US")); })->signalNames,
             QStringList{QStringLiteral("onSuccess")});

    const QByteArray before = Account::instance().authorization();
    const QMap<QString, QString> change{{"oldPassword", "demo"}, {"newPassword", "demo2"}, {"repeatPassword", "demo2"}};
    QCOMPARE(call([&](Controller& c) { c.changePassword(change); })->signalNames,
             QStringList{QStringLiteral("onSuccess")});
    QVERIFY(Account::instance().authorization() != before);
    QVERIFY(Account::instance().authorization().startsWith("Bearer "));
    // The renewed token carries the next call.
    QCOMPARE(patients().size(), 61);
    const QMap<QString, QString> back{{"oldPassword", "demo2"}, {"newPassword", "demo"}, {"repeatPassword", "demo"}};
    QCOMPARE(call([&](Controller& c) { c.changePassword(back); })->signalNames,
             QStringList{QStringLiteral("onSuccess")});
}

void TestClientService::refusalsReachTheCaller()
{
    // A validation refusal, read from "errors" by the client.
    Patient invalid;
    invalid.setName(QStringLiteral("   "));
    auto outcome = call([&](Controller& c) { c.createPatient(invalid); });
    QCOMPARE(outcome->signalNames, QStringList{QStringLiteral("onError")});
    QVERIFY2(outcome->message.contains(QStringLiteral("name")) &&
                 outcome->message.contains(QStringLiteral("birthDate")),
             qPrintable(outcome->message));

    // A wrong password, read from "message".
    const QMap<QString, QString> wrong{{"oldPassword", "nope"}, {"newPassword", "x1234"}, {"repeatPassword", "x1234"}};
    outcome = call([&](Controller& c) { c.changePassword(wrong); });
    QCOMPARE(outcome->signalNames, QStringList{QStringLiteral("onError")});
    QVERIFY2(outcome->message.contains(QStringLiteral("password")), qPrintable(outcome->message));

    // The patient made here goes, with everything of theirs.
    QCOMPARE(call([&](Controller& c) { c.removePatient(m_patient); })->signalNames,
             QStringList{QStringLiteral("onSuccess")});
    outcome = call([&](Controller& c) { c.getRecords(m_patient); });
    QCOMPARE(outcome->signalNames, QStringList{QStringLiteral("onError")});
    QVERIFY(!outcome->message.isEmpty());
}

QTEST_MAIN(TestClientService)
#include "tst_clientservice.moc"
