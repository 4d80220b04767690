#include "export/SpreadsheetExport.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <xlsxwriter.h>

namespace localservice {
namespace {

// Excel's limits: sheet names count UTF-16 units, a cell holds at most 32767 characters.
constexpr std::size_t kMaxSheetNameUnits = 31;
constexpr std::size_t kMaxCellTextUnits = 32767;
constexpr std::string_view kForbiddenInSheetNames = "[]:*?/\\";
constexpr double kMinColumnWidth = 10;
constexpr double kMaxColumnWidth = 60;

class ExportError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

void logFailure(const std::string& reason)
{
    // One write, so that lines of concurrent exports don't interleave.
    const std::string line = "spreadsheet export failed: " + reason + "\n";
    std::fputs(line.c_str(), stderr);
}

// --- UTF-8 texts measured the way Excel measures them -----------------------

// Bytes of the UTF-8 sequence starting with lead, and the UTF-16 units it takes.
// Malformed bytes count as one byte, one unit: never skip past the end.
std::pair<std::size_t, std::size_t> utf8Sequence(unsigned char lead)
{
    if (lead >= 0xF0 && lead <= 0xF7)
        return {4, 2};
    if (lead >= 0xE0 && lead <= 0xEF)
        return {3, 1};
    if (lead >= 0xC0 && lead <= 0xDF)
        return {2, 1};
    return {1, 1};
}

std::size_t utf16Length(const std::string& text)
{
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto [bytes, width] = utf8Sequence(static_cast<unsigned char>(text[i]));
        i += bytes;
        units += width;
    }
    return units;
}

// Cuts text to at most maxUnits UTF-16 units without splitting a character.
std::string truncateUtf16(const std::string& text, std::size_t maxUnits)
{
    std::size_t units = 0;
    std::size_t end = 0;
    while (end < text.size()) {
        const auto [bytes, width] = utf8Sequence(static_cast<unsigned char>(text[end]));
        if (units + width > maxUnits || end + bytes > text.size())
            break;
        end += bytes;
        units += width;
    }
    return text.substr(0, end);
}

// --- Sheet names --------------------------------------------------------------

// Excel compares sheet names without regard to case; fold ASCII and basic Cyrillic.
std::string foldCase(const std::string& text)
{
    std::string folded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 'A' && byte <= 'Z') {
            folded += static_cast<char>(byte + ('a' - 'A'));
        } else if ((byte == 0xD0 || byte == 0xD1) && i + 1 < text.size()) {
            // Two-byte sequence: U+0400..U+047F.
            unsigned codePoint = ((byte & 0x1Fu) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3Fu);
            if (codePoint >= 0x0410 && codePoint <= 0x042F)
                codePoint += 0x20;
            else if (codePoint >= 0x0400 && codePoint <= 0x040F)
                codePoint += 0x50;
            folded += static_cast<char>(0xC0 | (codePoint >> 6));
            folded += static_cast<char>(0x80 | (codePoint & 0x3F));
        } else {
            folded += static_cast<char>(byte);
        }
    }
    return folded;
}

bool isForbiddenInSheetName(char c)
{
    return kForbiddenInSheetNames.find(c) != std::string_view::npos;
}

// A name the library and Excel accept: no []:*?/\, at most 31 units, no apostrophe
// at either end, not empty. Translations are not trusted to respect this.
std::string validSheetName(const std::string& wanted, const std::string& fallback)
{
    std::string name = wanted;
    std::replace_if(name.begin(), name.end(), isForbiddenInSheetName, '_');
    name = truncateUtf16(name, kMaxSheetNameUnits);
    const auto first = name.find_first_not_of('\'');
    const auto last = name.find_last_not_of('\'');
    name = first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
    return name.empty() ? fallback : name;
}

bool isNameTaken(const std::string& name, const std::vector<std::string>& taken)
{
    const std::string folded = foldCase(name);
    return std::any_of(taken.begin(), taken.end(), [&](const std::string& t) { return foldCase(t) == folded; });
}

// Two translations may give the same name; the library refuses a second sheet with it.
std::string uniqueSheetName(const std::string& name, const std::vector<std::string>& taken)
{
    std::string candidate = name;
    for (int number = 2; isNameTaken(candidate, taken); ++number) {
        const std::string suffix = " (" + std::to_string(number) + ")";
        candidate = truncateUtf16(name, kMaxSheetNameUnits - suffix.size()) + suffix;
    }
    return candidate;
}

