#include "BenchFigures.h"
#include "audio/ImpactAudio.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int runs = 5;
constexpr double goal = 1.2;
// Ten markers of 2.98 s each, stretched to about ten hours: about 800 MB.
constexpr int blockSize = 65709;
constexpr int blockCount = 10;
constexpr int repetitions = 1208;

// The baseline: a fresh buffer of the same size filled with the same bytes,
// each repetition copied from its block.
QByteArray copyOnly(const QList<QByteArray>& blocks, qint64 size)
{
    QByteArray buffer(int(size), Qt::Uninitialized);
    char* target = buffer.data();
    for (const QByteArray& block : blocks) {
        for (int i = 0; i < repetitions; ++i) {
            std::memcpy(target, block.constData(), size_t(block.size()));
            target += block.size();
        }
    }
    return buffer;
}

} // namespace

int main()
{
    const QList<QByteArray> blocks = pseudoRandomBlocks(blockCount, blockSize, 12345);
    const qint64 size = ImpactAudio::assembledSize(blocks, repetitions);

    std::vector<double> sonveraTimes;
    std::vector<double> baselineTimes;
    // One warm-up that also checks the result, then alternating runs so that
    // both see the same machine. Each buffer is freed before the next is made.
    for (int run = -1; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        ImpactAudio audio = ImpactAudio::assemble(blocks, repetitions);
        const double sonvera = millisecondsSince(timer);
        if (!audio.ok() || audio.samples().size() != size) {
            std::fprintf(stderr, "impact audio: the assembly failed\n");
            return 1;
        }
        QByteArray assembled = audio.takeSamples();

        if (run < 0) {
            const QByteArray reference = copyOnly(blocks, size);
            if (assembled != reference) {
                std::fprintf(stderr, "impact audio: the assembly differs from the plain copy\n");
                return 1;
            }
        }
        assembled.clear();

        timer.restart();
        QByteArray copied = copyOnly(blocks, size);
        const double baseline = millisecondsSince(timer);
        copied.clear();

        if (run >= 0) {
            sonveraTimes.push_back(sonvera);
            baselineTimes.push_back(baseline);
        }
    }

    const double ours = median(sonveraTimes);
    const double base = median(baselineTimes);
    std::printf("impact audio assembly of %.1f MB (%d blocks of %d bytes x %d): sonvera %.1f ms, baseline fresh "
                "buffer + memcpy %.1f ms, ratio %.2f (goal <= %.1f)\n",
                size / 1e6, blockCount, blockSize, repetitions, ours, base, ours / base, goal);
    return 0;
}
