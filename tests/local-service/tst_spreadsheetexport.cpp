#include "export/SpreadsheetExport.h"
#include "local-service/XlsxReader.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <string>
#include <thread>

using localservice::buildPatientWorkbook;
using localservice::PatientWorkbook;
using xlsxtest::Cell;
using xlsxtest::XlsxWorkbook;

namespace {

using Cells = std::map<std::string, Cell>;

PatientWorkbook samplePatient(const std::string& name)
{
    PatientWorkbook workbook;
    workbook.texts.patientSheet = "Пациент";
    workbook.texts.recordsSheet = "Записи";
    workbook.texts.recoverySheet = "Восстановление";
    workbook.texts.patientLabels = {"ФИО", "Дата рождения", "Возраст", "Пол", "Телефон", "Заметки", "Последняя запись"};
    workbook.texts.recordHeadings = {"Дата записи", "Врач", "Анкета", "Датчик"};
    workbook.texts.symptomHeading = "Симптом";
    workbook.patientValues = {
        name, "12.03.1980", "45", "Женский", "+7 900 123-45-67", "Tea & <honey> \"daily\" 'warm'",
    };
    workbook.records = {{"01.02.2025 10:15", "Петров П. П.", "Да", "S-0001"},
                        {"03.02.2025 09:00", "Сидорова А. В.", "Нет", "S-0002"}};
    workbook.recoveryDates = {"01.02.2025", "03.02.2025", "05.02.2025"};
    workbook.symptoms = {{"Головная боль", {3.0, std::nullopt, 1.5}},
                         {"Бессонница", {7.0, 6.25, std::numeric_limits<double>::quiet_NaN()}}};
    return workbook;
}

QString text(const Cells& cells, const std::string& reference)
{
    const auto cell = cells.find(reference);
    return cell == cells.end() ? QStringLiteral("<no cell>") : QString::fromStdString(cell->second.text);
}

bool isEmptyCell(const Cells& cells, const std::string& reference)
{
    const auto cell = cells.find(reference);
    return cell == cells.end() || (cell->second.text.empty() && !cell->second.isNumber);
}

QStringList toQStrings(const std::vector<std::string>& strings)
{
    QStringList list;
    for (const std::string& s : strings)
        list << QString::fromStdString(s);
    return list;
}

} // namespace

class SpreadsheetExportTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void isAZipWithThreeSheets();
    void sheetNamesAreMadeValid_data();
    void sheetNamesAreMadeValid();
    void patientSheetHoldsLabelsAndValues();
    void recordsSheetHasABoldFrozenHeading();
    void recoverySheetHoldsIntensitiesAsNumbers();
    void workbookWithoutDataIsValid();
    void overlongCellTextIsCutNotRefused();
    void concurrentExportsKeepTheirOwnData();
    void tooManyColumnsFailCleanly_data();
    void tooManyColumnsFailCleanly();
    void noTemporaryFileIsLeftBehind();
    void readerRejectsEveryTruncation();
    void readerRejectsDamagedArchives_data();
    void readerRejectsDamagedArchives();

private:
    QStringList temporaryFiles() const;
    std::string validWorkbook();

    // The exports' temporary folder, private so that any file left in it is ours.
    QTemporaryDir m_temporaryFolder;
};

void SpreadsheetExportTest::initTestCase()
{
    QVERIFY(m_temporaryFolder.isValid());
    qputenv("TMPDIR", QFile::encodeName(m_temporaryFolder.path()));
}

