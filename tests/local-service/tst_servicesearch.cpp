// The local service's patient search answers from its trigram index exactly
// what a substring test of every patient's folded text answers, whatever the
// needle, and an older database gets the index built in place.
#include "ServiceClient.h"
#include "storage/Database.h"
#include "storage/TextFolding.h"
#include "support/LocalServiceProcess.h"

#include <QUuid>
#include <QtTest>

namespace {

QString needleOf(const QString& text)
{
    QByteArray needle = text.toUtf8().toBase64();
    needle.replace('+', '.').replace('/', '_').replace('=', '-');
    return QString::fromLatin1(needle);
}

struct SearchAnswer
{
    int pages = -1;
    QStringList ids;
};

// Every page of a search, in the name order.
SearchAnswer searchAll(ServiceClient& client, const QString& searchBy, const QString& text)
{
    SearchAnswer answer;
    for (int page = 0; answer.pages < 0 || page < answer.pages; ++page) {
        const QJsonObject reply =
            client
                .get(QStringLiteral(
                         "/patient/filter?sortby=name&direction=asc&size=100&current=%1&searchby=%2&needle=%3")
                         .arg(page)
                         .arg(searchBy, needleOf(text)))
                .object();
        answer.pages = reply.value(QStringLiteral("pages")).toInt(-1);
        if (answer.pages < 0)
            return answer;
        for (const QJsonValue& patient : reply.value(QStringLiteral("data")).toArray())
            answer.ids << patient.toObject().value(QStringLiteral("id")).toString();
    }
    return answer;
}

// What the substring test of the folded column finds, in the same order.
QStringList scanned(const QString& databasePath, const QString& searchBy, const QString& text)
{
    localservice::Database db(databasePath.toStdString());
    const std::string column = searchBy == QLatin1String("name") ? "name_folded" : "notes_folded";
    localservice::Statement scan =
        db.prepare(("SELECT p.id FROM patients p JOIN accounts a ON a.id = p.account_id WHERE a.username = 'demo' "
                    "AND instr(p." +
                    column + ", ?1) > 0 ORDER BY p.name_folded, p.id")
                       .c_str());
    scan.bind(1, localservice::foldCase(text.toStdString()));
    QStringList ids;
    while (scan.step())
        ids << QString::fromStdString(scan.text(0));
    return ids;
}

// Adds patients straight to the tables, as a database filled by an earlier
// service would hold them.
void addDirectly(const QString& databasePath, int count, const QString& stem)
{
    localservice::Database db(databasePath.toStdString());
    localservice::Database::Transaction transaction(db);
    for (int i = 0; i < count; ++i) {
        const std::string name = QStringLiteral("%1 %2").arg(stem).arg(i).toStdString();
        db.prepare("INSERT INTO patients (id, account_id, name, name_folded, birth_date, gender, notes, notes_folded, "
                   "phone, created_at) SELECT ?1, id, ?2, ?3, '1970-01-01', 'MALE', 'bulk', 'bulk', '', ?4 "
                   "FROM accounts WHERE username = 'demo'")
            .bind(1, QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString())
            .bind(2, name)
            .bind(3, localservice::foldCase(name))
            .bind(4, i)
            .run();
    }
    transaction.commit();
}

void compareSearches(ServiceClient& client, const QString& databasePath, const QStringList& needles)
{
    for (const QString& text : needles) {
        const SearchAnswer answer = searchAll(client, QStringLiteral("name"), text);
        const QStringList expected = scanned(databasePath, QStringLiteral("name"), text);
        QVERIFY2(!expected.isEmpty(), qPrintable(text));
        QCOMPARE(answer.ids, expected);
    }
}

} // namespace

class TestServiceSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameAsTheSubstringScan_data();
    void sameAsTheSubstringScan();
    void olderDatabaseGetsTheIndex();

private:
    LocalServiceProcess m_service;
    std::unique_ptr<ServiceClient> m_demo;
};

