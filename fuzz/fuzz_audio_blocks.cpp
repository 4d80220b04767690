// The impact audio once unpacked: a JSON array of Base64 texts. The fast
// reader must give what the toolkit's parser and decoder give.
#include "FuzzCheck.h"
#include "net/AudioBlocks.h"

#include <QJsonArray>
#include <QJsonDocument>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray json = fuzzInput(data, size);
    const QList<QByteArray> blocks = decodeAudioBlocks(json);

    QList<QByteArray> expected;
    for (const QJsonValue& value : QJsonDocument::fromJson(json).array())
        expected.append(QByteArray::fromBase64(value.toString().toLatin1()));
    FUZZ_CHECK(blocks == expected);

    // Every element takes at least one character and a separator or bracket.
    FUZZ_CHECK(qint64(blocks.size()) * 2 <= qint64(json.size()));
    return 0;
}