QStringList SpreadsheetExportTest::temporaryFiles() const
{
    return QDir(m_temporaryFolder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

std::string SpreadsheetExportTest::validWorkbook()
{
    return buildPatientWorkbook(samplePatient("Иванова Мария Петровна"));
}

void SpreadsheetExportTest::isAZipWithThreeSheets()
{
    const std::string bytes = validWorkbook();
    QVERIFY(bytes.compare(0, 4, "PK\x03\x04") == 0);

    XlsxWorkbook workbook;
    QVERIFY2(workbook.open(bytes), workbook.error().c_str());
    const QStringList entries = toQStrings(workbook.archive().entryNames());
    for (const char* part : {"[Content_Types].xml", "xl/workbook.xml", "xl/worksheets/sheet1.xml",
                             "xl/worksheets/sheet2.xml", "xl/worksheets/sheet3.xml"})
        QVERIFY2(entries.contains(part), part);
    QCOMPARE(toQStrings(workbook.sheetNames()), QStringList({"Пациент", "Записи", "Восстановление"}));
}

void SpreadsheetExportTest::sheetNamesAreMadeValid_data()
{
    QTest::addColumn<QStringList>("wanted");
    QTest::addColumn<QStringList>("expected");

    const QString letters30(30, 'a');
    const QString letters31(31, 'b');
    QTest::newRow("valid names are kept")
        << QStringList{"Patient", "Records", "Recovery"} << QStringList{"Patient", "Records", "Recovery"};
    QTest::newRow("forbidden characters replaced, cut to 31 characters")
        << QStringList{"Записи:пациента/[весь_период]*2024?", "a\\b", "x"}
        << QStringList{"Записи_пациента__весь_период__2", "a_b", "x"};
    QTest::newRow("a character outside the BMP counts twice")
        << QStringList{letters30 + "😀", "b", "c"} << QStringList{letters30, "b", "c"};
    QTest::newRow("apostrophes at the ends dropped")
        << QStringList{"'Quoted'", "it's", "''"} << QStringList{"Quoted", "it's", "Sheet3"};
    QTest::newRow("empty names fall back") << QStringList{"", "", ""} << QStringList{"Sheet1", "Sheet2", "Sheet3"};
    QTest::newRow("duplicates, whatever their case, numbered")
        << QStringList{"Пациент", "пациент", "ПАЦИЕНТ"} << QStringList{"Пациент", "пациент (2)", "ПАЦИЕНТ (3)"};
    QTest::newRow("numbered duplicate stays within 31 characters")
        << QStringList{letters31, letters31, "c"} << QStringList{letters31, QString(27, 'b') + " (2)", "c"};
}

void SpreadsheetExportTest::sheetNamesAreMadeValid()
{
    QFETCH(QStringList, wanted);
    QFETCH(QStringList, expected);

    PatientWorkbook data = samplePatient("Name");
    data.texts.patientSheet = wanted[0].toStdString();
    data.texts.recordsSheet = wanted[1].toStdString();
    data.texts.recoverySheet = wanted[2].toStdString();

    XlsxWorkbook workbook;
    QVERIFY2(workbook.open(buildPatientWorkbook(data)), workbook.error().c_str());
    QCOMPARE(toQStrings(workbook.sheetNames()), expected);
}

void SpreadsheetExportTest::patientSheetHoldsLabelsAndValues()
{
    XlsxWorkbook workbook;
    QVERIFY2(workbook.open(validWorkbook()), workbook.error().c_str());
    const Cells cells = workbook.cells("Пациент");

    QCOMPARE(text(cells, "A1"), QStringLiteral("ФИО"));
    QCOMPARE(text(cells, "B1"), QStringLiteral("Иванова Мария Петровна"));
    QCOMPARE(text(cells, "A2"), QStringLiteral("Дата рождения"));
    QCOMPARE(text(cells, "B2"), QStringLiteral("12.03.1980"));
    QCOMPARE(text(cells, "B3"), QStringLiteral("45"));
    QCOMPARE(text(cells, "B6"), QStringLiteral("Tea & <honey> \"daily\" 'warm'"));
    // Seven labels, six values: the last label stands alone.
    QCOMPARE(text(cells, "A7"), QStringLiteral("Последняя запись"));
    QVERIFY(isEmptyCell(cells, "B7"));
    QVERIFY(workbook.isBold(cells.at("A1")));
    QVERIFY(!workbook.isBold(cells.at("B1")));

    const std::map<int, double> widths = workbook.columnWidths("Пациент");
    QCOMPARE(int(widths.size()), 2);
    // "Tea & <honey> ..." is the longest value, wider than any label but well under the cap.
    QVERIFY(widths.at(1) > widths.at(0));
    QVERIFY(widths.at(0) >= 10 && widths.at(1) <= 60);
}

void SpreadsheetExportTest::recordsSheetHasABoldFrozenHeading()
{
    XlsxWorkbook workbook;
    QVERIFY2(workbook.open(validWorkbook()), workbook.error().c_str());
    const Cells cells = workbook.cells("Записи");

    const std::vector<std::vector<std::string>> expected = {{"Дата записи", "Врач", "Анкета", "Датчик"},
                                                            {"01.02.2025 10:15", "Петров П. П.", "Да", "S-0001"},
                                                            {"03.02.2025 09:00", "Сидорова А. В.", "Нет", "S-0002"}};
    for (std::size_t row = 0; row < expected.size(); ++row) {
        for (std::size_t column = 0; column < expected[row].size(); ++column) {
            const std::string reference = std::string(1, char('A' + column)) + std::to_string(row + 1);
            QCOMPARE(text(cells, reference), QString::fromStdString(expected[row][column]));
            QCOMPARE(workbook.isBold(cells.at(reference)), row == 0);
        }
    }
    QCOMPARE(int(cells.size()), 12);

    const QString xml = QString::fromStdString(workbook.sheetXml("Записи").value_or(""));
    QVERIFY2(xml.contains(QRegularExpression(R"(<pane [^>]*ySplit="1"[^>]*state="frozen")")), qPrintable(xml));
}

void SpreadsheetExportTest::recoverySheetHoldsIntensitiesAsNumbers()
{
    XlsxWorkbook workbook;
    QVERIFY2(workbook.open(validWorkbook()), workbook.error().c_str());
    const Cells cells = workbook.cells("Восстановление");

    QCOMPARE(text(cells, "A1"), QStringLiteral("Симптом"));
    QCOMPARE(text(cells, "B1"), QStringLiteral("01.02.2025"));
    QCOMPARE(text(cells, "D1"), QStringLiteral("05.02.2025"));
    QVERIFY(workbook.isBold(cells.at("D1")));
    QCOMPARE(text(cells, "A2"), QStringLiteral("Головная боль"));
    QCOMPARE(text(cells, "A3"), QStringLiteral("Бессонница"));

    const std::map<std::string, double> numbers = {{"B2", 3.0}, {"D2", 1.5}, {"B3", 7.0}, {"C3", 6.25}};
    for (const auto& [reference, value] : numbers) {
        QVERIFY2(cells.count(reference) && cells.at(reference).isNumber, reference.c_str());
        QCOMPARE(std::stod(cells.at(reference).text), value);
    }
    // No intensity, and one that is no number at all, leave their cells empty.
    QVERIFY(isEmptyCell(cells, "C2"));
    QVERIFY(isEmptyCell(cells, "D3"));
}

void SpreadsheetExportTest::workbookWithoutDataIsValid()
{
    PatientWorkbook data = samplePatient("Name");
    data.patientValues = {"", "45"};
    data.records.clear();
    data.recoveryDates.clear();
    data.symptoms.clear();

    XlsxWorkbook workbook;
    QVERIFY2(workbook.open(buildPatientWorkbook(data)), workbook.error().c_str());
    QCOMPARE(int(workbook.sheetNames().size()), 3);
    const Cells patient = workbook.cells("Пациент");
    QVERIFY(isEmptyCell(patient, "B1"));
    QCOMPARE(text(patient, "B2"), QStringLiteral("45"));
    QCOMPARE(int(workbook.cells("Записи").size()), 4);
    const Cells recovery = workbook.cells("Восстановление");
    QCOMPARE(int(recovery.size()), 1);
    QCOMPARE(text(recovery, "A1"), QStringLiteral("Симптом"));

    // Nothing at all: not even texts.
    XlsxWorkbook bare;
    QVERIFY2(bare.open(buildPatientWorkbook(PatientWorkbook{})), bare.error().c_str());
    QCOMPARE(toQStrings(bare.sheetNames()), QStringList({"Sheet1", "Sheet2", "Sheet3"}));
}

void SpreadsheetExportTest::overlongCellTextIsCutNotRefused()
{
    // A cell holds at most 32767 characters; long notes must not fail the whole export.
    PatientWorkbook data = samplePatient("Name");
    std::string notes;
    for (int i = 0; i < 20000; ++i)
        notes += "ж";
    notes += std::string(20000, 'x');
    data.patientValues[5] = notes;

    XlsxWorkbook workbook;
    QVERIFY2(workbook.open(buildPatientWorkbook(data)), workbook.error().c_str());
    const QString cut = text(workbook.cells("Пациент"), "B6");
    QCOMPARE(cut.size(), 32767);
    QVERIFY(cut.startsWith(QString(20000, QChar(0x436))));
}

void SpreadsheetExportTest::concurrentExportsKeepTheirOwnData()
{
    constexpr int rounds = 20;
    const std::vector<std::string> names = {"Иванова Мария", "Petrov Ivan", "Сидоров Олег"};
    std::vector<std::vector<std::string>> results(names.size());
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < names.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < rounds; ++round)
                results[t].push_back(buildPatientWorkbook(samplePatient(names[t])));
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    for (std::size_t t = 0; t < names.size(); ++t) {
        QCOMPARE(int(results[t].size()), rounds);
        for (const std::string& bytes : results[t]) {
            XlsxWorkbook workbook;
            QVERIFY2(workbook.open(bytes), workbook.error().c_str());
            QCOMPARE(text(workbook.cells("Пациент"), "B1"), QString::fromStdString(names[t]));
        }
    }
    QVERIFY(results[0][0] != results[1][0]);
}

void SpreadsheetExportTest::tooManyColumnsFailCleanly_data()
{
    QTest::addColumn<int>("recoveryDates");

    // A sheet has 16384 columns and 1048576 rows; the first column holds the symptoms.
    QTest::newRow("dates fill every column") << 16383;
    QTest::newRow("one date too many") << 16384;
}

void SpreadsheetExportTest::tooManyColumnsFailCleanly()
{
    QFETCH(int, recoveryDates);

    PatientWorkbook data = samplePatient("Name");
    data.recoveryDates.assign(std::size_t(recoveryDates), "01.01.2025");
    data.symptoms.assign(1, {"Symptom", {}});
    const bool fits = recoveryDates < 16384;

    const std::string bytes = buildPatientWorkbook(data);
    QCOMPARE(bytes.empty(), !fits);
    if (fits) {
        XlsxWorkbook workbook;
        QVERIFY2(workbook.open(bytes), workbook.error().c_str());
        QCOMPARE(text(workbook.cells("Восстановление"), "XFD1"), QStringLiteral("01.01.2025"));
    }
    QCOMPARE(temporaryFiles(), QStringList());
}

void SpreadsheetExportTest::noTemporaryFileIsLeftBehind()
{
    QCOMPARE(temporaryFiles(), QStringList());
    QVERIFY(!validWorkbook().empty());
    QCOMPARE(temporaryFiles(), QStringList());

    // The file goes to the system's temporary folder: without one, no export.
    const QByteArray folder = qgetenv("TMPDIR");
    qputenv("TMPDIR", folder + "/missing");
    const std::string bytes = validWorkbook();
    qputenv("TMPDIR", folder);
    QVERIFY(bytes.empty());
    QCOMPARE(temporaryFiles(), QStringList());
}

void SpreadsheetExportTest::readerRejectsEveryTruncation()
{
    const std::string bytes = validWorkbook();
    QVERIFY(bytes.size() > 1000);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        xlsxtest::ZipArchive archive;
        if (archive.open(bytes.substr(0, length)))
            QFAIL(qPrintable(QString("a file cut to %1 bytes was accepted").arg(length)));
        QVERIFY(!archive.error().empty());
        QVERIFY(archive.entryNames().empty());
    }
}

