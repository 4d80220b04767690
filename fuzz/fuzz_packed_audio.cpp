// The packed answers (impact audio, the recipe's created record): Base64 text
// of a gzip stream, read as the controller reads them, then split into the
// impact's sample blocks.
#include "FuzzCheck.h"
#include "base/Base64.h"
#include "net/AudioBlocks.h"
#include "net/Unzip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray body = fuzzInput(data, size);

    const QByteArray packed = decodeBase64(body);
    // The fast decoder gives what the toolkit's decoder gives, never more
    // than three bytes for four characters.
    FUZZ_CHECK(packed == QByteArray::fromBase64(body));
    FUZZ_CHECK(qint64(packed.size()) * 4 <= qint64(body.size()) * 3);

    const QByteArray json = unzip(packed);
    FUZZ_CHECK(json.size() <= unzipOutputLimit);

    qint64 sampleBytes = 0;
    for (const QByteArray& block : decodeAudioBlocks(json))
        sampleBytes += block.size();
    FUZZ_CHECK(sampleBytes * 4 <= qint64(json.size()) * 3);
    return 0;
}
