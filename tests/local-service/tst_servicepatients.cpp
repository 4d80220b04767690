// The local service's patient directory over HTTP: paging, sorting, search,
// validation, changes and the isolation between practitioners.
#include "ServiceClient.h"
#include "storage/Database.h"
#include "support/LocalServiceProcess.h"

#include <QtTest>

namespace {

QStringList namesOf(const QJsonArray& patients)
{
    QStringList names;
    for (const QJsonValue& patient : patients)
        names << patient.toObject().value(QStringLiteral("name")).toString();
    return names;
}

QJsonObject patientBody(const QString& name, const QString& birthDate = QStringLiteral("1980-05-17"))
{
    return {{"name", name},
            {"birthDate", birthDate},
            {"gender", "FEMALE"},
            {"notes", "Test notes"},
            {"phone", "+49 30 1234567"}};
}

} // namespace

class TestServicePatients : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pagesOfTwenty();
    void pagingEdges_data();
    void pagingEdges();
    void sorting_data();
    void sorting();
    void shortPagesAddUpToTheWholeList_data();
    void shortPagesAddUpToTheWholeList();
    void search_data();
    void search();
    void patientShape();
    void createEditDelete();
    void validationErrors_data();
    void validationErrors();
    void practitionersSeeOnlyTheirOwn();

private:
    LocalServiceProcess m_service;
    std::unique_ptr<ServiceClient> m_demo;
};

void TestServicePatients::initTestCase()
{
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    m_demo = std::make_unique<ServiceClient>(m_service.baseUrl());
    QCOMPARE(m_demo->signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
}

void TestServicePatients::pagesOfTwenty()
{
    QStringList seen;
    for (int page = 0; page < 3; ++page) {
        const QJsonObject answer =
            m_demo
                ->get(
                    QStringLiteral("/patient/filter?sortby=name&direction=asc&size=20&current=%1&searchby=name&needle=")
                        .arg(page))
                .object();
        QCOMPARE(answer.value(QStringLiteral("pages")).toInt(), 3);
        const QStringList names = namesOf(answer.value(QStringLiteral("data")).toArray());
        QCOMPARE(names.size(), 20);
        seen += names;
    }
    // The three pages hold sixty different patients, in one order.
    QCOMPARE(QSet<QString>(seen.begin(), seen.end()).size(), 60);
    QStringList sorted = seen;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    QCOMPARE(seen, sorted);
}

void TestServicePatients::pagingEdges_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("rows");

    QTest::newRow("size 7") << "size=7&current=0" << 9 << 7;
    QTest::newRow("last short page") << "size=7&current=8" << 9 << 4;
    QTest::newRow("past the end") << "size=20&current=5" << 3 << 0;
    QTest::newRow("one page for all") << "size=100&current=0" << 1 << 60;
    QTest::newRow("no match has no pages") << "size=20&current=0&searchby=name&needle=" + needleOf("zzzz") << 0 << 0;
    QTest::newRow("defaults") << "" << 3 << 20;
}

void TestServicePatients::pagingEdges()
{
    QFETCH(QString, query);
    QFETCH(int, pages);
    QFETCH(int, rows);
    const ServiceAnswer answer = m_demo->get(QStringLiteral("/patient/filter?") + query);
    QCOMPARE(answer.status, 200);
    QCOMPARE(answer.object().value(QStringLiteral("pages")).toInt(), pages);
    QCOMPARE(answer.object().value(QStringLiteral("data")).toArray().size(), rows);
}

void TestServicePatients::sorting_data()
{
    QTest::addColumn<QString>("sortBy");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("member");
    QTest::addColumn<bool>("descending");

    for (const QString& direction : {QStringLiteral("asc"), QStringLiteral("desc")}) {
        const bool desc = direction == QLatin1String("desc");
        QTest::addRow("name %s", qPrintable(direction)) << "name" << direction << "name" << desc;
        QTest::addRow("age %s", qPrintable(direction)) << "age" << direction << "age" << desc;
        QTest::addRow("gender %s", qPrintable(direction)) << "gender" << direction << "gender" << desc;
        QTest::addRow("record %s", qPrintable(direction)) << "record" << direction << "lastRecordAt" << desc;
        QTest::addRow("notes %s", qPrintable(direction)) << "notes" << direction << "notes" << desc;
    }
}

