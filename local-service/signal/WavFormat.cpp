#include "signal/WavFormat.h"

#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace localservice {

namespace {

// The fixed part of the header: everything but the two sizes. Offsets and
// values as the sensor writes them, little-endian.
constexpr int RiffSizeOffset = 4;
constexpr int FormatOffset = 12;
constexpr int DataOffset = 36;
constexpr int DataSizeOffset = 40;
constexpr unsigned char FormatChunk[24] = {
    'f',  'm',  't', ' ', 16, 0, 0, 0, // chunk id and size
    1,    0,                           // PCM
    1,    0,                           // one channel
    0x22, 0x56, 0,   0,                // 22050 samples per second
    0x22, 0x56, 0,   0,                // 22050 bytes per second
    1,    0,                           // block align
    8,    0,                           // bits per sample
};
static_assert(sensor::SampleRate == 0x5622, "the format chunk spells out the sample rate");

std::uint32_t readUint32(std::string_view file, int offset)
{
    const auto* p = reinterpret_cast<const unsigned char*>(file.data() + offset);
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

void writeUint32(std::string& file, int offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        file[std::size_t(offset + i)] = static_cast<char>(value >> (8 * i) & 0xFF);
}

bool hasTag(std::string_view file, int offset, const char* tag)
{
    return file.compare(std::size_t(offset), 4, tag, 4) == 0;
}

WavCheck refused(const char* problem)
{
    WavCheck check;
    check.problem = problem;
    return check;
}

} // namespace

WavCheck readSensorWav(std::string_view file)
{
    // Every read below lies within the first 44 bytes.
    if (file.size() < std::size_t(sensor::HeaderSize) || !hasTag(file, 0, "RIFF") || !hasTag(file, 8, "WAVE"))
        return refused("wavNotRiff");
    if (readUint32(file, RiffSizeOffset) != std::uint64_t(file.size()) - 8)
        return refused("wavNotRiff");
    if (std::memcmp(file.data() + FormatOffset, FormatChunk, sizeof FormatChunk) != 0)
        return refused("wavWrongFormat");
    const std::uint64_t following = file.size() - std::size_t(sensor::HeaderSize);
    if (!hasTag(file, DataOffset, "data") || readUint32(file, DataSizeOffset) != following)
        return refused("wavBadDataChunk");
    if (following == 0)
        return refused("wavEmpty");
    if (following < std::uint64_t(sensor::MinRecordingSamples))
        return refused("wavTooShort");
    if (following > std::uint64_t(sensor::MaxRecordingSamples))
        return refused("wavTooLong");
    WavCheck check;
    check.valid = true;
    check.samples = std::string(file.substr(std::size_t(sensor::HeaderSize)));
    return check;
}

std::string makeSensorWav(std::string_view samples)
{
    // The RIFF size counts the 36 header bytes after it as well.
    if (samples.size() > std::size_t(UINT32_MAX) - (sensor::HeaderSize - 8))
        throw std::length_error("makeSensorWav: too many samples for a WAV file");
    std::string file(std::size_t(sensor::HeaderSize), '\0');
    std::memcpy(file.data(), "RIFF", 4);
    writeUint32(file, RiffSizeOffset, std::uint32_t(samples.size() + sensor::HeaderSize - 8));
    std::memcpy(file.data() + 8, "WAVE", 4);
    std::memcpy(file.data() + FormatOffset, FormatChunk, sizeof FormatChunk);
    std::memcpy(file.data() + DataOffset, "data", 4);
    writeUint32(file, DataSizeOffset, std::uint32_t(samples.size()));
    file.append(samples);
    return file;
}

} // namespace localservice
