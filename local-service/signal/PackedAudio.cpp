#include "signal/PackedAudio.h"

#include "signal/Base64.h"

#include <new>
#include <stdexcept>

namespace localservice {

namespace {

// Samples are encoded this many at a time: a multiple of three, so that the
// texts of the pieces join into the text of the whole.
constexpr std::size_t SamplesPerPiece = 3 * 16384;
constexpr std::size_t OutputStep = 64 * 1024;

} // namespace

PackedAudioWriter::PackedAudioWriter()
{
    // windowBits 15 + 16: the gzip wrapper. Audio texts compress little
    // better at higher levels, and cost several times as long.
    const int init = deflateInit2(&m_stream, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    if (init == Z_MEM_ERROR)
        throw std::bad_alloc();
    if (init != Z_OK)
        throw std::runtime_error("PackedAudioWriter: deflateInit2 failed");
    compress("[", Z_NO_FLUSH);
}

PackedAudioWriter::~PackedAudioWriter()
{
    deflateEnd(&m_stream);
}

void PackedAudioWriter::add(std::string_view samples)
{
    compress(m_first ? "\"" : ",\"", Z_NO_FLUSH);
    m_first = false;
    for (std::size_t at = 0; at < samples.size(); at += SamplesPerPiece)
        compress(encodeBase64(samples.substr(at, SamplesPerPiece)), Z_NO_FLUSH);
    compress("\"", Z_NO_FLUSH);
}

std::string PackedAudioWriter::finish()
{
    compress("]", Z_FINISH);
    m_answer += encodeBase64(m_compressed);
    m_compressed.clear();
    return std::move(m_answer);
}

void PackedAudioWriter::compress(std::string_view text, int flush)
{
    // zlib does not write through next_in; the cast is its API.
    m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    m_stream.avail_in = uInt(text.size());
    int status = Z_OK;
    do {
        const std::size_t before = m_compressed.size();
        m_compressed.resize(before + OutputStep);
        m_stream.next_out = reinterpret_cast<Bytef*>(m_compressed.data() + before);
        m_stream.avail_out = uInt(OutputStep);
        status = deflate(&m_stream, flush);
        m_compressed.resize(before + OutputStep - m_stream.avail_out);
        if (status == Z_STREAM_ERROR)
            throw std::runtime_error("PackedAudioWriter: deflate failed");
    } while (m_stream.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
    encodeWholeGroups();
}

void PackedAudioWriter::encodeWholeGroups()
{
    const std::size_t whole = m_compressed.size() / 3 * 3;
    if (whole == 0)
        return;
    m_answer += encodeBase64(std::string_view(m_compressed).substr(0, whole));
    m_compressed.erase(0, whole);
}

} // namespace localservice