void TestServicePatients::sorting()
{
    QFETCH(QString, sortBy);
    QFETCH(QString, direction);
    QFETCH(QString, member);
    QFETCH(bool, descending);
    const QJsonArray patients =
        m_demo->patients(QStringLiteral("sortby=%1&direction=%2&size=100&current=0").arg(sortBy, direction));
    QCOMPARE(patients.size(), 60);
    for (int i = 1; i < patients.size(); ++i) {
        const QJsonValue before = patients[i - 1].toObject().value(member);
        const QJsonValue after = patients[i].toObject().value(member);
        const int order = before.isDouble() ? (before.toInt() < after.toInt() ? -1 : before.toInt() > after.toInt())
                                            : before.toString().compare(after.toString(), Qt::CaseInsensitive);
        QVERIFY2(descending ? order >= 0 : order <= 0,
                 qPrintable(QStringLiteral("row %1: %2 before %3")
                                .arg(i)
                                .arg(before.toVariant().toString(), after.toVariant().toString())));
    }
    // The order is not the same as the other direction's or the default's.
    const QJsonArray reversed = m_demo->patients(
        QStringLiteral("sortby=%1&direction=%2&size=100&current=0").arg(sortBy, descending ? "asc" : "desc"));
    QVERIFY(namesOf(patients) != namesOf(reversed));
}

void TestServicePatients::shortPagesAddUpToTheWholeList_data()
{
    QTest::addColumn<QString>("query");

    QTest::newRow("default order") << "";
    for (const char* sortBy : {"name", "age", "gender", "record", "notes"}) {
        for (const char* direction : {"asc", "desc"})
            QTest::addRow("%s %s", sortBy, direction)
                << QStringLiteral("sortby=%1&direction=%2").arg(sortBy, direction);
    }
    QTest::newRow("name search") << "sortby=age&direction=asc&searchby=name&needle=" + needleOf("a");
}

// The pages at the end of the list are read from its end; either way they
// are the same rows in the same order as in one long page.
void TestServicePatients::shortPagesAddUpToTheWholeList()
{
    QFETCH(QString, query);
    const auto idsOf = [](const QJsonArray& patients) {
        QStringList ids;
        for (const QJsonValue& patient : patients)
            ids << patient.toObject().value(QStringLiteral("id")).toString();
        return ids;
    };
    const QStringList whole = idsOf(m_demo->patients(query + QStringLiteral("&size=100&current=0")));
    QVERIFY(whole.size() > 20);
    QStringList paged;
    const int pages = (whole.size() + 6) / 7;
    for (int page = 0; page < pages; ++page) {
        const QJsonObject answer =
            m_demo->get(QStringLiteral("/patient/filter?%1&size=7&current=%2").arg(query).arg(page)).object();
        QCOMPARE(answer.value(QStringLiteral("pages")).toInt(), pages);
        paged += idsOf(answer.value(QStringLiteral("data")).toArray());
    }
    QCOMPARE(paged, whole);
}

void TestServicePatients::search_data()
{
    QTest::addColumn<QString>("searchBy");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("latin, other case") << "name"
                                       << "SCHMIDT" << QStringList{"Anna Schmidt"};
    QTest::newRow("cyrillic, other case") << "name"
                                          << "смирнов" << QStringList{"Алексей Смирнов"};
    QTest::newRow("cyrillic capitals") << "name"
                                       << "ЁВА"
                                       << QStringList{"Анастасия Соловьёва", "Ирина Воробьёва", "Валентина Киселёва"};
    QTest::newRow("part of a name") << "name"
                                    << "ller" << QStringList{"Thomas Müller", "Ursula Keller"};
    QTest::newRow("notes") << "notes"
                           << "MIGRAINE" << QStringList{"Anna Schmidt", "Zoe Clarke"};
    QTest::newRow("notes in cyrillic") << "notes"
                                       << "мигрень" << QStringList{"Елена Попова", "Юлия Зайцева"};
    QTest::newRow("a name is not a note") << "notes"
                                          << "Schmidt" << QStringList{};
    QTest::newRow("beyond ASCII") << "name"
                                  << "Müller" << QStringList{"Thomas Müller"};
}

