#include "support/PackedAudio.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <zlib.h>

namespace {

QByteArray gzip(const QByteArray& bytes)
{
    z_stream stream{};
    // 15 window bits, +16 for the gzip wrapper.
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray out(int(deflateBound(&stream, uLong(bytes.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.truncate(int(stream.total_out));
    deflateEnd(&stream);
    return result == Z_STREAM_END ? out : QByteArray();
}

} // namespace

QByteArray packedAudioReply(const QList<QByteArray>& blocks)
{
    QJsonArray array;
    for (const QByteArray& block : blocks)
        array.append(QString::fromLatin1(block.toBase64()));
    return gzip(QJsonDocument(array).toJson(QJsonDocument::Compact)).toBase64();
}
