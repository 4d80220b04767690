#include "app/Application.h"
#include "data/Category.h"
#include "data/Marker.h"
#include "data/Patient.h"
#include "data/PatientPage.h"
#include "data/Record.h"

#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPixmap>
#include <QtTest>

namespace {

// Parses a JSON object written in a test row; a malformed row fails the test
// instead of silently becoming an empty object.
QJsonObject object(const QByteArray& text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        QTest::qFail(qPrintable(QStringLiteral("bad JSON in the test: ") + QString::fromUtf8(text)), __FILE__,
                     __LINE__);
    return document.object();
}

// {"key": member}, or {} when the member is empty (the key is absent).
QJsonObject withMember(const char* key, const QByteArray& member)
{
    if (member.isEmpty())
        return {};
    return object(QByteArray("{\"") + key + "\":" + member + '}');
}

const QString notConnected = QStringLiteral(":/images/not-connected-device.png");
const QString blocked = QStringLiteral(":/images/connected-device-blocked.png");
const QString recording = QStringLiteral(":/images/connected-device-record.png");
const QString recorded = QStringLiteral(":/images/connected-device-record-complete.png");
const QString recipe = QStringLiteral(":/images/connected-device-recipe.png");
const QString connected = QStringLiteral(":/images/connected-device.png");

} // namespace

class DomainRecordsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void deviceStateAndPicture_data();
    void deviceStateAndPicture();
    void commandsChangeTheState();
    void genderPicture_data();
    void genderPicture();
    void dateTimeText_data();
    void dateTimeText();
    void birthDateFromJson_data();
    void birthDateFromJson();
    void patientReadsEveryMember();
    void missingOrMistypedMembersGiveDefaults_data();
    void missingOrMistypedMembersGiveDefaults();
    void patientToJson_data();
    void patientToJson();
    void setBirthDate_data();
    void setBirthDate();
    void recordFromJson();
    void markerValue_data();
    void markerValue();
    void markerDescription_data();
    void markerDescription();
    void categoryStorages_data();
    void categoryStorages();
    void metaTypesAreRegisteredByName();
    void patientPage_data();
    void patientPage();
};

void DomainRecordsTest::initTestCase()
{
    initResources();
    // The picture checks below compare images, which tells the cases apart
    // only while the pictures differ from one another.
    const QList<QString> paths = {notConnected,
                                  blocked,
                                  recording,
                                  recorded,
                                  recipe,
                                  connected,
                                  QStringLiteral(":/images/gender-male.png"),
                                  QStringLiteral(":/images/gender-female.png")};
    for (int i = 0; i < paths.size(); ++i) {
        QVERIFY2(!QImage(paths[i]).isNull(), qPrintable(paths[i]));
        for (int j = i + 1; j < paths.size(); ++j)
            QVERIFY2(QImage(paths[i]) != QImage(paths[j]), qPrintable(paths[i] + QLatin1Char(' ') + paths[j]));
    }
}

