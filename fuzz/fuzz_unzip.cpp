// unzip on any bytes, with a small output limit taken from the input so the
// limit itself is exercised, compared with a plain inflate of the same stream.
#include "FuzzCheck.h"
#include "net/Unzip.h"

#include <zlib.h>

namespace {

// What unzip promises, written the slow and obvious way: small output steps,
// nothing at all on a corrupt stream or when the limit is passed, what was
// inflated so far when the input runs out.
QByteArray referenceUnzip(const QByteArray& bytes, qint64 maxOutput)
{
    if (bytes.size() < 5)
        return {};
    z_stream stream{};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    if (inflateInit2(&stream, 31) != Z_OK)
        return {};
    QByteArray result;
    char step[4096];
    int status = Z_OK;
    do {
        stream.next_out = reinterpret_cast<Bytef*>(step);
        stream.avail_out = sizeof step;
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
            inflateEnd(&stream);
            return {};
        }
        result.append(step, int(sizeof step - stream.avail_out));
        if (result.size() > maxOutput) {
            inflateEnd(&stream);
            return {};
        }
    } while (status == Z_OK);
    inflateEnd(&stream);
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    // Limits from 0 to 64 KiB: the whole range that small inputs can reach.
    const qint64 maxOutput = qint64(data[0]) << 8 | data[1];
    const QByteArray input = fuzzInput(data + 2, size - 2);

    const QByteArray inflated = unzip(input, maxOutput);
    FUZZ_CHECK(inflated.size() <= maxOutput);
    FUZZ_CHECK(inflated == referenceUnzip(input, maxOutput));
    return 0;
}
