#include "GzipFixtures.h"

#include <zlib.h>

namespace GzipFixtures {

QByteArray compress(const QByteArray& bytes, bool gzip)
{
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, gzip ? 31 : 15, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&stream, uLong(bytes.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(int(stream.total_out));
    deflateEnd(&stream);
    return out;
}

QByteArray noiseLikeBytes(int size, unsigned seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    unsigned state = seed;
    for (int i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        // A slow wave plus a little noise: repetitive enough to compress.
        bytes[i] = char(128 + (i % 64) - 32 + int((state >> 16) & 7));
    }
    return bytes;
}

} // namespace GzipFixtures