void DomainRecordsTest::deviceStateAndPicture_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("picture");

    const int notConnectedState = int(DeviceState::NotConnected);
    const int noCommand = int(DeviceState::NoCommand);
    const int recordInProgress = int(DeviceState::RecordInProgress);
    const int recordComplete = int(DeviceState::RecordComplete);
    const int recipeInProgress = int(DeviceState::RecipeInProgress);
    const int recipeComplete = int(DeviceState::RecipeComplete);

    QTest::newRow("no hasDevices, whatever the command")
        << QByteArray(R"({"command":"RECORD","isEnabled":true})") << notConnectedState << notConnected;
    QTest::newRow("hasDevices false") << QByteArray(R"({"hasDevices":false,"command":"RECIPE","isComplete":true})")
                                      << notConnectedState << notConnected;
    QTest::newRow("hasDevices as text is not a flag")
        << QByteArray(R"({"hasDevices":"true","isEnabled":true})") << notConnectedState << notConnected;
    QTest::newRow("blocked, recording in progress")
        << QByteArray(R"({"hasDevices":true,"isEnabled":false,"command":"RECORD","isComplete":false})")
        << recordInProgress << blocked;
    QTest::newRow("blocked, recipe complete")
        << QByteArray(R"({"hasDevices":true,"command":"SELF_RECIPE","isComplete":true})") << recipeComplete << blocked;
    QTest::newRow("blocked, no command") << QByteArray(R"({"hasDevices":true})") << noCommand << blocked;
    QTest::newRow("RECORD in progress") << QByteArray(R"({"hasDevices":true,"isEnabled":true,"command":"RECORD"})")
                                        << recordInProgress << recording;
    QTest::newRow("SELF_RECORD complete")
        << QByteArray(R"({"hasDevices":true,"isEnabled":true,"command":"SELF_RECORD","isComplete":true})")
        << recordComplete << recorded;
    QTest::newRow("AUTOSPECTRUM complete")
        << QByteArray(R"({"hasDevices":true,"isEnabled":true,"command":"AUTOSPECTRUM","isComplete":true})")
        << recordComplete << recorded;
    QTest::newRow("AUTOSPECTRUM, isComplete as number is false")
        << QByteArray(R"({"hasDevices":true,"isEnabled":true,"command":"AUTOSPECTRUM","isComplete":1})")
        << recordInProgress << recording;
    QTest::newRow("RECIPE in progress") << QByteArray(R"({"hasDevices":true,"isEnabled":true,"command":"RECIPE"})")
                                        << recipeInProgress << recipe;
    QTest::newRow("SELF_RECIPE in progress")
        << QByteArray(R"({"hasDevices":true,"isEnabled":true,"command":"SELF_RECIPE","isComplete":false})")
        << recipeInProgress << recipe;
    QTest::newRow("SELF_RECIPE complete")
        << QByteArray(R"({"hasDevices":true,"isEnabled":true,"command":"SELF_RECIPE","isComplete":true})")
        << recipeComplete << connected;
    QTest::newRow("lower-case record is no command")
        << QByteArray(R"({"hasDevices":true,"isEnabled":true,"command":"record"})") << noCommand << connected;
    QTest::newRow("empty command, complete")
        << QByteArray(R"({"hasDevices":true,"isEnabled":true,"command":"","isComplete":true})") << noCommand
        << connected;
    QTest::newRow("unknown command") << QByteArray(R"({"hasDevices":true,"isEnabled":true,"command":"RECORD "})")
                                     << noCommand << connected;
}

void DomainRecordsTest::deviceStateAndPicture()
{
    QFETCH(QByteArray, json);
    QFETCH(int, state);
    QFETCH(QString, picture);

    const Patient patient(object(json));
    QCOMPARE(int(patient.deviceState()), state);
    QCOMPARE(patient.deviceIconPath(), picture);
    const QPixmap icon = patient.deviceIcon();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.toImage(), QPixmap(picture).toImage());
}

void DomainRecordsTest::commandsChangeTheState()
{
    Patient patient(object(R"({"hasDevices":true,"isEnabled":true,"command":"SELF_RECIPE","isComplete":true})"));
    QCOMPARE(patient.deviceState(), DeviceState::RecipeComplete);

    // Clearing forgets the word only; the completion flag survives it.
    patient.clearCommand();
    QCOMPARE(patient.command(), QString());
    QVERIFY(patient.isComplete());
    QCOMPARE(patient.deviceState(), DeviceState::NoCommand);

    patient.startRecordCommand();
    QCOMPARE(patient.command(), QStringLiteral("RECORD"));
    QCOMPARE(patient.deviceState(), DeviceState::RecordInProgress);
    QCOMPARE(patient.deviceIconPath(), recording);

    patient.toggleEnabled();
    QVERIFY(!patient.isEnabled());
    QCOMPARE(patient.deviceState(), DeviceState::RecordInProgress);
    QCOMPARE(patient.deviceIconPath(), blocked);
    patient.toggleEnabled();
    QVERIFY(patient.isEnabled());

    patient.startRecipeCommand();
    QCOMPARE(patient.command(), QStringLiteral("RECIPE"));
    QCOMPARE(patient.deviceState(), DeviceState::RecipeInProgress);
    QCOMPARE(patient.deviceIconPath(), recipe);

    patient.setHasDevices(false);
    QCOMPARE(patient.deviceState(), DeviceState::NotConnected);
    QCOMPARE(patient.deviceIconPath(), notConnected);
}

