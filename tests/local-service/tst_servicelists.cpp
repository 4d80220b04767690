// The local service's patient list: searches and every kind of list request
// against a plain scan of the same database (a database of version 2 with
// thousands of patients, taken up by the service, then changed behind its
// back), and the list queries it refuses.
#include "ServiceClient.h"
#include "storage/Database.h"
#include "storage/KeyListCache.h"
#include "support/LocalServiceProcess.h"

#include <QtTest>

namespace {

// Each order the client asks for: sortby, direction and the same order in SQL,
// ties broken as the service does.
const QList<QStringList> orders = {
    {"", "", "created_at, id"},
    {"name", "asc", "name_folded, id"},
    {"name", "desc", "name_folded DESC, id"},
    {"age", "asc", "birth_date DESC, name_folded, id"},
    {"age", "desc", "birth_date, name_folded, id"},
    {"gender", "asc", "gender, name_folded, id"},
    {"gender", "desc", "gender DESC, name_folded, id"},
    {"record", "asc", "last_record_at, name_folded, id"},
    {"record", "desc", "last_record_at DESC, name_folded, id"},
    {"notes", "asc", "notes_folded, name_folded, id"},
    {"notes", "desc", "notes_folded DESC, name_folded, id"},
};

QString orderSql(const QString& sortBy, const QString& direction)
{
    for (const QStringList& order : orders) {
        if (order[0] == sortBy && order[1] == direction)
            return order[2];
    }
    return {};
}

} // namespace

class TestServiceLists : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void searchMatchesTheSubstringScan_data();
    void searchMatchesTheSubstringScan();
    void listCombinationsMatchTheScan_data();
    void listCombinationsMatchTheScan();
    void listQueryRefusals_data();
    void listQueryRefusals();
    void deepPagesFollowChanges_data();
    void deepPagesFollowChanges();
    void keptListsByVersion_data();
    void keptListsByVersion();

private:
    // Compares the page the service answers with the same page of a plain
    // scan of its database.
    void comparePageWithScan(const QString& sortBy, const QString& direction, const QString& searchBy,
                             const QString& text, int page);

    LocalServiceProcess m_searched;            // a database of version 2 taken up, then changed
    std::unique_ptr<ServiceClient> m_searcher; // signed in to m_searched
};

void TestServiceLists::initTestCase()
{
    QVERIFY(m_searched.start() && m_searched.stop());
    localservice::Database(m_searched.databasePath().toStdString())
        .execute(
            "DROP TRIGGER patients_list_changed; DROP TRIGGER patients_inserted; DROP TRIGGER patients_deleted; "
            "ALTER TABLE accounts DROP COLUMN list_version; CREATE TRIGGER patients_inserted AFTER INSERT ON "
            "patients BEGIN UPDATE accounts SET patient_count = patient_count + 1 WHERE id = NEW.account_id; END; "
            "CREATE TRIGGER patients_deleted AFTER DELETE ON patients BEGIN UPDATE accounts SET patient_count = "
            "patient_count - 1 WHERE id = OLD.account_id; END; "
            "DROP TRIGGER records_samples_removed; ALTER TABLE records ADD COLUMN samples BLOB NOT NULL DEFAULT "
            "x''; UPDATE records SET samples = (SELECT bytes FROM samples WHERE id = records.samples_id); ALTER "
            "TABLE records DROP COLUMN samples_id; DROP TABLE samples; DROP TABLE samples_removed; "
            "DROP TRIGGER patients_search_added; DROP TRIGGER patients_search_changed; DROP TRIGGER "
            "patients_search_removed; DROP TABLE patient_runs; DROP TABLE patient_search; DROP INDEX "
            "patients_by_search_key; DROP INDEX patients_by_creation; DROP INDEX patients_by_name; DROP INDEX "
            "patients_by_name_desc; DROP INDEX patients_by_birth; DROP INDEX patients_by_birth_desc; DROP INDEX "
            "patients_by_gender; DROP INDEX patients_by_gender_desc; DROP INDEX patients_by_record; DROP INDEX "
            "patients_by_record_desc; DROP INDEX patients_by_notes; DROP INDEX patients_by_notes_desc; ALTER TABLE "
            "patients DROP COLUMN search_key; PRAGMA user_version = 2; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
            "SELECT i + 1 FROM n WHERE i < 5200) INSERT INTO patients (id, account_id, name, name_folded, "
            "birth_date, gender, notes, notes_folded, phone, created_at) SELECT 'bulk' || i, 1, 'Bulk ' || i, "
            "'bulk ' || i, '1970-01-01', 'MALE', '', '', '', i FROM n");
    QVERIFY(m_searched.start());
    localservice::Database(m_searched.databasePath().toStdString())
        .execute("INSERT INTO patients (id, account_id, name, name_folded, birth_date, gender, notes, notes_folded, "
                 "phone, created_at) VALUES ('q', 1, 'x', 'ann\"a o''brien-smith zoë 🌟🌟 straße', '1970-01-01', "
                 "'MALE', '', '100% better_now * \"q\" - and or near(x)', '', 0); UPDATE patients SET name_folded "
                 "= 'renamed' WHERE id = 'bulk7'; DELETE FROM patients WHERE id = 'bulk5190';");
    m_searcher = std::make_unique<ServiceClient>(m_searched.baseUrl());
    QCOMPARE(m_searcher->signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);
}

