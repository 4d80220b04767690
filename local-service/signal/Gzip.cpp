#include "signal/Gzip.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <zlib.h>

namespace localservice {

std::string gzipCompress(std::string_view bytes)
{
    z_stream stream{};
    // windowBits 15 + 16: the gzip wrapper instead of the zlib one.
    const int init = deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    if (init == Z_MEM_ERROR)
        throw std::bad_alloc();
    if (init != Z_OK)
        throw std::runtime_error("gzipCompress: deflateInit2 failed");

    // zlib counts in uInt: feed and collect at most this much per call.
    constexpr std::size_t Step = std::size_t(1) << 30;
    std::string result;
    // deflateBound covers the gzip header and trailer too, so a single
    // allocation is enough for inputs that fit in one step.
    result.resize(deflateBound(&stream, uLong(std::min(bytes.size(), Step))));
    std::size_t written = 0;
    std::size_t consumed = 0;
    int status = Z_OK;
    do {
        if (stream.avail_in == 0) {
            const std::size_t chunk = std::min(bytes.size() - consumed, Step);
            // zlib does not write through next_in; the cast is its API.
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data() + consumed));
            stream.avail_in = uInt(chunk);
            consumed += chunk;
        }
        if (written == result.size())
            result.resize(result.size() + std::max<std::size_t>(result.size() / 2, 1024));
        const std::size_t room = std::min(result.size() - written, Step);
        stream.next_out = reinterpret_cast<Bytef*>(result.data() + written);
        stream.avail_out = uInt(room);
        status = deflate(&stream, consumed == bytes.size() ? Z_FINISH : Z_NO_FLUSH);
        written += room - stream.avail_out;
    } while (status == Z_OK || status == Z_BUF_ERROR);
    deflateEnd(&stream);
    if (status != Z_STREAM_END)
        throw std::runtime_error("gzipCompress: deflate failed");
    result.resize(written);
    return result;
}

} // namespace localservice