void DomainRecordsTest::genderPicture_data()
{
    QTest::addColumn<QString>("gender");
    QTest::addColumn<QString>("picture");

    const QString male = QStringLiteral(":/images/gender-male.png");
    const QString female = QStringLiteral(":/images/gender-female.png");
    QTest::newRow("MALE") << "MALE" << male;
    QTest::newRow("FEMALE") << "FEMALE" << female;
    QTest::newRow("lower-case male") << "male" << female;
    QTest::newRow("empty") << "" << female;
}

void DomainRecordsTest::genderPicture()
{
    QFETCH(QString, gender);
    QFETCH(QString, picture);

    Patient patient;
    patient.setGender(gender);
    QCOMPARE(patient.genderIconPath(), picture);
    QVERIFY(!patient.genderIcon().isNull());
    QCOMPARE(patient.genderIcon().toImage(), QPixmap(picture).toImage());
}

void DomainRecordsTest::dateTimeText_data()
{
    QTest::addColumn<QByteArray>("member");
    QTest::addColumn<QString>("text");

    QTest::newRow("date T time") << QByteArray(R"("2021-03-04T05:06:07")") << "2021-03-04 05:06:07";
    QTest::newRow("UTC suffix kept as written") << QByteArray(R"("2021-03-04T05:06:07Z")") << "2021-03-04 05:06:07";
    QTest::newRow("offset kept as written") << QByteArray(R"("2021-03-04T23:06:07+03:00")") << "2021-03-04 23:06:07";
    QTest::newRow("milliseconds dropped") << QByteArray(R"("2021-03-04T05:06:07.890Z")") << "2021-03-04 05:06:07";
    QTest::newRow("date only is midnight") << QByteArray(R"("2021-03-04")") << "2021-03-04 00:00:00";
    QTest::newRow("impossible day") << QByteArray(R"("2021-02-30T05:06:07")") << "";
    QTest::newRow("impossible hour") << QByteArray(R"("2021-03-04T25:06:07")") << "";
    QTest::newRow("not a date") << QByteArray(R"("yesterday")") << "";
    QTest::newRow("local format") << QByteArray(R"("04.03.2021 05:06:07")") << "";
    QTest::newRow("number") << QByteArray("1614834367") << "";
    QTest::newRow("null") << QByteArray("null") << "";
    QTest::newRow("absent") << QByteArray() << "";
}

void DomainRecordsTest::dateTimeText()
{
    QFETCH(QByteArray, member);
    QFETCH(QString, text);

    QCOMPARE(Patient(withMember("lastRecordAt", member)).lastRecordAt(), text);
    QCOMPARE(Record(withMember("recordedAt", member)).recordedAt(), text);
}

void DomainRecordsTest::birthDateFromJson_data()
{
    QTest::addColumn<QByteArray>("member");
    QTest::addColumn<QDate>("date");

    QTest::newRow("ISO date") << QByteArray(R"("2000-02-29")") << QDate(2000, 2, 29);
    QTest::newRow("ISO date-time keeps the date") << QByteArray(R"("1985-12-01T00:00:00Z")") << QDate(1985, 12, 1);
    QTest::newRow("impossible date") << QByteArray(R"("2001-02-29")") << QDate();
    QTest::newRow("local format") << QByteArray(R"("01.12.1985")") << QDate();
    QTest::newRow("number") << QByteArray("19851201") << QDate();
    QTest::newRow("absent") << QByteArray() << QDate();
}

void DomainRecordsTest::birthDateFromJson()
{
    QFETCH(QByteArray, member);
    QFETCH(QDate, date);

    const QDate birthDate = Patient(withMember("birthDate", member)).birthDate();
    QCOMPARE(birthDate.isValid(), date.isValid());
    if (date.isValid())
        QCOMPARE(birthDate, date);
}

