#include "audio/ImpactWavFile.h"

#include "audio/SensorAudioFormat.h"

#include <QSaveFile>

#include <algorithm>
#include <limits>
#include <utility>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

namespace {

// How much is written between two hand-overs to the disk.
constexpr qint64 writeBackChunk = qint64(32) << 20;

bool writeAll(QSaveFile& file, const QByteArray& bytes)
{
    return file.write(bytes) == bytes.size();
}

// The file is synced to disk before it takes its name. Handing what is
// written to the disk as the writing goes on lets the two overlap, so the
// final sync has little left to wait for; without it, gigabytes wait in the
// page cache until then.
void startWriteBack(const QSaveFile& file, qint64 from, qint64 to)
{
#ifdef Q_OS_LINUX
    sync_file_range(file.handle(), from, to - from, SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(file)
    Q_UNUSED(from)
    Q_UNUSED(to)
#endif
}

} // namespace

ImpactWavFile::ImpactWavFile(QList<QByteArray> blocks, int repetitions)
    : m_blocks(std::move(blocks)), m_repetitions(std::max(repetitions, 0))
{}

qint64 ImpactWavFile::blockBytes() const
{
    qint64 bytes = 0;
    for (const QByteArray& block : m_blocks)
        bytes += block.size();
    return bytes;
}

qint64 ImpactWavFile::dataSize() const
{
    // Under 2^31 blocks of under 2^31 bytes, repeated under 2^31 times: the
    // sum fits in 64 bits, the product may not.
    const qint64 bytes = blockBytes();
    if (m_repetitions != 0 && bytes > std::numeric_limits<qint64>::max() / 2 / m_repetitions)
        return std::numeric_limits<qint64>::max() / 2;
    return bytes * m_repetitions;
}

bool ImpactWavFile::fits() const
{
    return dataSize() <= kMaxWavDataSize;
}

int ImpactWavFile::maxRepetitions() const
{
    const qint64 bytes = blockBytes();
    if (bytes == 0)
        return std::numeric_limits<int>::max();
    return int(std::min<qint64>(kMaxWavDataSize / bytes, std::numeric_limits<int>::max()));
}

qint64 ImpactWavFile::longestSeconds() const
{
    return blockBytes() * maxRepetitions() / sensorBytesPerSecond();
}

ImpactWavFile::Result ImpactWavFile::write(const QString& fileName, const Progress& progress) const
{
    if (!fits())
        return Result::TooLarge;
    QSaveFile file(fileName);
    // Blocks of the usual size go straight to the system; smaller ones are
    // gathered by the device's buffer.
    if (!file.open(QIODevice::WriteOnly) || !writeAll(file, wavHeader(dataSize())))
        return Result::Failed;
    qint64 written = kHeaderSize;
    qint64 handedOver = 0;
    for (const QByteArray& block : m_blocks) {
        for (int repetition = 0; repetition < m_repetitions && !block.isEmpty(); ++repetition) {
            if (!writeAll(file, block))
                return Result::Failed;
            written += block.size();
            if (progress && !progress(written))
                return Result::Cancelled;
            if (written - handedOver >= writeBackChunk) {
                startWriteBack(file, handedOver, written);
                handedOver = written;
            }
        }
    }
    // Not committed, the temporary file goes with the QSaveFile.
    return file.commit() ? Result::Saved : Result::Failed;
}