void TestServicePatients::search()
{
    QFETCH(QString, searchBy);
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    const QJsonArray patients =
        m_demo->patients(QStringLiteral("sortby=name&direction=asc&size=100&current=0&searchby=%1&needle=%2")
                             .arg(searchBy, needleOf(text)));
    QStringList names = namesOf(patients);
    names.sort();
    expected.sort();
    QCOMPARE(names, expected);
}

void TestServicePatients::patientShape()
{
    const QJsonArray patients = m_demo->patients(QStringLiteral("size=100&current=0&searchby=name&needle=") +
                                                 needleOf(QStringLiteral("Anna Schmidt")));
    QCOMPARE(patients.size(), 1);
    const QJsonObject anna = patients.first().toObject();
    for (const char* key : {"id", "name", "birthDate", "gender", "notes", "phone", "command", "lastRecordAt"})
        QVERIFY2(anna.value(QLatin1String(key)).isString(), key);
    for (const char* key : {"hasDevices", "isEnabled", "isComplete"})
        QVERIFY2(anna.value(QLatin1String(key)).isBool(), key);
    QVERIFY(anna.value(QStringLiteral("age")).isDouble());
    QCOMPARE(anna.value(QStringLiteral("id")).toString().size(), 36);

    // The age follows from the birth date.
    const QDate birth = QDate::fromString(anna.value(QStringLiteral("birthDate")).toString(), Qt::ISODate);
    QVERIFY(birth.isValid());
    const QDate today = QDate::currentDate();
    int age = today.year() - birth.year();
    if (today < birth.addYears(age))
        --age;
    QCOMPARE(anna.value(QStringLiteral("age")).toInt(), age);
    QVERIFY(QDateTime::fromString(anna.value(QStringLiteral("lastRecordAt")).toString(), Qt::ISODate).isValid());

    // The seed covers every device state the client tells apart.
    QSet<QString> states;
    for (const QJsonValue& value : m_demo->patients()) {
        const QJsonObject patient = value.toObject();
        states << QStringLiteral("%1/%2/%3/%4")
                      .arg(patient.value(QStringLiteral("hasDevices")).toBool())
                      .arg(patient.value(QStringLiteral("isEnabled")).toBool())
                      .arg(patient.value(QStringLiteral("command")).toString())
                      .arg(patient.value(QStringLiteral("isComplete")).toBool());
    }
    for (const char* state : {"0/0//0", "1/1//0", "1/1/RECORD/0", "1/1/AUTOSPECTRUM/1", "1/1/RECIPE/0",
                              "1/1/SELF_RECIPE/1", "1/0/SELF_RECORD/0"})
        QVERIFY2(states.contains(QLatin1String(state)), state);
}

