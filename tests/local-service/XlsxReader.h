#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Just enough of ZIP and .xlsx reading for tests to check what the service's
// spreadsheet writer put where. Every offset read from the file is bounds-checked:
// a truncated or damaged file is reported, never read past its end.
namespace xlsxtest {

// The entries of a ZIP archive, found through its central directory.
class ZipArchive
{
public:
    // False, with error() telling why, when the bytes are no readable archive.
    bool open(std::string bytes);
    const std::string& error() const { return m_Error; }

    std::vector<std::string> entryNames() const;
    // The uncompressed content (stored or deflated, CRC checked); nothing when the
    // entry is missing, unsupported or damaged.
    std::optional<std::string> read(const std::string& name) const;

private:
    struct Entry
    {
        std::string name;
        std::uint16_t flags = 0;
        std::uint16_t method = 0;
        std::uint32_t crc = 0;
        std::uint32_t compressedSize = 0;
        std::uint32_t size = 0;
        std::uint32_t localHeaderOffset = 0;
    };

    bool fail(const std::string& why);
    bool readCentralDirectory(std::size_t offset, std::size_t size, std::size_t count);
    std::optional<std::string> entryData(const Entry& entry) const;

    std::string m_Bytes;
    std::vector<Entry> m_Entries;
    std::string m_Error;
};

struct Cell
{
    std::string text; // shared and inline strings resolved, numbers as written
    bool isNumber = false;
    int style = 0; // index into the cell formats
};

// Sheet names, shared strings and cells of an .xlsx workbook.
class XlsxWorkbook
{
public:
    bool open(std::string bytes);
    const std::string& error() const { return m_Error; }
    const ZipArchive& archive() const { return m_Archive; }

    const std::vector<std::string>& sheetNames() const { return m_SheetNames; }
    const std::vector<std::string>& sharedStrings() const { return m_SharedStrings; }

    // The sheet's XML, or nothing when no sheet has that name.
    std::optional<std::string> sheetXml(const std::string& sheetName) const;
    // Cells by reference ("B2"); cells never written are absent.
    std::map<std::string, Cell> cells(const std::string& sheetName) const;
    // Widths of the columns given one, by zero-based column.
    std::map<int, double> columnWidths(const std::string& sheetName) const;
    bool isBold(const Cell& cell) const;

private:
    bool fail(const std::string& why);

    ZipArchive m_Archive;
    std::vector<std::string> m_SheetNames;
    std::vector<std::string> m_SheetPaths;
    std::vector<std::string> m_SharedStrings;
    std::vector<bool> m_BoldStyles;
    std::string m_Error;
};

std::string decodeXmlEntities(const std::string& text);

} // namespace xlsxtest