void TestServiceSearch::initTestCase()
{
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    m_demo = std::make_unique<ServiceClient>(m_service.baseUrl());
    QCOMPARE(m_demo->signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
    const QList<QPair<QString, QString>> patients = {
        {QStringLiteral("Ann\"a O'Brien-Smith"), QStringLiteral("100% better_now * \"quoted\" - AND OR NEAR(x)")},
        {QStringLiteral("ЁЛКИН Ёжик"), QStringLiteral("Мигрень ПО утрам")},
        {QStringLiteral("Zoë 🌟🌟 Straße"), QStringLiteral("{name_folded} : x")},
        {QStringLiteral("Ab"), QStringLiteral("")},
        {QStringLiteral("Renamed Before"), QStringLiteral("kept")},
        {QStringLiteral("Removed Qqxz"), QStringLiteral("gone")},
    };
    QStringList ids;
    for (const auto& [name, notes] : patients) {
        const ServiceAnswer created = m_demo->post(
            QStringLiteral("/patient"),
            {{"name", name}, {"birthDate", "1980-05-17"}, {"gender", "MALE"}, {"notes", notes}, {"phone", ""}});
        QCOMPARE(created.status, 201);
        ids << created.object().value(QStringLiteral("id")).toString();
    }
    QCOMPARE(m_demo
                 ->put(QStringLiteral("/patient"), {{"id", ids.at(4)},
                                                    {"name", "Renamed Afterwards"},
                                                    {"birthDate", "1980-05-17"},
                                                    {"gender", "MALE"},
                                                    {"notes", "changed too"},
                                                    {"phone", ""}})
                 .status,
             200);
    QCOMPARE(m_demo->remove(QStringLiteral("/patient/") + ids.at(5)).status, 200);
    // More matches of "bulk" than the service sorts by themselves.
    addDirectly(m_service.databasePath(), 5200, QStringLiteral("Bulk Patient"));
}

void TestServiceSearch::sameAsTheSubstringScan_data()
{
    QTest::addColumn<QString>("searchBy");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("found");

    const auto row = [](const char* label, const char* searchBy, const QString& text, bool found) {
        QTest::newRow(label) << QString::fromLatin1(searchBy) << text << found;
    };
    row("latin, three letters", "name", QStringLiteral("ann"), true);
    row("latin, other case", "name", QStringLiteral("SCHMIDT"), true);
    row("across a space", "name", QStringLiteral("a o'b"), true);
    row("cyrillic", "name", QStringLiteral("смирнов"), true);
    row("cyrillic capitals with Ё", "name", QStringLiteral("ЁЛК"), true);
    row("one letter", "name", QStringLiteral("z"), true);
    row("two letters", "name", QStringLiteral("ab"), true);
    row("two cyrillic letters", "name", QStringLiteral("ёж"), true);
    row("beyond the BMP", "name", QStringLiteral("🌟🌟 "), true);
    row("sharp s", "name", QStringLiteral("straße"), true);
    row("digits", "name", QStringLiteral("519"), true);
    row("many matches", "name", QStringLiteral("bulk pat"), true);
    row("many matches, short", "name", QStringLiteral("k"), true);
    row("double quote", "name", QStringLiteral("n\"a o"), true);
    row("lone double quote", "name", QStringLiteral("\""), true);
    row("apostrophe and dash", "name", QStringLiteral("'brien-"), true);
    row("renamed", "name", QStringLiteral("afterwards"), true);
    row("name before the rename", "name", QStringLiteral("renamed before"), false);
    row("removed", "name", QStringLiteral("qqxz"), false);
    row("no match", "name", QStringLiteral("xyzzy"), false);
    row("percent", "notes", QStringLiteral("100%"), true);
    row("underscore", "notes", QStringLiteral("r_n"), true);
    row("star", "notes", QStringLiteral("* \""), true);
    row("operators", "notes", QStringLiteral("and or near("), true);
    row("column filter syntax", "notes", QStringLiteral("{name_folded} :"), true);
    row("cyrillic notes", "notes", QStringLiteral("мигрень по"), true);
    row("changed notes", "notes", QStringLiteral("changed"), true);
    row("LIKE wildcards match nothing else", "notes", QStringLiteral("%_%"), false);
    row("empty", "notes", QString(), true);
}

void TestServiceSearch::sameAsTheSubstringScan()
{
    QFETCH(QString, searchBy);
    QFETCH(QString, text);
    QFETCH(bool, found);
    const QStringList expected = scanned(m_service.databasePath(), searchBy, text);
    QCOMPARE(!expected.isEmpty(), found);
    const SearchAnswer answer = searchAll(*m_demo, searchBy, text);
    QCOMPARE(answer.pages, static_cast<int>((expected.size() + 99) / 100));
    QCOMPARE(answer.ids, expected);
}

void TestServiceSearch::olderDatabaseGetsTheIndex()
{
    LocalServiceProcess service;
    QVERIFY2(service.start(), qPrintable(service.errorText()));
    QVERIFY(service.stop());
    {
        // Back to the layout of version 2, with patients the index never saw.
        localservice::Database db(service.databasePath().toStdString());
        db.execute("DROP TRIGGER patients_search_added; DROP TRIGGER patients_search_changed; "
                   "DROP TRIGGER patients_search_removed; DROP TABLE patient_search; "
                   "DROP INDEX patients_by_search_key; ALTER TABLE patients DROP COLUMN search_key; "
                   "PRAGMA user_version = 2;");
    }
    addDirectly(service.databasePath(), 30, QStringLiteral("Earlier Ivanova"));
    QVERIFY2(service.start(), qPrintable(service.errorText()));
    ServiceClient demo(service.baseUrl());
    QCOMPARE(demo.signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
    const QStringList needles = {QStringLiteral("ivanova"), QStringLiteral("anna"), QStringLiteral("earlier")};
    compareSearches(demo, service.databasePath(), needles);

    // The keys stay the patients' own when VACUUM renumbers the rows.
    QVERIFY(service.stop());
    {
        localservice::Database db(service.databasePath().toStdString());
        db.execute("DELETE FROM patients WHERE name LIKE 'Earlier Ivanova 1%'; VACUUM;");
    }
    QVERIFY2(service.start(), qPrintable(service.errorText()));
    ServiceClient again(service.baseUrl());
    QCOMPARE(again.signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
    QCOMPARE(again
                 .post(QStringLiteral("/patient"), {{"name", "Later Ivanova"},
                                                    {"birthDate", "1980-05-17"},
                                                    {"gender", "FEMALE"},
                                                    {"notes", ""},
                                                    {"phone", ""}})
                 .status,
             201);
    compareSearches(again, service.databasePath(), needles);
}

QTEST_GUILESS_MAIN(TestServiceSearch)
#include "tst_servicesearch.moc"