void TestServiceLists::searchMatchesTheSubstringScan_data()
{
    QTest::addColumn<QString>("searchBy");
    QTest::addColumn<QString>("text");
    for (const char* text : {"ann", "SCHMIDT", "смирнов",  "ЁВА",     "z",      "bu",    "ёв", "🌟🌟 ", "519", "bulk",
                             "k",   "n\"a o",  "o'brien-", "renamed", "bulk 7", "xyzzy", "",   "d",   "ë",   "🌟"})
        QTest::newRow(text) << "name" << QString::fromUtf8(text);
    for (const char* text : {"100%", "r_n", "* \"", "and or near(", "%_%", "%", "_n", "\" "})
        QTest::newRow(text) << "notes" << QString::fromUtf8(text);
}

// Against the database of m_searched: its old rows, the index built on
// upgrade, rows added, changed and removed since.
void TestServiceLists::searchMatchesTheSubstringScan()
{
    QFETCH(QString, searchBy);
    QFETCH(QString, text);
    localservice::Database db(m_searched.databasePath().toStdString());
    localservice::Statement scan = db.prepare(("SELECT id FROM patients WHERE account_id = 1 AND instr(" + searchBy +
                                               "_folded, ?) > 0 ORDER BY name_folded, id")
                                                  .toUtf8()
                                                  .constData());
    scan.bind(1, text.toLower().toStdString());
    QStringList expected, ids;
    while (scan.step())
        expected << QString::fromStdString(scan.text(0));
    ServiceClient& client = *m_searcher;
    const QString query = QStringLiteral("/patient/filter?sortby=name&size=%1&current=%2&searchby=%3&needle=%4");
    const QJsonObject counted = client.get(query.arg(1).arg(0).arg(searchBy, needleOf(text))).object();
    QCOMPARE(counted.value(QStringLiteral("pages")).toInt(-1), expected.size());
    for (int page = 0; page * 100 < expected.size(); ++page) {
        for (const QJsonValue& patient :
             client.get(query.arg(100).arg(page).arg(searchBy, needleOf(text))).object().value("data").toArray())
            ids << patient.toObject().value(QStringLiteral("id")).toString();
    }
    QCOMPARE(ids, expected);
}

void TestServiceLists::listCombinationsMatchTheScan_data()
{
    QTest::addColumn<QString>("sortBy");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("searchBy");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("page"); // 0 first, 1 middle, 2 last
    // More than 5,000 matches of three and of one character, over a thousand,
    // one, and the search box empty.
    const QList<QStringList> searches = {
        {"name", "bulk"}, {"name", "k"}, {"name", "bulk 1"}, {"notes", "%"}, {"notes", ""}};
    for (const QStringList& order : orders) {
        for (const QStringList& search : searches) {
            for (const int page : {0, 1, 2})
                QTest::addRow("%s %s, %s \"%s\", page %d", qPrintable(order[0]), qPrintable(order[1]),
                              qPrintable(search[0]), qPrintable(search[1]), page)
                    << order[0] << order[1] << search[0] << search[1] << page;
        }
    }
}

