#include "net/Unzip.h"

#include <QtDebug>

#include <algorithm>
#include <zlib.h>

namespace {

constexpr int gzipOnlyWindowBits = 31;
// Inflating into large slices of the result keeps a 50 MB payload from costing
// tens of thousands of zlib calls and copies.
constexpr qint64 sliceSize = 256 * 1024;

} // namespace

QByteArray unzip(const QByteArray& bytes, qint64 maxOutput)
{
    if (bytes.size() < 5) {
        qWarning() << "unzip: Input data is truncated";
        return {};
    }

    z_stream stream{};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    if (inflateInit2(&stream, gzipOnlyWindowBits) != Z_OK)
        return {};

    QByteArray result;
    int status = Z_OK;
    do {
        const qint64 produced = result.size();
        // One byte past the limit is enough to tell that the limit is passed.
        const qint64 room = std::min(sliceSize, maxOutput + 1 - produced);
        result.resize(int(produced + room));
        stream.next_out = reinterpret_cast<Bytef*>(result.data() + produced);
        stream.avail_out = uInt(room);

        status = inflate(&stream, Z_NO_FLUSH);
        if (status == Z_NEED_DICT || status == Z_DATA_ERROR || status == Z_MEM_ERROR || status == Z_STREAM_ERROR) {
            inflateEnd(&stream);
            return {};
        }
        result.resize(int(produced + room - stream.avail_out));
        if (result.size() > maxOutput) {
            inflateEnd(&stream);
            qWarning() << "unzip: Output exceeds" << maxOutput << "bytes; payload dropped";
            return {};
        }
        // A call that left room in the buffer has run out of input: the stream
        // ended, or it was cut short and what was inflated so far is kept.
    } while (status != Z_STREAM_END && stream.avail_out == 0);

    inflateEnd(&stream);
    return result;
}
