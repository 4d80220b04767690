#include "signal/Base64.h"

#include <array>
#include <cstdint>

namespace localservice {

namespace {

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The value of every byte in the alphabet, -1 for every other byte ('=' too).
constexpr std::array<std::int8_t, 256> decodingTable()
{
    std::array<std::int8_t, 256> table{};
    for (auto& value : table)
        value = -1;
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(Alphabet[i])] = static_cast<std::int8_t>(i);
    return table;
}

constexpr std::array<std::int8_t, 256> Values = decodingTable();

int valueOf(char c)
{
    return Values[static_cast<unsigned char>(c)];
}

} // namespace

std::string encodeBase64(std::string_view bytes)
{
    std::string text((bytes.size() + 2) / 3 * 4, '=');
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    char* out = text.data();
    const std::size_t whole = bytes.size() / 3 * 3;
    for (std::size_t i = 0; i < whole; i += 3) {
        const std::uint32_t group = std::uint32_t(in[i]) << 16 | std::uint32_t(in[i + 1]) << 8 | in[i + 2];
        *out++ = Alphabet[group >> 18];
        *out++ = Alphabet[group >> 12 & 63];
        *out++ = Alphabet[group >> 6 & 63];
        *out++ = Alphabet[group & 63];
    }
    const std::size_t rest = bytes.size() - whole;
    if (rest > 0) {
        std::uint32_t group = std::uint32_t(in[whole]) << 16;
        if (rest == 2)
            group |= std::uint32_t(in[whole + 1]) << 8;
        *out++ = Alphabet[group >> 18];
        *out++ = Alphabet[group >> 12 & 63];
        if (rest == 2)
            *out = Alphabet[group >> 6 & 63];
        // The rest of the group is already '='.
    }
    return text;
}

std::optional<std::string> decodeBase64(std::string_view text)
{
    // Padding, when present, completes the last group of four: one or two '='
    // at the very end of a text whose length is a multiple of four.
    std::size_t length = text.size();
    if (length > 0 && text[length - 1] == '=') {
        if (length % 4 != 0)
            return std::nullopt;
        --length;
        if (text[length - 1] == '=')
            --length;
    }
    // A lone character in the last group cannot hold a byte.
    const std::size_t rest = length % 4;
    if (rest == 1)
        return std::nullopt;

    std::string bytes(length / 4 * 3 + (rest == 0 ? 0 : rest - 1), '\0');
    char* out = bytes.data();
    const std::size_t whole = length - rest;
    for (std::size_t i = 0; i < whole; i += 4) {
        const int a = valueOf(text[i]);
        const int b = valueOf(text[i + 1]);
        const int c = valueOf(text[i + 2]);
        const int d = valueOf(text[i + 3]);
        if ((a | b | c | d) < 0)
            return std::nullopt;
        const std::uint32_t group = std::uint32_t(a) << 18 | std::uint32_t(b) << 12 | std::uint32_t(c) << 6 | d;
        *out++ = static_cast<char>(group >> 16);
        *out++ = static_cast<char>(group >> 8 & 0xFF);
        *out++ = static_cast<char>(group & 0xFF);
    }
    if (rest > 0) {
        const int a = valueOf(text[whole]);
        const int b = valueOf(text[whole + 1]);
        const int c = rest == 3 ? valueOf(text[whole + 2]) : 0;
        if ((a | b | c) < 0)
            return std::nullopt;
        const std::uint32_t group = std::uint32_t(a) << 18 | std::uint32_t(b) << 12 | std::uint32_t(c) << 6;
        // The bits below the last whole byte must be zero: otherwise the text
        // is not what any encoder writes, and two texts would give one result.
        const std::uint32_t unused = rest == 2 ? 0xFFFF : 0xFF;
        if (group & unused)
            return std::nullopt;
        *out++ = static_cast<char>(group >> 16);
        if (rest == 3)
            *out = static_cast<char>(group >> 8 & 0xFF);
    }
    return bytes;
}

} // namespace localservice