std::vector<std::string> sheetNames(const ExportSheetTexts& texts)
{
    std::vector<std::string> names;
    const std::string wanted[] = {texts.patientSheet, texts.recordsSheet, texts.recoverySheet};
    for (std::size_t i = 0; i < std::size(wanted); ++i) {
        const std::string fallback = "Sheet" + std::to_string(i + 1);
        names.push_back(uniqueSheetName(validSheetName(wanted[i], fallback), names));
    }
    return names;
}

// --- Writing through the library ------------------------------------------------

void check(lxw_error error, const char* what)
{
    if (error != LXW_NO_ERROR)
        throw ExportError(std::string(what) + ": " + lxw_strerror(error));
}

// Owns the library's workbook until it is closed (closing writes the file and frees it).
class WorkbookHandle
{
public:
    explicit WorkbookHandle(const std::string& path)
    {
        workbook_ = workbook_new(path.c_str());
        if (!workbook_)
            throw ExportError("cannot create the workbook");
    }
    ~WorkbookHandle()
    {
        if (workbook_)
            lxw_workbook_free(workbook_);
    }
    WorkbookHandle(const WorkbookHandle&) = delete;
    WorkbookHandle& operator=(const WorkbookHandle&) = delete;

    lxw_workbook* get() const { return workbook_; }

    void close()
    {
        // The library stamps the document with gmtime(), whose result buffer the whole
        // process shares: two exports closing at once could swap their dates.
        static std::mutex closing;
        std::lock_guard<std::mutex> lock(closing);
        lxw_workbook* workbook = std::exchange(workbook_, nullptr);
        check(workbook_close(workbook), "cannot write the workbook");
    }

private:
    lxw_workbook* workbook_ = nullptr;
};

struct Formats
{
    lxw_format* bold = nullptr;
    lxw_format* wrapped = nullptr;
};

Formats addFormats(lxw_workbook* workbook)
{
    Formats formats{workbook_add_format(workbook), workbook_add_format(workbook)};
    if (!formats.bold || !formats.wrapped)
        throw ExportError("cannot create the cell formats");
    format_set_bold(formats.bold);
    format_set_text_wrap(formats.wrapped);
    return formats;
}

// Writes a sheet cell by cell and keeps the widest text of each column for its width.
class SheetWriter
{
public:
    SheetWriter(lxw_workbook* workbook, const std::string& name)
        : sheet_(workbook_add_worksheet(workbook, name.c_str()))
    {
        if (!sheet_)
            throw ExportError("cannot add the sheet \"" + name + "\"");
    }

    void text(std::size_t row, std::size_t column, const std::string& value, lxw_format* format = nullptr)
    {
        const std::string cellText = truncateUtf16(value, kMaxCellTextUnits);
        check(worksheet_write_string(sheet_, rowIndex(row), columnIndex(column), cellText.c_str(), format),
              "cannot write a text cell");
        widen(column, utf16Length(cellText));
    }

    // An absent or non-finite number leaves the cell empty: "nan" is no value Excel reads.
    void number(std::size_t row, std::size_t column, std::optional<double> value)
    {
        if (!value || !std::isfinite(*value))
            return;
        check(worksheet_write_number(sheet_, rowIndex(row), columnIndex(column), *value, nullptr),
              "cannot write a number cell");
        widen(column, 6);
    }

    void freeze(std::size_t rows, std::size_t columns)
    {
        worksheet_freeze_panes(sheet_, rowIndex(rows), columnIndex(columns));
    }

    void applyColumnWidths()
    {
        for (std::size_t column = 0; column < widths_.size(); ++column) {
            const double width = std::clamp(static_cast<double>(widths_[column]) + 2, kMinColumnWidth, kMaxColumnWidth);
            const lxw_col_t index = columnIndex(column);
            check(worksheet_set_column(sheet_, index, index, width, nullptr), "cannot size a column");
        }
    }

private:
    // The library's indexes are narrower than size_t: refuse what would wrap around.
    static lxw_row_t rowIndex(std::size_t row)
    {
        if (row >= LXW_ROW_MAX)
            throw ExportError("more rows than a sheet holds");
        return static_cast<lxw_row_t>(row);
    }
    static lxw_col_t columnIndex(std::size_t column)
    {
        if (column >= LXW_COL_MAX)
            throw ExportError("more columns than a sheet holds");
        return static_cast<lxw_col_t>(column);
    }