// Every kind of list request, whichever way the service finds its page,
// against a plain scan of the same database in the same order.
void TestServiceLists::listCombinationsMatchTheScan()
{
    QFETCH(QString, sortBy);
    QFETCH(QString, direction);
    QFETCH(QString, searchBy);
    QFETCH(QString, text);
    QFETCH(int, page);
    comparePageWithScan(sortBy, direction, searchBy, text, page);
}

void TestServiceLists::comparePageWithScan(const QString& sortBy, const QString& direction, const QString& searchBy,
                                           const QString& text, int page)
{
    localservice::Database db(m_searched.databasePath().toStdString());
    localservice::Statement scan = db.prepare(("SELECT id FROM patients WHERE account_id = 1 AND instr(" + searchBy +
                                               "_folded, ?) > 0 ORDER BY " + orderSql(sortBy, direction))
                                                  .toUtf8()
                                                  .constData());
    scan.bind(1, text.toLower().toStdString());
    QStringList all;
    while (scan.step())
        all << QString::fromStdString(scan.text(0));
    const int pages = int((all.size() + 19) / 20);
    const int index = page == 0 ? 0 : page == 1 ? pages / 2 : std::max(pages - 1, 0);

    const QJsonObject answer = m_searcher
                                   ->get(QStringLiteral("/patient/filter?sortby=%1&direction=%2&size=20&current=%3"
                                                        "&searchby=%4&needle=%5")
                                             .arg(sortBy, direction)
                                             .arg(index)
                                             .arg(searchBy, needleOf(text)))
                                   .object();
    QCOMPARE(answer.value(QStringLiteral("pages")).toInt(-1), pages);
    QStringList ids;
    for (const QJsonValue& patient : answer.value(QStringLiteral("data")).toArray())
        ids << patient.toObject().value(QStringLiteral("id")).toString();
    QCOMPARE(ids, all.mid(index * 20, 20));
}

void TestServiceLists::listQueryRefusals_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("parameter");

    QTest::newRow("unknown sort key") << "sortby=phone"
                                      << "sortby";
    QTest::newRow("unknown direction") << "sortby=name&direction=up"
                                       << "direction";
    QTest::newRow("size 0") << "size=0"
                            << "size";
    QTest::newRow("size 101") << "size=101"
                              << "size";
    QTest::newRow("negative page") << "current=-1"
                                   << "current";
    QTest::newRow("unknown search field") << "searchby=phone&needle="
                                          << "searchby";
    QTest::newRow("needle not Base64") << "searchby=name&needle=%25%25%25"
                                       << "needle";
    QTest::newRow("needle not UTF-8") << "searchby=name&needle=_w--"
                                      << "needle";
}

void TestServiceLists::listQueryRefusals()
{
    QFETCH(QString, query);
    QFETCH(QString, parameter);
    const ServiceAnswer answer = m_searcher->get(QStringLiteral("/patient/filter?") + query);
    QCOMPARE(answer.status, 400);
    QVERIFY2(answer.message().contains(parameter), qPrintable(answer.message()));
}

