#include "BenchFigures.h"
#include "base/Base64.h"
#include "net/AudioBlocks.h"
#include "net/Unzip.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>
#include <zlib.h>

namespace {

constexpr int runs = 7;
constexpr double goal = 2.0;
// 2.98 s of 8-bit mono samples at 22050 Hz, and about 50 MB of them in all.
constexpr int blockSize = 65709;
constexpr int blockCount = 761;
constexpr double pi = 3.14159265358979323846;

// A tone of its own frequency per marker with a little deterministic noise,
// so that the reply compresses about as well as real audio.
QByteArray toneBlock(int index)
{
    QByteArray block(blockSize, Qt::Uninitialized);
    const double step = 2 * pi * (60.0 + 11.0 * index) / 22050;
    quint32 noise = quint32(index) * 2654435761u + 1;
    for (int i = 0; i < blockSize; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const int sample = 128 + int(std::lround(100 * std::sin(step * i))) + int(noise >> 29) - 4;
        block[i] = char(std::clamp(sample, 0, 255));
    }
    return block;
}

QByteArray gzip(const QByteArray& data)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray result(int(deflateBound(&stream, uLong(data.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(result.data());
    stream.avail_out = uInt(result.size());
    const int status = deflate(&stream, Z_FINISH);
    deflateEnd(&stream);
    return status == Z_STREAM_END ? result.left(int(stream.total_out)) : QByteArray();
}

// The baseline: inflating the same gzip stream alone, into a buffer of the
// known size. Returns the number of bytes inflated.
qint64 inflateOnly(const QByteArray& gzipped, QByteArray& buffer)
{
    z_stream stream{};
    if (inflateInit2(&stream, 31) != Z_OK)
        return -1;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(gzipped.constData()));
    stream.avail_in = uInt(gzipped.size());
    stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
    stream.avail_out = uInt(buffer.size());
    const int status = inflate(&stream, Z_FINISH);
    const qint64 produced = qint64(stream.total_out);
    inflateEnd(&stream);
    return status == Z_STREAM_END ? produced : -1;
}

} // namespace

int main()
{
    QList<QByteArray> blocks;
    QByteArray json = "[";
    for (int index = 0; index < blockCount; ++index) {
        blocks.append(toneBlock(index));
        json += (index ? ",\"" : "\"") + blocks.last().toBase64() + '"';
    }
    json += ']';
    const QByteArray gzipped = gzip(json);
    const QByteArray body = gzipped.toBase64();
    if (gzipped.isEmpty()) {
        std::fprintf(stderr, "packed audio: could not build the reply\n");
        return 1;
    }
    const qint64 samples = qint64(blockCount) * blockSize;
    std::fprintf(stderr, "packed audio: %.1f MB samples, %.1f MB JSON, %.1f MB gzip, %.1f MB body\n", samples / 1e6,
                 json.size() / 1e6, gzipped.size() / 1e6, body.size() / 1e6);

    QByteArray inflated(json.size(), Qt::Uninitialized);
    std::vector<double> sonveraTimes;
    std::vector<double> baselineTimes;
    // One warm-up each, then alternating runs so that both see the same machine.
    for (int run = -1; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const QList<QByteArray> decoded = decodeAudioBlocks(unzip(decodeBase64(body)));
        const double sonvera = millisecondsSince(timer);
        if (decoded != blocks) {
            std::fprintf(stderr, "packed audio: the decoded blocks differ from the originals\n");
            return 1;
        }

        timer.restart();
        const qint64 produced = inflateOnly(gzipped, inflated);
        const double baseline = millisecondsSince(timer);
        if (produced != json.size()) {
            std::fprintf(stderr, "packed audio: the baseline inflated %lld bytes instead of %d\n", produced,
                         json.size());
            return 1;
        }
        if (run >= 0) {
            sonveraTimes.push_back(sonvera);
            baselineTimes.push_back(baseline);
        }
    }

    const double ours = median(sonveraTimes);
    const double base = median(baselineTimes);
    std::printf("packed audio decode of %.1f MB samples: sonvera %.1f ms, baseline zlib inflate %.1f ms, ratio %.2f "
                "(goal <= %.1f)\n",
                samples / 1e6, ours, base, ours / base, goal);
    return 0;
}