void SpreadsheetExportTest::readerRejectsDamagedArchives_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("opens");

    QTest::newRow("central directory offset past the end") << "directory offset" << false;
    QTest::newRow("more entries announced than present") << "entry count" << false;
    QTest::newRow("entry name running past the directory") << "name length" << false;
    QTest::newRow("compressed data altered") << "data" << true;
    QTest::newRow("local header offset past the end") << "local offset" << true;
}

void SpreadsheetExportTest::readerRejectsDamagedArchives()
{
    QFETCH(QString, damage);
    QFETCH(bool, opens);

    std::string bytes = validWorkbook();
    const std::size_t end = bytes.rfind("PK\x05\x06");
    QVERIFY(end != std::string::npos);
    const auto at = [&](std::size_t offset) {
        return std::size_t(static_cast<unsigned char>(bytes[offset])) |
               std::size_t(static_cast<unsigned char>(bytes[offset + 1])) << 8;
    };
    const std::size_t directory = at(end + 16) | at(end + 18) << 16;
    const std::size_t firstDataByte = 30 + at(26) + at(28);

    if (damage == "directory offset")
        bytes[end + 19] = char(0x7f);
    else if (damage == "entry count")
        bytes[end + 10] = char(bytes[end + 10] + 1);
    else if (damage == "name length")
        bytes[directory + 29] = char(0xff);
    else if (damage == "data")
        bytes[firstDataByte + 2] = char(bytes[firstDataByte + 2] ^ 0x55);
    else if (damage == "local offset")
        bytes[directory + 45] = char(0x7f);

    xlsxtest::ZipArchive archive;
    QCOMPARE(archive.open(bytes), opens);
    if (opens) {
        const std::string firstEntry = archive.entryNames().at(0);
        QVERIFY(!archive.read(firstEntry));
        QVERIFY(archive.read(archive.entryNames().at(1)));
    }
}

QTEST_GUILESS_MAIN(SpreadsheetExportTest)
#include "tst_spreadsheetexport.moc"
