// The service writes its long lists as text directly; the text must be what
// the JSON library writes for the same values, byte for byte.
#include "http/JsonText.h"

#include <QtTest>

#include <nlohmann/json.hpp>

class TestJsonText : public QObject
{
    Q_OBJECT

private slots:
    void stringsAreWrittenAsTheLibraryWritesThem_data();
    void stringsAreWrittenAsTheLibraryWritesThem();
    void nestedValuesAreSeparatedAsTheLibrarySeparatesThem();
    void textThatIsNotUtf8IsRefusedAsTheLibraryRefusesIt();
};

void TestJsonText::stringsAreWrittenAsTheLibraryWritesThem_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("quote and backslash") << QByteArray("say \"hi\" \\ bye");
    QTest::newRow("short escapes") << QByteArray("\b\f\n\r\t");
    QTest::newRow("other control characters") << QByteArray("\x01\x1f\x0b", 3);
    QTest::newRow("a NUL inside") << QByteArray("a\0b", 3);
    QTest::newRow("delete and slash kept") << QByteArray("\x7f/");
    QTest::newRow("Cyrillic and emoji kept as they are") << QByteArray("Иванов \xF0\x9F\x98\x80");
}

void TestJsonText::stringsAreWrittenAsTheLibraryWritesThem()
{
    QFETCH(QByteArray, text);
    const std::string value = text.toStdString();
    localservice::JsonText written;
    written.beginObject().key(value).string(value).endObject();
    QCOMPARE(QByteArray::fromStdString(written.take()),
             QByteArray::fromStdString(nlohmann::json{{value, value}}.dump()));
}

void TestJsonText::nestedValuesAreSeparatedAsTheLibrarySeparatesThem()
{
    localservice::JsonText patient;
    patient.beginObject().key("age").number(-3).key("tags").beginArray().endArray().key("x").null().endObject();
    localservice::JsonText answer;
    answer.beginObject().key("data").beginArray().written(patient.text()).written(patient.text());
    answer.beginArray().boolean(true).boolean(false).endArray().endArray();
    answer.key("pages").number(INT64_MAX).key("z").beginObject().endObject().endObject();

    const nlohmann::json object = {{"age", -3}, {"tags", nlohmann::json::array()}, {"x", nullptr}};
    const nlohmann::json expected = {
        {"data", {object, object, {true, false}}}, {"pages", INT64_MAX}, {"z", nlohmann::json::object()}};
    QCOMPARE(QByteArray::fromStdString(answer.take()), QByteArray::fromStdString(expected.dump()));
}

void TestJsonText::textThatIsNotUtf8IsRefusedAsTheLibraryRefusesIt()
{
    for (const char* broken : {"\xC3", "\xED\xA0\x80", "\xC0\xAF", "ok \xFF"}) {
        localservice::JsonText written;
        QVERIFY_EXCEPTION_THROWN(written.string(broken), nlohmann::json::type_error);
        QVERIFY_EXCEPTION_THROWN((void)nlohmann::json(std::string(broken)).dump(), nlohmann::json::type_error);
    }
}

QTEST_GUILESS_MAIN(TestJsonText)
#include "tst_jsontext.moc"
