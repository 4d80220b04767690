#include "export/ExcelText.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace localservice::excel {

namespace {

constexpr std::size_t MaxSheetNameUnits = 31;
constexpr std::string_view ForbiddenInSheetNames = "[]:*?/\\";

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

} // namespace

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

namespace {

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
    return ForbiddenInSheetNames.find(c) != std::string_view::npos;
}

// A name the library and Excel accept: no []:*?/\, at most 31 units, no apostrophe
// at either end, not empty. Translations are not trusted to respect this.
std::string validSheetName(const std::string& wanted, const std::string& fallback)
{
    std::string name = wanted;
    std::replace_if(name.begin(), name.end(), isForbiddenInSheetName, '_');
    name = truncateUtf16(name, MaxSheetNameUnits);
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
        candidate = truncateUtf16(name, MaxSheetNameUnits - suffix.size()) + suffix;
    }
    return candidate;
}

} // namespace

std::vector<std::string> sheetNames(const std::vector<std::string>& wanted)
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        const std::string fallback = "Sheet" + std::to_string(i + 1);
        names.push_back(uniqueSheetName(validSheetName(wanted[i], fallback), names));
    }
    return names;
}

} // namespace localservice::excel
