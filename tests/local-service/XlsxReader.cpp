#include "local-service/XlsxReader.h"

#include <cstdlib>
#include <exception>
#include <string_view>
#include <zlib.h>

namespace xlsxtest {
namespace {

// --- Little-endian records --------------------------------------------------

constexpr std::uint32_t kEndOfCentralDirectory = 0x06054b50;
constexpr std::uint32_t kCentralDirectoryEntry = 0x02014b50;
constexpr std::uint32_t kLocalFileHeader = 0x04034b50;
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kCentralEntrySize = 46;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kMaxCommentSize = 0xFFFF;
// Far more than any test workbook; a damaged size field must not allocate gigabytes.
constexpr std::uint32_t kMaxEntrySize = 64u * 1024 * 1024;

bool fits(std::string_view bytes, std::size_t offset, std::size_t length)
{
    return offset <= bytes.size() && length <= bytes.size() - offset;
}

// Callers check with fits() first.
std::uint32_t littleEndian(std::string_view bytes, std::size_t offset, int width)
{
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

std::optional<std::string> inflateRaw(std::string_view packed, std::uint32_t size)
{
    std::string output(size, '\0');
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = reinterpret_cast<Bytef*>(output.data());
    stream.avail_out = static_cast<uInt>(output.size());
    const int result = inflate(&stream, Z_FINISH);
    const bool complete = result == Z_STREAM_END && stream.total_out == size;
    inflateEnd(&stream);
    return complete ? std::optional<std::string>(std::move(output)) : std::nullopt;
}

// --- Tolerant XML scanning ----------------------------------------------------

struct Element
{
    std::string_view attributes;
    std::string_view inner;
};

bool endsTagName(char c)
{
    return c == ' ' || c == '>' || c == '/' || c == '\t' || c == '\n' || c == '\r';
}

// Every <name ...>...</name> or <name .../> in order. Elements of the same name
// nested in each other are not supported: the parts read here have none.
std::vector<Element> elements(std::string_view xml, std::string_view name)
{
    std::vector<Element> found;
    const std::string opening = "<" + std::string(name);
    const std::string closing = "</" + std::string(name) + ">";
    std::size_t pos = 0;
    while ((pos = xml.find(opening, pos)) != std::string_view::npos) {
        const std::size_t afterName = pos + opening.size();
        if (afterName >= xml.size())
            break;
        if (!endsTagName(xml[afterName])) {
            pos = afterName;
            continue;
        }
        const std::size_t tagEnd = xml.find('>', afterName);
        if (tagEnd == std::string_view::npos)
            break;
        if (xml[tagEnd - 1] == '/') {
            found.push_back({xml.substr(afterName, tagEnd - 1 - afterName), {}});
            pos = tagEnd + 1;
            continue;
        }
        const std::size_t end = xml.find(closing, tagEnd + 1);
        if (end == std::string_view::npos)
            break;
        found.push_back({xml.substr(afterName, tagEnd - afterName), xml.substr(tagEnd + 1, end - tagEnd - 1)});
        pos = end + closing.size();
    }
    return found;
}

std::optional<std::string> attribute(std::string_view attributes, std::string_view name)
{
    const std::string key = std::string(name) + "=";
    for (std::size_t pos = attributes.find(key); pos != std::string_view::npos; pos = attributes.find(key, pos + 1)) {
        const bool wholeName = pos == 0 || endsTagName(attributes[pos - 1]);
        const std::size_t quotePos = pos + key.size();
        if (!wholeName || quotePos >= attributes.size())
            continue;
        const char quote = attributes[quotePos];
        const std::size_t end = attributes.find(quote, quotePos + 1);
        if ((quote != '"' && quote != '\'') || end == std::string_view::npos)
            continue;
        return decodeXmlEntities(std::string(attributes.substr(quotePos + 1, end - quotePos - 1)));
    }
    return std::nullopt;
}

// The texts of all <t> elements within, joined: rich text keeps its runs in several.
std::string joinedTexts(std::string_view xml)
{
    std::string text;
    for (const Element& t : elements(xml, "t"))
        text += decodeXmlEntities(std::string(t.inner));
    return text;
}

int toInt(const std::optional<std::string>& text, int fallback)
{
    try {
        return text ? std::stoi(*text) : fallback;
    } catch (const std::exception&) {
        return fallback;
    }
}

} // namespace

std::string decodeXmlEntities(const std::string& text)
{
    static const std::pair<std::string_view, char> entities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string decoded;
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [entity, character] : entities) {
            if (text.compare(i, entity.size(), entity) == 0) {
                decoded += character;
                i += entity.size();
                replaced = true;
                break;
            }
        }
        if (!replaced)
            decoded += text[i++];
    }
    return decoded;
}