void TestServiceLists::deepPagesFollowChanges_data()
{
    QTest::addColumn<QString>("change"); // made behind the service's back, after a deep page was asked for
    QTest::addColumn<QString>("sortBy");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("searchBy");
    QTest::addColumn<QString>("text");
    QTest::newRow("added first in the order")
        << "INSERT INTO patients (id, account_id, name, name_folded, birth_date, gender, notes, notes_folded, phone, "
           "created_at) VALUES ('first', 1, 'A', 'a bulk', '1970-01-01', 'MALE', '', '', '', 0)"
        << "name"
        << "asc"
        << "name"
        << "bulk";
    QTest::newRow("renamed to the end") << "UPDATE patients SET name_folded = 'zz' WHERE id = 'bulk1000'"
                                        << "name"
                                        << "desc"
                                        << "notes"
                                        << "";
    QTest::newRow("renamed out of the matches") << "UPDATE patients SET name_folded = 'gone' WHERE id = 'bulk1001'"
                                                << ""
                                                << ""
                                                << "name"
                                                << "k";
    QTest::newRow("removed") << "DELETE FROM patients WHERE id IN ('bulk997', 'bulk998', 'bulk999')"
                             << "gender"
                             << "asc"
                             << "notes"
                             << "";
    QTest::newRow("born earlier") << "UPDATE patients SET birth_date = '1900-01-01' WHERE id = 'bulk4000'"
                                  << "age"
                                  << "asc"
                                  << "name"
                                  << "bulk";
    QTest::newRow("recorded") << "INSERT INTO samples (bytes) VALUES (x'80'); INSERT INTO records (id, patient_id, "
                                 "doctor_name, recorded_at, sensor_id, editable, samples_id) VALUES ('late', "
                                 "'bulk4100', 'D', 9, 's', 1, last_insert_rowid())"
                              << "record"
                              << "desc"
                              << "notes"
                              << "";
    QTest::newRow("notes written") << "UPDATE patients SET notes_folded = 'kk' WHERE id = 'bulk3000'"
                                   << "notes"
                                   << "asc"
                                   << "name"
                                   << "k";
}

// A deep page read along an order kept from an earlier request: after a
// change of that order or of the matches it follows the change.
void TestServiceLists::deepPagesFollowChanges()
{
    QFETCH(QString, change);
    QFETCH(QString, sortBy);
    QFETCH(QString, direction);
    QFETCH(QString, searchBy);
    QFETCH(QString, text);
    comparePageWithScan(sortBy, direction, searchBy, text, 1);
    if (QTest::currentTestFailed())
        return;
    localservice::Database(m_searched.databasePath().toStdString()).execute(change.toUtf8().constData());
    comparePageWithScan(sortBy, direction, searchBy, text, 1);
}

void TestServiceLists::keptListsByVersion_data()
{
    QTest::addColumn<int>("maxKeys");
    QTest::addColumn<QStringList>("stored"); // name:version:keys, in order
    QTest::addColumn<QString>("asked");      // name:version
    QTest::addColumn<int>("found");          // keys, or -1 for none
    QTest::newRow("same version") << 100 << QStringList{"a:1:3"} << "a:1" << 3;
    QTest::newRow("other version") << 100 << QStringList{"a:1:3"} << "a:2" << -1;
    QTest::newRow("stored again, older asked") << 100 << QStringList{"a:1:3", "a:2:5"} << "a:1" << -1;
    QTest::newRow("stored again, newer asked") << 100 << QStringList{"a:1:3", "a:2:5"} << "a:2" << 5;
    QTest::newRow("oldest dropped") << 10 << QStringList{"a:1:4", "b:1:4", "c:1:4"} << "a:1" << -1;
    QTest::newRow("newer kept") << 10 << QStringList{"a:1:4", "b:1:4", "c:1:4"} << "b:1" << 4;
    QTest::newRow("longer than the bound") << 10 << QStringList{"a:1:11"} << "a:1" << -1;
}

void TestServiceLists::keptListsByVersion()
{
    QFETCH(int, maxKeys);
    QFETCH(QStringList, stored);
    QFETCH(QString, asked);
    QFETCH(int, found);
    localservice::KeyListCache cache(static_cast<std::size_t>(maxKeys));
    for (const QString& list : stored) {
        const QStringList parts = list.split(':');
        cache.store(parts[0].toStdString(), parts[1].toLongLong(),
                    std::make_shared<std::vector<std::int64_t>>(parts[2].toULongLong(), 7));
    }
    const QStringList key = asked.split(':');
    const localservice::KeyListCache::Keys keys = cache.find(key[0].toStdString(), key[1].toLongLong());
    QCOMPARE(keys ? int(keys->size()) : -1, found);
}

QTEST_GUILESS_MAIN(TestServiceLists)
#include "tst_servicelists.moc"
