// The recovery history's data: the computed rows, the save body and the
// names a new symptom may take.
#include "data/SymptomsTable.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

// Dates d2 (later) and d1, symptoms: standard 17 "Headache" (2 on d1),
// standard 4 "Tremor" (0 on d1, none on d2), custom "Itching" (3 on d2).
QJsonObject questionnaire()
{
    return QJsonDocument::fromJson(R"({
        "dates": {"d2": "2021-03-06T09:00:00", "d1": "2021-03-05T14:07:00"},
        "rows": [
            {"id": 17, "symptom": "Headache", "custom": false, "intensities": {"d1": 2}},
            {"id": 4, "symptom": "Tremor", "intensities": {"d1": 0}},
            {"symptom": "Itching", "custom": true, "intensities": {"d2": 3, "d1": "x"}}
        ]})")
        .object();
}

} // namespace

Q_DECLARE_METATYPE(SymptomsTable::NameProblem)

class SymptomsTableTest : public QObject
{
    Q_OBJECT

private slots:
    void cells_data();
    void cells();
    void saveBodyKeysStandardByNumberAndCustomByName();
    void emptyAnswersGiveNoRowsOrColumns();
    void namesOfNewSymptoms_data();
    void namesOfNewSymptoms();
};

void SymptomsTableTest::cells_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QVariant>("value");

    QTest::newRow("complaints of d1: only intensities above 0 count") << 1 << 0 << QVariant(1.0f);
    QTest::newRow("severity of d1: a text reads 0") << 1 << 1 << QVariant(2.0f);
    QTest::newRow("complaints of d2") << 2 << 0 << QVariant(1.0f);
    QTest::newRow("severity of d2: a missing intensity adds nothing") << 2 << 1 << QVariant(3.0f);
    QTest::newRow("an intensity") << 1 << 2 << QVariant(2.0f);
    QTest::newRow("no intensity: no value") << 2 << 3 << QVariant();
    QTest::newRow("past the last date") << 3 << 2 << QVariant();
    QTest::newRow("past the last symptom") << 1 << 5 << QVariant();
}

void SymptomsTableTest::cells()
{
    SymptomsTable table;
    table.load(questionnaire());
    QFETCH(int, column);
    QFETCH(int, row);
    QTEST(table.value(column, row), "value");
}

void SymptomsTableTest::saveBodyKeysStandardByNumberAndCustomByName()
{
    SymptomsTable table;
    table.load(questionnaire());
    QVERIFY(table.setIntensity(2, 3, 1));
    QVERIFY(!table.setIntensity(1, 1, 1)); // a computed row
    QVERIFY(!table.setIntensity(3, 2, 1)); // no such date
    Symptom added;
    added.custom = true;
    added.name = QStringLiteral("Dizziness");
    added.intensities.insert(QStringLiteral("d1"), 3); // overwritten: a new symptom starts at 0
    table.appendSymptom(added);
    table.removeSymptom(2); // standard: stays

    const QJsonObject body = QJsonDocument::fromJson(table.toJson()).object();
    QCOMPARE(body.keys(), (QStringList{"d1", "d2"}));
    QCOMPARE(body.value("d1").toObject(), (QJsonObject{{"17", 2}, {"4", 0}, {"Itching", 0}, {"Dizziness", 0}}));
    QCOMPARE(body.value("d2").toObject(), (QJsonObject{{"17", 0}, {"4", 1}, {"Itching", 3}, {"Dizziness", 0}}));

    table.removeSymptom(4);
    QCOMPARE(table.symptomCount(), 3);
    QVERIFY(!QJsonDocument::fromJson(table.toJson()).object().value("d1").toObject().contains("Itching"));
}

void SymptomsTableTest::emptyAnswersGiveNoRowsOrColumns()
{
    SymptomsTable table;
    table.load(QJsonDocument::fromJson(R"({"dates": {"d1": "2021-03-05T14:07:00"}, "rows": []})").object());
    QCOMPARE(table.rowCount(), 0);
    QCOMPARE(table.columnCount(), 2);
    table.load(QJsonDocument::fromJson(R"({"rows": [{"id": 1, "symptom": "A"}]})").object());
    QCOMPARE(table.rowCount(), 3);
    QCOMPARE(table.columnCount(), 0);
    QCOMPARE(table.headerText(1), QString());
}

void SymptomsTableTest::namesOfNewSymptoms_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<SymptomsTable::NameProblem>("problem");

    using P = SymptomsTable::NameProblem;
    QTest::newRow("a new name") << QStringLiteral("Dizziness") << P::None;
    QTest::newRow("digits among letters") << QStringLiteral("Pain 2") << P::None;
    QTest::newRow("empty") << QString() << P::Blank;
    QTest::newRow("blanks only") << QStringLiteral(" \t ") << P::Blank;
    QTest::newRow("100 characters") << QString(100, QLatin1Char('a')) << P::None;
    QTest::newRow("101 characters") << QString(101, QLatin1Char('a')) << P::TooLong;
    QTest::newRow("100 characters outside the BMP")
        << QString::fromUcs4(std::u32string(100, U'\U0001F600').c_str()) << P::None;
    QTest::newRow("digits would stand for standard symptom 5") << QStringLiteral("5") << P::OnlyDigits;
    QTest::newRow("digits with blanks") << QStringLiteral(" 17 ") << P::OnlyDigits;
    QTest::newRow("a standard symptom's name, other case") << QStringLiteral("headache") << P::Taken;
    QTest::newRow("a custom symptom's name with blanks") << QStringLiteral(" Itching ") << P::Taken;
}

void SymptomsTableTest::namesOfNewSymptoms()
{
    SymptomsTable table;
    table.load(questionnaire());
    QFETCH(QString, name);
    QTEST(table.nameProblem(name), "problem");
}

QTEST_GUILESS_MAIN(SymptomsTableTest)
#include "tst_symptomstable.moc"