// --- ZipArchive ---------------------------------------------------------------

bool ZipArchive::fail(const std::string& why)
{
    m_Entries.clear();
    m_Error = why;
    return false;
}

bool ZipArchive::open(std::string bytes)
{
    m_Bytes = std::move(bytes);
    m_Entries.clear();
    m_Error.clear();
    if (m_Bytes.size() < kEndRecordSize)
        return fail("too short for a ZIP archive");

    // The end record closes the file, followed only by its comment.
    const std::size_t lowest =
        m_Bytes.size() - kEndRecordSize > kMaxCommentSize ? m_Bytes.size() - kEndRecordSize - kMaxCommentSize : 0;
    for (std::size_t pos = m_Bytes.size() - kEndRecordSize + 1; pos-- > lowest;) {
        if (littleEndian(m_Bytes, pos, 4) != kEndOfCentralDirectory)
            continue;
        if (pos + kEndRecordSize + littleEndian(m_Bytes, pos + 20, 2) != m_Bytes.size())
            continue;
        const std::size_t count = littleEndian(m_Bytes, pos + 10, 2);
        const std::size_t size = littleEndian(m_Bytes, pos + 12, 4);
        const std::size_t offset = littleEndian(m_Bytes, pos + 16, 4);
        if (offset > pos || size > pos - offset)
            return fail("central directory outside the file");
        return readCentralDirectory(offset, size, count);
    }
    return fail("no end of central directory record");
}

bool ZipArchive::readCentralDirectory(std::size_t offset, std::size_t size, std::size_t count)
{
    const std::string_view directory = std::string_view(m_Bytes).substr(offset, size);
    std::size_t pos = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!fits(directory, pos, kCentralEntrySize) || littleEndian(directory, pos, 4) != kCentralDirectoryEntry)
            return fail("damaged central directory entry " + std::to_string(i));
        Entry entry;
        entry.flags = static_cast<std::uint16_t>(littleEndian(directory, pos + 8, 2));
        entry.method = static_cast<std::uint16_t>(littleEndian(directory, pos + 10, 2));
        entry.crc = littleEndian(directory, pos + 16, 4);
        entry.compressedSize = littleEndian(directory, pos + 20, 4);
        entry.size = littleEndian(directory, pos + 24, 4);
        entry.localHeaderOffset = littleEndian(directory, pos + 42, 4);
        const std::size_t nameLength = littleEndian(directory, pos + 28, 2);
        const std::size_t extraLength = littleEndian(directory, pos + 30, 2);
        const std::size_t commentLength = littleEndian(directory, pos + 32, 2);
        const std::size_t recordLength = kCentralEntrySize + nameLength + extraLength + commentLength;
        if (!fits(directory, pos, recordLength))
            return fail("central directory entry " + std::to_string(i) + " runs past the directory");
        entry.name = std::string(directory.substr(pos + kCentralEntrySize, nameLength));
        m_Entries.push_back(std::move(entry));
        pos += recordLength;
    }
    return true;
}

std::vector<std::string> ZipArchive::entryNames() const
{
    std::vector<std::string> names;
    for (const Entry& entry : m_Entries)
        names.push_back(entry.name);
    return names;
}

std::optional<std::string> ZipArchive::read(const std::string& name) const
{
    for (const Entry& entry : m_Entries) {
        if (entry.name == name)
            return entryData(entry);
    }
    return std::nullopt;
}

std::optional<std::string> ZipArchive::entryData(const Entry& entry) const
{
    const bool encrypted = entry.flags & 1u;
    if (encrypted || entry.size > kMaxEntrySize)
        return std::nullopt;
    const std::string_view bytes(m_Bytes);
    const std::size_t header = entry.localHeaderOffset;
    if (!fits(bytes, header, kLocalHeaderSize) || littleEndian(bytes, header, 4) != kLocalFileHeader)
        return std::nullopt;
    // The local header's extra field may differ in length from the central one.
    const std::size_t dataStart =
        header + kLocalHeaderSize + littleEndian(bytes, header + 26, 2) + littleEndian(bytes, header + 28, 2);
    if (!fits(bytes, dataStart, entry.compressedSize))
        return std::nullopt;
    const std::string_view packed = bytes.substr(dataStart, entry.compressedSize);

    std::optional<std::string> data;
    if (entry.method == 0 && entry.compressedSize == entry.size)
        data = std::string(packed);
    else if (entry.method == 8)
        data = inflateRaw(packed, entry.size);
    if (!data)
        return std::nullopt;
    const auto crc = crc32(0L, reinterpret_cast<const Bytef*>(data->data()), static_cast<uInt>(data->size()));
    return crc == entry.crc ? data : std::nullopt;
}

