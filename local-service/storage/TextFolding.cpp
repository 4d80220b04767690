#include "storage/TextFolding.h"

#include <algorithm>
#include <cstdint>

namespace localservice {

namespace {

// Decodes one code point at position i; returns its length in bytes, or 0
// for an invalid sequence.
int decode(std::string_view text, size_t i, char32_t& codePoint)
{
    const auto byte = [&](size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t lead = byte(i);
    int length = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (byte(i + k) & 0x3F);
    }
    static const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < smallest[length] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

void encode(char32_t c, std::string& out)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char32_t lower(char32_t c)
{
    if (c >= U'A' && c <= U'Z')
        return c + 32;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) // Latin-1 capitals
        return c + 32;
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x138 && c != 0x149 && c != 0x17F) {
        // Latin Extended-A pairs capital/small, shifted by one in two runs.
        const bool oddRun = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddRun ? (c % 2 == 1) : (c % 2 == 0))
            return c + 1;
        return c;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) // Greek capitals
        return c + 32;
    if (c >= 0x410 && c <= 0x42F) // Cyrillic А..Я
        return c + 32;
    if (c >= 0x400 && c <= 0x40F) // Cyrillic Ѐ..Џ, including Ё
        return c + 80;
    const bool cyrillicPairs = (c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x4FF);
    if (cyrillicPairs && c % 2 == 0) // capital at the even code point, small after it
        return c + 1;
    return c;
}

} // namespace

std::string foldCase(std::string_view utf8)
{
    std::string folded;
    folded.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t codePoint = 0;
        const int length = decode(utf8, i, codePoint);
        if (length == 0) {
            folded += utf8[i++];
            continue;
        }
        encode(lower(codePoint), folded);
        i += static_cast<size_t>(length);
    }
    return folded;
}

bool isValidUtf8(std::string_view bytes)
{
    for (size_t i = 0; i < bytes.size();) {
        char32_t codePoint = 0;
        const int length = decode(bytes, i, codePoint);
        if (length == 0)
            return false;
        i += static_cast<size_t>(length);
    }
    return true;
}

size_t utf8Length(std::string_view utf8)
{
    size_t count = 0;
    for (size_t i = 0; i < utf8.size(); ++count) {
        char32_t codePoint = 0;
        const int length = decode(utf8, i, codePoint);
        i += length == 0 ? 1 : static_cast<size_t>(length);
    }
    return count;
}

std::vector<std::string_view> shortRuns(std::string_view utf8)
{
    std::vector<std::string_view> runs;
    size_t previous = 0; // where the code point before this one starts
    for (size_t i = 0; i < utf8.size();) {
        char32_t codePoint = 0;
        const int length = decode(utf8, i, codePoint);
        const size_t next = i + (length == 0 ? 1 : static_cast<size_t>(length));
        runs.push_back(utf8.substr(i, next - i));
        if (i > 0)
            runs.push_back(utf8.substr(previous, next - previous));
        previous = i;
        i = next;
    }
    std::sort(runs.begin(), runs.end());
    runs.erase(std::unique(runs.begin(), runs.end()), runs.end());
    return runs;
}

std::string hexWords(const std::vector<std::string_view>& runs)
{
    static const char digits[] = "0123456789abcdef";
    std::string words;
    for (const std::string_view run : runs) {
        if (!words.empty())
            words += ' ';
        for (const char c : run) {
            words += digits[(static_cast<unsigned char>(c) >> 4) & 0xF];
            words += digits[static_cast<unsigned char>(c) & 0xF];
        }
    }
    return words;
}

} // namespace localservice