void TestServicePatients::createEditDelete()
{
    ServiceAnswer created = m_demo->post(QStringLiteral("/patient"), patientBody(QStringLiteral("Zelda Testova")));
    QCOMPARE(created.status, 201);
    QJsonObject patient = created.object();
    const QString id = patient.value(QStringLiteral("id")).toString();
    QCOMPARE(id.size(), 36);
    QCOMPARE(patient.value(QStringLiteral("name")).toString(), QStringLiteral("Zelda Testova"));
    QCOMPARE(patient.value(QStringLiteral("birthDate")).toString(), QStringLiteral("1980-05-17"));
    QVERIFY(patient.value(QStringLiteral("lastRecordAt")).isNull());
    QCOMPARE(patient.value(QStringLiteral("hasDevices")).toBool(), false);
    QCOMPARE(m_demo->get(QStringLiteral("/patient/filter?size=20")).object().value(QStringLiteral("pages")).toInt(), 4);

    QJsonObject edit = patientBody(QStringLiteral("Zelda Edited"), QStringLiteral("1981-06-18"));
    edit.insert(QStringLiteral("id"), id);
    edit.insert(QStringLiteral("gender"), QString()); // an old patient may have no gender
    const ServiceAnswer edited = m_demo->put(QStringLiteral("/patient"), edit);
    QCOMPARE(edited.status, 200);
    QCOMPARE(edited.object().value(QStringLiteral("name")).toString(), QStringLiteral("Zelda Edited"));
    QCOMPARE(edited.object().value(QStringLiteral("gender")).toString(), QString());
    QCOMPARE(namesOf(m_demo->patients(QStringLiteral("size=100&searchby=name&needle=") + needleOf("zelda"))),
             QStringList{QStringLiteral("Zelda Edited")});

    QCOMPARE(m_demo->remove(QStringLiteral("/patient/") + id).status, 200);
    QCOMPARE(m_demo->remove(QStringLiteral("/patient/") + id).status, 404);
    QVERIFY(m_demo->patients(QStringLiteral("size=100&searchby=name&needle=") + needleOf("zelda")).isEmpty());
    QCOMPARE(m_demo->put(QStringLiteral("/patient"), edit).status, 404);
}

void TestServicePatients::validationErrors_data()
{
    QTest::addColumn<QJsonObject>("body");
    QTest::addColumn<QStringList>("fields");

    QJsonObject noName = patientBody(QStringLiteral("   "));
    QTest::newRow("blank name") << noName << QStringList{"name"};
    QJsonObject badDate = patientBody(QStringLiteral("Valid"), QStringLiteral("2000-02-30"));
    QTest::newRow("impossible date") << badDate << QStringList{"birthDate"};
    QJsonObject future = patientBody(QStringLiteral("Valid"), QDate::currentDate().addDays(2).toString(Qt::ISODate));
    QTest::newRow("future date") << future << QStringList{"birthDate"};
    QJsonObject both = patientBody(QString(), QString());
    QTest::newRow("name and date missing") << both << QStringList{"name", "birthDate"};
    QJsonObject gender = patientBody(QStringLiteral("Valid"));
    gender.insert(QStringLiteral("gender"), QStringLiteral("male"));
    QTest::newRow("gender in lower case") << gender << QStringList{"gender"};
    QJsonObject longName = patientBody(QString(256, QChar(0x0416)));
    QTest::newRow("256 Cyrillic letters") << longName << QStringList{"name"};
    QJsonObject longPhone = patientBody(QStringLiteral("Valid"));
    longPhone.insert(QStringLiteral("phone"), QString(101, '1'));
    QTest::newRow("long phone") << longPhone << QStringList{"phone"};
}

void TestServicePatients::validationErrors()
{
    QFETCH(QJsonObject, body);
    QFETCH(QStringList, fields);
    const ServiceAnswer answer = m_demo->post(QStringLiteral("/patient"), body);
    QCOMPARE(answer.status, 400);
    // The form the client reads: "message" null and one single-member
    // object per problem.
    const QJsonObject error = answer.object();
    QVERIFY(error.contains(QStringLiteral("message")) && error.value(QStringLiteral("message")).isNull());
    QStringList named;
    for (const QJsonValue& problem : error.value(QStringLiteral("errors")).toArray()) {
        QCOMPARE(problem.toObject().size(), 1);
        named << problem.toObject().keys().first();
        QVERIFY(!problem.toObject().begin().value().toString().isEmpty());
    }
    QCOMPARE(named, fields);
    QCOMPARE(m_demo->patients().size(), 60);
}