void DomainRecordsTest::patientReadsEveryMember()
{
    const Patient patient(object(R"({"age":41,"id":"p-17","name":"Анна Ильина","gender":"FEMALE","notes":"n",
        "phone":"+7 900 000-00-00","birthDate":"1980-05-06","lastRecordAt":"2021-03-04T05:06:07",
        "hasDevices":true,"command":"RECIPE","isComplete":true,"isEnabled":true})"));
    QCOMPARE(patient.age(), 41);
    QCOMPARE(patient.id(), QStringLiteral("p-17"));
    QCOMPARE(patient.name(), QStringLiteral("Анна Ильина"));
    QCOMPARE(patient.gender(), QStringLiteral("FEMALE"));
    QCOMPARE(patient.notes(), QStringLiteral("n"));
    QCOMPARE(patient.phone(), QStringLiteral("+7 900 000-00-00"));
    QCOMPARE(patient.birthDate(), QDate(1980, 5, 6));
    QCOMPARE(patient.lastRecordAt(), QStringLiteral("2021-03-04 05:06:07"));
    QCOMPARE(patient.command(), QStringLiteral("RECIPE"));
    QVERIFY(patient.hasDevices());
    QVERIFY(patient.isComplete());
    QVERIFY(patient.isEnabled());
}

void DomainRecordsTest::missingOrMistypedMembersGiveDefaults_data()
{
    QTest::addColumn<QByteArray>("json");

    QTest::newRow("empty object") << QByteArray("{}");
    QTest::newRow("nulls") << QByteArray(R"({"age":null,"id":null,"name":null,"gender":null,"notes":null,
        "phone":null,"birthDate":null,"lastRecordAt":null,"hasDevices":null,"command":null,"isComplete":null,
        "isEnabled":null,"patientId":null,"doctorName":null,"recordedAt":null,"editable":null,"questionnaire":null,
        "title":null,"description":null,"values":null,"amount":null,"frequencies":null,"storages":null})");
    QTest::newRow("other types") << QByteArray(
        R"({"age":"41","id":17,"name":["x"],"gender":true,"notes":{"a":1},"phone":5,
        "birthDate":19800506,"lastRecordAt":false,"hasDevices":"true","command":1,"isComplete":1,"isEnabled":"yes",
        "patientId":3,"doctorName":false,"recordedAt":[],"editable":"true","questionnaire":1,"title":7,
        "description":8,"values":{"0":7},"amount":"12","frequencies":"true","storages":{"id":"s"}})");
}

void DomainRecordsTest::missingOrMistypedMembersGiveDefaults()
{
    QFETCH(QByteArray, json);
    const QJsonObject source = object(json);

    const Patient patient(source);
    QCOMPARE(patient.age(), 0);
    QVERIFY(!patient.birthDate().isValid());
    for (const QString& text : {patient.command(), patient.id(), patient.gender(), patient.lastRecordAt(),
                                patient.name(), patient.notes(), patient.phone()})
        QCOMPARE(text, QString());
    QVERIFY(!patient.hasDevices());
    QVERIFY(!patient.isComplete());
    QVERIFY(!patient.isEnabled());

    const Record record(source);
    for (const QString& text : {record.id(), record.patientId(), record.doctorName(), record.recordedAt()})
        QCOMPARE(text, QString());
    QVERIFY(!record.editable());
    QVERIFY(!record.questionnaire());
    QVERIFY(!record.checked());

    const Marker marker(source);
    for (const QString& text : {marker.id(), marker.title(), marker.description()})
        QCOMPARE(text, QString());
    QCOMPARE(marker.value(), 0);
    QCOMPARE(marker.amount(), 0);
    QVERIFY(!marker.selected());

    const Storage storage(source);
    QCOMPARE(storage.id(), QString());
    QCOMPARE(storage.title(), QString());
    QVERIFY(!storage.frequencies());

    const Category category(source);
    QCOMPARE(category.title(), QString());
    QVERIFY(category.storages().isEmpty());
}