// --- XlsxWorkbook -------------------------------------------------------------

bool XlsxWorkbook::fail(const std::string& why)
{
    m_Error = why;
    return false;
}

bool XlsxWorkbook::open(std::string bytes)
{
    m_SheetNames.clear();
    m_SheetPaths.clear();
    m_SharedStrings.clear();
    m_BoldStyles.clear();
    m_Error.clear();
    if (!m_Archive.open(std::move(bytes)))
        return fail(m_Archive.error());

    const auto workbook = m_Archive.read("xl/workbook.xml");
    const auto relations = m_Archive.read("xl/_rels/workbook.xml.rels");
    if (!workbook || !relations)
        return fail("no readable workbook part");

    // Each sheet names its part through a relation; targets are relative to xl/.
    std::map<std::string, std::string> targets;
    for (const Element& relation : elements(*relations, "Relationship"))
        targets[attribute(relation.attributes, "Id").value_or("")] =
            attribute(relation.attributes, "Target").value_or("");
    for (const Element& sheet : elements(*workbook, "sheet")) {
        const std::string target = targets[attribute(sheet.attributes, "r:id").value_or("")];
        if (target.empty())
            return fail("a sheet without a part");
        m_SheetNames.push_back(attribute(sheet.attributes, "name").value_or(""));
        m_SheetPaths.push_back(target[0] == '/' ? target.substr(1) : "xl/" + target);
    }

    // A workbook without text cells may have no shared strings at all.
    if (const auto strings = m_Archive.read("xl/sharedStrings.xml")) {
        for (const Element& item : elements(*strings, "si"))
            m_SharedStrings.push_back(joinedTexts(item.inner));
    }

    if (const auto styles = m_Archive.read("xl/styles.xml")) {
        std::vector<bool> boldFonts;
        for (const Element& fonts : elements(*styles, "fonts")) {
            for (const Element& font : elements(fonts.inner, "font"))
                boldFonts.push_back(!elements(font.inner, "b").empty());
        }
        for (const Element& formats : elements(*styles, "cellXfs")) {
            for (const Element& format : elements(formats.inner, "xf")) {
                const int font = toInt(attribute(format.attributes, "fontId"), 0);
                m_BoldStyles.push_back(font >= 0 && font < int(boldFonts.size()) && boldFonts[std::size_t(font)]);
            }
        }
    }
    return true;
}

std::optional<std::string> XlsxWorkbook::sheetXml(const std::string& sheetName) const
{
    for (std::size_t i = 0; i < m_SheetNames.size(); ++i) {
        if (m_SheetNames[i] == sheetName)
            return m_Archive.read(m_SheetPaths[i]);
    }
    return std::nullopt;
}

std::map<std::string, Cell> XlsxWorkbook::cells(const std::string& sheetName) const
{
    std::map<std::string, Cell> cells;
    const auto xml = sheetXml(sheetName);
    if (!xml)
        return cells;
    for (const Element& element : elements(*xml, "c")) {
        const std::string type = attribute(element.attributes, "t").value_or("n");
        const auto values = elements(element.inner, "v");
        const std::string value = values.empty() ? std::string() : decodeXmlEntities(std::string(values[0].inner));
        Cell cell;
        cell.style = toInt(attribute(element.attributes, "s"), 0);
        if (type == "s") {
            const int index = toInt(value, -1);
            cell.text = index >= 0 && index < int(m_SharedStrings.size()) ? m_SharedStrings[std::size_t(index)] : "";
        } else if (type == "inlineStr") {
            cell.text = joinedTexts(element.inner);
        } else {
            cell.text = value;
            cell.isNumber = type == "n" && !values.empty();
        }
        cells[attribute(element.attributes, "r").value_or("")] = cell;
    }
    return cells;
}

std::map<int, double> XlsxWorkbook::columnWidths(const std::string& sheetName) const
{
    std::map<int, double> widths;
    const auto xml = sheetXml(sheetName);
    if (!xml)
        return widths;
    for (const Element& column : elements(*xml, "col")) {
        const int first = toInt(attribute(column.attributes, "min"), 0);
        const int last = toInt(attribute(column.attributes, "max"), 0);
        const auto width = attribute(column.attributes, "width");
        for (int i = first; width && i <= last && i - first < 1000; ++i)
            widths[i - 1] = std::strtod(width->c_str(), nullptr);
    }
    return widths;
}

bool XlsxWorkbook::isBold(const Cell& cell) const
{
    return cell.style >= 0 && cell.style < int(m_BoldStyles.size()) && m_BoldStyles[std::size_t(cell.style)];
}

} // namespace xlsxtest
