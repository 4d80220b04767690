#include "net/AudioBlocks.h"

#include "base/Base64.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

namespace {

bool isJsonSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

const char* skipSpace(const char* p, const char* end)
{
    while (p < end && isJsonSpace(*p))
        ++p;
    return p;
}

// The closing quote of a text that starts at p and holds printable ASCII only,
// without escapes, or nullptr for any other text: those are left to the JSON
// parser, which alone decides what is valid.
const char* plainTextEnd(const char* p, const char* end)
{
    // Base64 texts are almost entirely alphabet characters: skip them in bulk.
    p += base64AlphabetRun(p, int(end - p));
    for (; p < end; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c == '"')
            return p;
        if (c == '\\' || c < 0x20 || c >= 0x80)
            return nullptr;
    }
    return nullptr;
}

// Reads the usual reply, an array of plain texts, straight from the bytes:
// the toolkit's parser would first copy tens of megabytes into UTF-16 strings.
// Returns false, with blocks partly filled, for anything else.
bool scanPlainArray(const QByteArray& json, QList<QByteArray>& blocks)
{
    const char* p = json.constData();
    const char* const end = p + json.size();
    p = skipSpace(p, end);
    if (p == end || *p != '[')
        return false;
    p = skipSpace(p + 1, end);
    if (p < end && *p == ']') {
        ++p;
    } else {
        for (;;) {
            if (p == end || *p != '"')
                return false;
            const char* const text = p + 1;
            const char* const close = plainTextEnd(text, end);
            if (!close)
                return false;
            blocks.append(decodeBase64(text, int(close - text)));
            p = skipSpace(close + 1, end);
            if (p == end)
                return false;
            if (*p == ']') {
                ++p;
                break;
            }
            if (*p != ',')
                return false;
            p = skipSpace(p + 1, end);
        }
    }
    return skipSpace(p, end) == end;
}

} // namespace

QList<QByteArray> decodeAudioBlocks(const QByteArray& json)
{
    QList<QByteArray> blocks;
    if (scanPlainArray(json, blocks))
        return blocks;

    blocks.clear();
    const QJsonArray array = QJsonDocument::fromJson(json).array();
    blocks.reserve(array.size());
    for (const QJsonValue& value : array) {
        // Latin-1 turns other characters into '?'; like every byte outside the
        // Base64 alphabet, '?' and Latin-1 letters are skipped by the decoding.
        blocks.append(decodeBase64(value.toString().toLatin1()));
    }
    return blocks;
}