void DomainRecordsTest::patientToJson_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<bool>("hasId");
    QTest::addColumn<QString>("birthDate");

    // Members that are never sent are present in the sources to prove it.
    const QByteArray extra = R"("age":41,"command":"RECORD","lastRecordAt":"2021-03-04T05:06:07",
        "hasDevices":true,"isComplete":true,"isEnabled":true)";
    QTest::newRow("new patient") << QByteArray("{" + extra + R"(,"birthDate":"1980-05-06"})") << false << "1980-05-06";
    QTest::newRow("empty id counts as new")
        << QByteArray("{" + extra + R"(,"id":"","birthDate":"1980-05-06"})") << false << "1980-05-06";
    QTest::newRow("stored patient") << QByteArray("{" + extra + R"(,"id":"p-17","birthDate":"1980-05-06"})") << true
                                    << "1980-05-06";
    QTest::newRow("invalid birth date") << QByteArray("{" + extra + R"(,"id":"p-17","birthDate":"soon"})") << true
                                        << "";
}

void DomainRecordsTest::patientToJson()
{
    QFETCH(QByteArray, source);
    QFETCH(bool, hasId);
    QFETCH(QString, birthDate);

    Patient patient(object(source));
    patient.setName(QStringLiteral("Анна \"Ильина\""));
    patient.setGender(QStringLiteral("FEMALE"));
    patient.setNotes(QStringLiteral("line 1\nline 2"));
    patient.setPhone(QStringLiteral("+7 900"));

    const QByteArray bytes = patient.toJson();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    QVERIFY(document.isObject());
    // The indented form, as the service's other request bodies are written.
    QCOMPARE(bytes, document.toJson(QJsonDocument::Indented));

    const QJsonObject written = document.object();
    QStringList expectedKeys = {QStringLiteral("birthDate"), QStringLiteral("gender"), QStringLiteral("name"),
                                QStringLiteral("notes"), QStringLiteral("phone")};
    if (hasId)
        expectedKeys.prepend(QStringLiteral("id"));
    expectedKeys.sort();
    QCOMPARE(written.keys(), expectedKeys);
    if (hasId) {
        QVERIFY(written.value(QLatin1String("id")).isString());
        QCOMPARE(written.value(QLatin1String("id")).toString(), QStringLiteral("p-17"));
    }
    QCOMPARE(written.value(QLatin1String("name")).toString(), patient.name());
    QCOMPARE(written.value(QLatin1String("gender")).toString(), QStringLiteral("FEMALE"));
    QCOMPARE(written.value(QLatin1String("notes")).toString(), QStringLiteral("line 1\nline 2"));
    QCOMPARE(written.value(QLatin1String("phone")).toString(), QStringLiteral("+7 900"));
    QVERIFY(written.value(QLatin1String("birthDate")).isString());
    QCOMPARE(written.value(QLatin1String("birthDate")).toString(), birthDate);
}

void DomainRecordsTest::setBirthDate_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("year");
    QTest::addColumn<QDate>("date");

    QTest::newRow("31 February") << 31 << 2 << 2000 << QDate();
    QTest::newRow("29 February, common year") << 29 << 2 << 2001 << QDate();
    QTest::newRow("29 February, leap year") << 29 << 2 << 2000 << QDate(2000, 2, 29);
    QTest::newRow("day before month") << 12 << 1 << 2020 << QDate(2020, 1, 12);
    QTest::newRow("day 0") << 0 << 1 << 2020 << QDate();
    QTest::newRow("month 13") << 1 << 13 << 2020 << QDate();
}

void DomainRecordsTest::setBirthDate()
{
    QFETCH(int, day);
    QFETCH(int, month);
    QFETCH(int, year);
    QFETCH(QDate, date);

    // A valid earlier date must not survive an impossible new one.
    Patient patient(object(R"({"birthDate":"1980-05-06"})"));
    patient.setBirthDate(day, month, year);
    QCOMPARE(patient.birthDate().isValid(), date.isValid());
    if (date.isValid())
        QCOMPARE(patient.birthDate(), date);
    QCOMPARE(object(patient.toJson()).value(QLatin1String("birthDate")).toString(), date.toString(Qt::ISODate));
}

