#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

#include <functional>

// An impact saved as a WAV file: the header, then each block of the service's
// reply repeated in a row, the blocks in their order, the same samples the
// player gets. It is written block by block and never held whole in memory,
// and its sizes are 64-bit: an hour-long impact passes 2 GiB.
class ImpactWavFile
{
public:
    enum class Result
    {
        Saved,
        Cancelled,
        // The file could not be opened, written or put in place.
        Failed,
        // Past what a WAV file holds; nothing was written.
        TooLarge,
    };

    ImpactWavFile() = default;
    // A repetition count below 1 gives no samples.
    ImpactWavFile(QList<QByteArray> blocks, int repetitions);

    qint64 dataSize() const;
    qint64 fileSize() const { return kHeaderSize + dataSize(); }
    // Whether a WAV file can hold these samples (kMaxWavDataSize).
    bool fits() const;
    // The longest file these blocks make: the most repetitions that still fit
    // and, in whole seconds, how long it plays. With no samples at all, any
    // count fits: the largest int.
    int maxRepetitions() const;
    qint64 longestSeconds() const;

    // Called after every block with the bytes of the file written so far;
    // returning false cancels. May be called on any thread.
    using Progress = std::function<bool(qint64 written)>;

    // Writes the file through QSaveFile: it appears, whole, only once every
    // byte is written and on disk, and a failure or a cancel leaves no partial
    // file and any earlier file of that name as it was. A file that doesn't
    // fit is refused before anything is opened.
    Result write(const QString& fileName, const Progress& progress = {}) const;

    static constexpr qint64 kHeaderSize = 44;

private:
    qint64 blockBytes() const;

    QList<QByteArray> m_blocks;
    int m_repetitions = 0;
};

Q_DECLARE_METATYPE(ImpactWavFile::Result)