    void widen(std::size_t column, std::size_t units)
    {
        if (widths_.size() <= column)
            widths_.resize(column + 1, 0);
        widths_[column] = std::max(widths_[column], units);
    }

    lxw_worksheet* sheet_;
    std::vector<std::size_t> widths_;
};

// Label and value on each row; long values such as notes wrap within their column.
void writePatientSheet(lxw_workbook* workbook, const std::string& name, const PatientWorkbook& data,
                       const Formats& formats)
{
    SheetWriter sheet(workbook, name);
    const auto& labels = data.texts.patientLabels;
    const auto& values = data.patientValues;
    for (std::size_t row = 0; row < std::max(labels.size(), values.size()); ++row) {
        if (row < labels.size())
            sheet.text(row, 0, labels[row], formats.bold);
        if (row < values.size())
            sheet.text(row, 1, values[row], formats.wrapped);
    }
    sheet.applyColumnWidths();
}

void writeRecordsSheet(lxw_workbook* workbook, const std::string& name, const PatientWorkbook& data,
                       const Formats& formats)
{
    SheetWriter sheet(workbook, name);
    const auto& headings = data.texts.recordHeadings;
    for (std::size_t column = 0; column < headings.size(); ++column)
        sheet.text(0, column, headings[column], formats.bold);
    for (std::size_t i = 0; i < data.records.size(); ++i) {
        const ExportRecordRow& record = data.records[i];
        const std::size_t row = i + 1;
        sheet.text(row, 0, record.recordedAt);
        sheet.text(row, 1, record.doctorName);
        sheet.text(row, 2, record.questionnaire);
        sheet.text(row, 3, record.sensorId);
    }
    sheet.freeze(1, 0);
    sheet.applyColumnWidths();
}

// Symptoms down, recovery dates across; the symptom column stays in view when scrolling.
void writeRecoverySheet(lxw_workbook* workbook, const std::string& name, const PatientWorkbook& data,
                        const Formats& formats)
{
    SheetWriter sheet(workbook, name);
    sheet.text(0, 0, data.texts.symptomHeading, formats.bold);
    for (std::size_t i = 0; i < data.recoveryDates.size(); ++i)
        sheet.text(0, i + 1, data.recoveryDates[i], formats.bold);
    for (std::size_t i = 0; i < data.symptoms.size(); ++i) {
        const ExportSymptomRow& symptom = data.symptoms[i];
        const std::size_t row = i + 1;
        sheet.text(row, 0, symptom.symptom);
        for (std::size_t j = 0; j < symptom.intensities.size(); ++j)
            sheet.number(row, j + 1, symptom.intensities[j]);
    }
    sheet.freeze(1, 1);
    sheet.applyColumnWidths();
}

void writeWorkbook(const std::string& path, const PatientWorkbook& data)
{
    WorkbookHandle workbook(path);
    const Formats formats = addFormats(workbook.get());
    const std::vector<std::string> names = sheetNames(data.texts);
    writePatientSheet(workbook.get(), names[0], data, formats);
    writeRecordsSheet(workbook.get(), names[1], data, formats);
    writeRecoverySheet(workbook.get(), names[2], data, formats);
    workbook.close();
}

// --- The temporary file -------------------------------------------------------

// A file of our own in the system's temporary folder, removed whatever happens:
// the library writes only to files, and exports may run on several threads at once.
class TemporaryFile
{
public:
    TemporaryFile()
    {
        std::error_code error;
        const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
        if (error)
            throw ExportError("no temporary folder: " + error.message());
        std::string pattern = (folder / "sonvera-export-XXXXXX.xlsx").string();
        const int fd = mkstemps(pattern.data(), 5);
        if (fd < 0)
            throw ExportError("cannot create a temporary file in " + folder.string() + ": " + std::strerror(errno));
        ::close(fd);
        path_ = pattern;
    }
    ~TemporaryFile() { std::remove(path_.c_str()); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

std::string readWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw ExportError("cannot read back " + path);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty())
        throw ExportError("the library wrote an empty file");
    return bytes;
}

} // namespace

std::string buildPatientWorkbook(const PatientWorkbook& workbook)
{
    try {
        const TemporaryFile file;
        writeWorkbook(file.path(), workbook);
        return readWholeFile(file.path());
    } catch (const ExportError& error) {
        logFailure(error.what());
    } catch (const std::exception& error) {
        logFailure(std::string("unexpected error: ") + error.what());
    }
    return {};
}

} // namespace localservice