void DomainRecordsTest::recordFromJson()
{
    Record record(object(R"({"id":"r-1","patientId":"p-17","doctorName":"Dr. Who",
        "recordedAt":"2021-03-04T05:06:07Z","editable":true,"questionnaire":true,"checked":true})"));
    QCOMPARE(record.id(), QStringLiteral("r-1"));
    QCOMPARE(record.patientId(), QStringLiteral("p-17"));
    QCOMPARE(record.doctorName(), QStringLiteral("Dr. Who"));
    QCOMPARE(record.recordedAt(), QStringLiteral("2021-03-04 05:06:07"));
    QVERIFY(record.editable());
    QVERIFY(record.questionnaire());
    // The selection mark belongs to the card, not to the service.
    QVERIFY(!record.checked());
    record.toggleChecked();
    QVERIFY(record.checked());
    record.toggleChecked();
    QVERIFY(!record.checked());
    record.setChecked(true);
    QVERIFY(record.checked());
}

void DomainRecordsTest::markerValue_data()
{
    QTest::addColumn<QByteArray>("values");
    QTest::addColumn<int>("value");

    QTest::newRow("empty array") << QByteArray("[]") << 0;
    QTest::newRow("absent") << QByteArray() << 0;
    QTest::newRow("first of several") << QByteArray("[7, 9]") << 7;
    QTest::newRow("negative") << QByteArray("[-3]") << -3;
    QTest::newRow("fraction keeps the whole part") << QByteArray("[87.9, 1]") << 87;
    QTest::newRow("first is text") << QByteArray(R"(["7", 9])") << 0;
    QTest::newRow("first is null") << QByteArray("[null, 9]") << 0;
    QTest::newRow("beyond 32 bits") << QByteArray("[1e12]") << 0;
    QTest::newRow("number instead of array") << QByteArray("7") << 0;
}

void DomainRecordsTest::markerValue()
{
    QFETCH(QByteArray, values);
    QFETCH(int, value);

    QCOMPARE(Marker(withMember("values", values)).value(), value);
}

void DomainRecordsTest::markerDescription_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("description");
    QTest::addColumn<int>("amount");

    QTest::newRow("text") << QByteArray(R"({"description":"Liver","amount":12})") << "Liver" << 12;
    QTest::newRow("null") << QByteArray(R"({"description":null,"amount":0})") << "" << 0;
    QTest::newRow("absent") << QByteArray(R"({"amount":3})") << "" << 3;
}

void DomainRecordsTest::markerDescription()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, description);
    QFETCH(int, amount);

    Marker marker(object(json));
    QCOMPARE(marker.description(), description);
    QCOMPARE(marker.amount(), amount);
    marker.toggleSelected();
    QVERIFY(marker.selected());
    marker.setSelected(false);
    QVERIFY(!marker.selected());
}

void DomainRecordsTest::categoryStorages_data()
{
    QTest::addColumn<QByteArray>("storages");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QList<bool>>("frequencies");

    QTest::newRow("absent") << QByteArray() << QStringList() << QStringList() << QList<bool>();
    QTest::newRow("empty") << QByteArray("[]") << QStringList() << QStringList() << QList<bool>();
    QTest::newRow("in array order")
        << QByteArray(R"([{"id":"s3","title":"Organs","frequencies":true},{"id":"s1","title":"Viruses"},
                          {"id":"s2","title":"Bacteria","frequencies":false}])")
        << QStringList{"s3", "s1", "s2"} << QStringList{"Organs", "Viruses", "Bacteria"}
        << QList<bool>{true, false, false};
    QTest::newRow("non-object element is an empty storage")
        << QByteArray(R"([5,{"id":"s1","title":"Viruses","frequencies":true}])") << QStringList{"", "s1"}
        << QStringList{"", "Viruses"} << QList<bool>{false, true};
}