void TestServicePatients::practitionersSeeOnlyTheirOwn()
{
    ServiceClient second(m_service.baseUrl());
    QCOMPARE(second.signIn(QStringLiteral("second"), QStringLiteral("second")).status, 200);
    const QJsonArray theirs = second.patients();
    QCOMPARE(theirs.size(), 3);
    const QString foreignId = theirs.first().toObject().value(QStringLiteral("id")).toString();
    const QJsonArray foreignRecords = second.get(QStringLiteral("/record/") + foreignId).array();
    QVERIFY(!foreignRecords.isEmpty());
    const QString foreignRecord = foreignRecords.first().toObject().value(QStringLiteral("id")).toString();

    for (const QJsonValue& mine : m_demo->patients())
        QVERIFY(mine.toObject().value(QStringLiteral("id")).toString() != foreignId);

    QJsonObject edit = patientBody(QStringLiteral("Taken over"));
    edit.insert(QStringLiteral("id"), foreignId);
    const QJsonObject byId{{"patientId", foreignId}};
    const QJsonObject withRecord{{"patientId", foreignId}, {"recordId", foreignRecord},
                                 {"deviceId", "d"},        {"records", QJsonArray{foreignRecord}},
                                 {"storageId", "st-01"},   {"markers", QJsonArray{}},
                                 {"duration", 1},          {"command", ""}};
    const QList<ServiceAnswer> answers = {
        m_demo->put(QStringLiteral("/patient"), edit),
        m_demo->remove(QStringLiteral("/patient/") + foreignId),
        m_demo->get(QStringLiteral("/record/") + foreignId),
        m_demo->remove(QStringLiteral("/record/%1/%2").arg(foreignId, foreignRecord)),
        m_demo->upload(foreignId, sensorWav(sineSamples(440))),
        m_demo->post(QStringLiteral("/export/excel"), byId),
        m_demo->post(QStringLiteral("/patient/device"), {{"patientId", foreignId}, {"deviceId", "dev"}}),
        m_demo->put(QStringLiteral("/patient/device"), byId),
        m_demo->remove(QStringLiteral("/patient/device/") + foreignId),
        m_demo->post(QStringLiteral("/command"), {{"patientId", foreignId}, {"command", "RECORD"}}),
        m_demo->remove(QStringLiteral("/command/") + foreignId),
        m_demo->get(QStringLiteral("/category/diagnostic/") + foreignId),
        m_demo->get(QStringLiteral("/category/corrective/") + foreignId),
        m_demo->post(QStringLiteral("/analysis"), withRecord),
        m_demo->post(QStringLiteral("/analysis/summary"), withRecord),
        m_demo->post(QStringLiteral("/analysis/comparative"), withRecord),
        m_demo->get(QStringLiteral("/recipe/%1/%2").arg(foreignId, foreignRecord)),
        m_demo->post(QStringLiteral("/recipe"), withRecord),
        m_demo->put(QStringLiteral("/recipe"), withRecord),
        m_demo->post(QStringLiteral("/recipe/autospectrum"), withRecord),
        m_demo->post(QStringLiteral("/patient/questionnaire"), withRecord),
        m_demo->put(QStringLiteral("/patient/questionnaire/") + foreignId, {{foreignRecord, QJsonObject{{"1", 2}}}}),
    };
    for (int i = 0; i < answers.size(); ++i) {
        QVERIFY2(answers[i].status == 404, qPrintable(QStringLiteral("call %1 answered %2: %3")
                                                          .arg(i)
                                                          .arg(answers[i].status)
                                                          .arg(QString::fromUtf8(answers[i].body))));
        QVERIFY(answers[i].isJsonError());
    }
    // Nothing of theirs changed.
    QCOMPARE(second.patients().size(), 3);
    QCOMPARE(second.get(QStringLiteral("/record/") + foreignId).array().size(), foreignRecords.size());
}

QTEST_GUILESS_MAIN(TestServicePatients)
#include "tst_servicepatients.moc"
