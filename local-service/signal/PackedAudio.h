#pragma once

#include <string>
#include <string_view>
#include <zlib.h>

namespace localservice {

// The packed audio reply, built one element at a time: Base64 of the gzip of
// a JSON array whose elements are the Base64 texts of the elements' samples.
// Neither the samples, nor their texts, nor the JSON text are ever held
// whole: each piece is compressed as it comes, so an impact of minutes costs
// little more than its packed answer.
class PackedAudioWriter
{
public:
    PackedAudioWriter();
    ~PackedAudioWriter();
    PackedAudioWriter(const PackedAudioWriter&) = delete;
    PackedAudioWriter& operator=(const PackedAudioWriter&) = delete;

    // One element of the array, from its samples.
    void add(std::string_view samples);
    // The packed answer; the writer is done afterwards.
    std::string finish();

private:
    void compress(std::string_view text, int flush);
    // Encodes the compressed bytes that make whole Base64 groups.
    void encodeWholeGroups();

    z_stream m_stream{};
    bool m_first = true;
    std::string m_compressed; // not yet encoded: fewer than three bytes between calls
    std::string m_answer;
};

} // namespace localservice