void DomainRecordsTest::categoryStorages()
{
    QFETCH(QByteArray, storages);
    QFETCH(QStringList, ids);
    QFETCH(QStringList, titles);
    QFETCH(QList<bool>, frequencies);

    QJsonObject source = withMember("storages", storages);
    source.insert(QLatin1String("title"), QStringLiteral("Analysis"));
    const Category category(source);
    QCOMPARE(category.title(), QStringLiteral("Analysis"));
    const QList<Storage> read = category.storages();
    QCOMPARE(read.size(), ids.size());
    for (int i = 0; i < read.size(); ++i) {
        QCOMPARE(read.at(i).id(), ids.at(i));
        QCOMPARE(read.at(i).title(), titles.at(i));
        QCOMPARE(read.at(i).frequencies(), frequencies.at(i));
    }
}

void DomainRecordsTest::metaTypesAreRegisteredByName()
{
    registerDomainMetaTypes();
    registerDomainMetaTypes();

    const int storageType = QMetaType::type("Storage");
    const int categoryType = QMetaType::type("Category");
    QVERIFY(storageType != QMetaType::UnknownType);
    QVERIFY(categoryType != QMetaType::UnknownType);
    QCOMPARE(storageType, qMetaTypeId<Storage>());
    QCOMPARE(categoryType, qMetaTypeId<Category>());
    QCOMPARE(QByteArray(QMetaType::typeName(storageType)), QByteArray("Storage"));
    QCOMPARE(QByteArray(QMetaType::typeName(categoryType)), QByteArray("Category"));

    // A combo box hands its item data back as a QVariant.
    const Category category(object(R"({"title":"Analysis","storages":[{"id":"s1","title":"Viruses"}]})"));
    const QVariant item = QVariant::fromValue(category);
    QCOMPARE(item.userType(), categoryType);
    QVERIFY(item.canConvert<Category>());
    const Category back = item.value<Category>();
    QCOMPARE(back.title(), QStringLiteral("Analysis"));
    QCOMPARE(back.storages().size(), 1);
    const QVariant storageItem = QVariant::fromValue(back.storages().first());
    QCOMPARE(storageItem.userType(), storageType);
    QCOMPARE(storageItem.value<Storage>().title(), QStringLiteral("Viruses"));

    // The name alone is enough to build one, as queued connections do.
    void* made = QMetaType::create(storageType);
    QVERIFY(made != nullptr);
    QCOMPARE(static_cast<Storage*>(made)->title(), QString());
    QMetaType::destroy(storageType, made);
}

QTEST_MAIN(DomainRecordsTest)
void DomainRecordsTest::patientPage_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("isPage");
    QTest::addColumn<int>("pageCount");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("page") << QByteArray(R"({"pages":4,"data":[{"name":"Anna"},{"name":"Boris"}]})") << true << 4
                          << QStringList{QStringLiteral("Anna"), QStringLiteral("Boris")};
    QTest::newRow("no page count") << QByteArray(R"({"data":[]})") << true << 0 << QStringList();
    // An element that is no object still takes its row, as an empty patient.
    QTest::newRow("odd element") << QByteArray(R"({"pages":1,"data":[7]})") << true << 1 << QStringList{QString()};
    QTest::newRow("data not an array") << QByteArray(R"({"pages":1,"data":{}})") << false << 0 << QStringList();
    QTest::newRow("data null") << QByteArray(R"({"pages":1,"data":null})") << false << 0 << QStringList();
    QTest::newRow("bare array") << QByteArray(R"([{"name":"Anna"}])") << false << 0 << QStringList();
    QTest::newRow("text after the object") << QByteArray(R"({"data":[]} [])") << false << 0 << QStringList();
    QTest::newRow("empty") << QByteArray() << false << 0 << QStringList();
}

void DomainRecordsTest::patientPage()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, isPage);
    QFETCH(int, pageCount);
    QFETCH(QStringList, names);

    const std::optional<PatientPage> page = PatientPage::fromJson(answer);
    QCOMPARE(page.has_value(), isPage);
    if (!page)
        return;
    QCOMPARE(page->pageCount, pageCount);
    QStringList read;
    for (const Patient& patient : page->patients)
        read << patient.name();
    QCOMPARE(read, names);
}

#include "tst_domainrecords.moc"
