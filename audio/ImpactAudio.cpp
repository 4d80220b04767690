#include "audio/ImpactAudio.h"

#include "base/Base64.h"
#include "net/AudioBlocks.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

namespace {

constexpr double kSecondsPerBlock = 2.98;

// Writes `block` `repetitions` times from `target` on: one copy from the block,
// then each copy doubles what is already written.
void repeatBlock(char* target, const QByteArray& block, qint64 repetitions)
{
    const qint64 blockSize = block.size();
    const qint64 total = blockSize * repetitions;
    if (total <= 0)
        return;
    std::memcpy(target, block.constData(), size_t(blockSize));
    qint64 written = blockSize;
    while (written < total) {
        const qint64 chunk = std::min(written, total - written);
        std::memcpy(target + written, target, size_t(chunk));
        written += chunk;
    }
}

} // namespace

int repetitionCount(int minutes, int total)
{
    if (total == 0)
        return 1;
    const double count = std::floor(double(minutes) * 60 / kSecondsPerBlock / total);
    if (!(count >= 1))
        return 1;
    return count >= double(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max() : int(count);
}

qint64 ImpactAudio::assembledSize(const QList<QByteArray>& blocks, int repetitions)
{
    qint64 blockBytes = 0;
    for (const QByteArray& block : blocks)
        blockBytes += block.size();
    // Under 2^31 blocks of under 2^31 bytes, repeated under 2^31 times: the
    // sum fits, the product may not.
    const qint64 count = std::max(repetitions, 0);
    if (count != 0 && blockBytes > std::numeric_limits<qint64>::max() / count)
        return std::numeric_limits<qint64>::max();
    return blockBytes * count;
}

ImpactAudio ImpactAudio::assemble(const QList<QByteArray>& blocks, int repetitions)
{
    ImpactAudio audio;
    const qint64 size = assembledSize(blocks, repetitions);
    if (size > kMaxSize) {
        audio.m_errorText = tr("Text.impactTooLong");
        return audio;
    }
    try {
        audio.m_samples = QByteArray(int(size), Qt::Uninitialized);
    } catch (const std::bad_alloc&) {
        audio.m_errorText = tr("Text.impactTooLong");
        return audio;
    }
    if (size == 0)
        return audio;
    char* target = audio.m_samples.data();
    for (const QByteArray& block : blocks) {
        repeatBlock(target, block, repetitions);
        target += qint64(block.size()) * repetitions;
    }
    return audio;
}

ImpactAudio ImpactAudio::assembleBase64(const QStringList& texts, int repetitions)
{
    QList<QByteArray> blocks;
    blocks.reserve(texts.size());
    // Latin-1 turns other characters into '?', which the decoding skips.
    for (const QString& text : texts)
        blocks.append(decodeBase64(text.toLatin1()));
    return assemble(blocks, repetitions);
}

ImpactAudio ImpactAudio::assembleReply(const QByteArray& json, int repetitions)
{
    return assemble(decodeAudioBlocks(json), repetitions);
}

QByteArray ImpactAudio::takeSamples()
{
    QByteArray samples;
    samples.swap(m_samples);
    return samples;
}
