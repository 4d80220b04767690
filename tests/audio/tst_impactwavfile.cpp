// The impact's WAV file: exactly the header and the repeated blocks, sizes
// past 2 GiB, the 4 GiB limit, and no partial file after a failure or a cancel.
#include "audio/ImpactAudio.h"
#include "audio/ImpactWavFile.h"
#include "audio/SensorAudioFormat.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

// Blocks whose sizes add up to `bytes`, without allocating that much:
// shared copies of one block, the last one cut short.
QList<QByteArray> blocksOfSize(qint64 bytes, int blockSize)
{
    const QByteArray block(blockSize, 'x');
    QList<QByteArray> blocks;
    for (qint64 total = 0; total < bytes; total += blockSize)
        blocks << (bytes - total >= blockSize ? block : block.left(int(bytes - total)));
    return blocks;
}

// Limits the size of files this process writes, as a full disk would stop
// it; a write past it fails instead of ending the process.
class ScopedFileSizeLimit
{
public:
    explicit ScopedFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~ScopedFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }
    bool isSet() const { return m_set; }

private:
    rlimit m_previous{};
    void (*m_handler)(int) = nullptr;
    bool m_set = false;
};

} // namespace

class ImpactWavFileTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void bytesAreTheHeaderAndTheRepeatedBlocks_data();
    void bytesAreTheHeaderAndTheRepeatedBlocks();
    void sizesAndTheLimit_data();
    void sizesAndTheLimit();
    void nothingIsLeftBehind_data();
    void nothingIsLeftBehind();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
};

void ImpactWavFileTest::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
}

void ImpactWavFileTest::bytesAreTheHeaderAndTheRepeatedBlocks_data()
{
    QTest::addColumn<QList<QByteArray>>("blocks");
    QTest::addColumn<int>("repetitions");
    const QByteArray a(70000, 'A'); // past the file device's buffer
    const QByteArray b("bb");       // gathered by it
    QTest::newRow("two blocks, three times") << QList<QByteArray>{a, b} << 3;
    QTest::newRow("one block once") << QList<QByteArray>{b} << 1;
    QTest::newRow("an empty block among others") << QList<QByteArray>{b, QByteArray(), a} << 2;
    QTest::newRow("no blocks: the header alone") << QList<QByteArray>{} << 20;
    QTest::newRow("no repetitions: the header alone") << QList<QByteArray>{a} << 0;
}

void ImpactWavFileTest::bytesAreTheHeaderAndTheRepeatedBlocks()
{
    QFETCH(QList<QByteArray>, blocks);
    QFETCH(int, repetitions);
    const QString path = m_folder->filePath(QStringLiteral("impact.wav"));
    const ImpactWavFile file(blocks, repetitions);
    QList<qint64> progress;
    QCOMPARE(file.write(path,
                        [&progress](qint64 written) {
                            progress << written;
                            return true;
                        }),
             ImpactWavFile::Result::Saved);

    // The same samples the player gets.
    const QByteArray samples = ImpactAudio::assemble(blocks, repetitions).samples();
    QCOMPARE(file.dataSize(), qint64(samples.size()));
    QCOMPARE(readAll(path), wavHeader(samples.size()) + samples);
    QCOMPARE(progress.isEmpty() ? ImpactWavFile::kHeaderSize : progress.last(), file.fileSize());
    QVERIFY(std::is_sorted(progress.cbegin(), progress.cend()));
}

void ImpactWavFileTest::sizesAndTheLimit_data()
{
    QTest::addColumn<qint64>("blockBytes");
    QTest::addColumn<int>("repetitions");
    QTest::addColumn<qint64>("dataSize");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("maxRepetitions");
    QTest::addColumn<qint64>("longestSeconds");

    // Ten markers' blocks of 65709 bytes; 10 minutes per marker repeat them 201 times.
    const qint64 tenBlocks = 657090;
    const int mostOfTen = int(kMaxWavDataSize / tenBlocks); // 6536
    QTest::newRow("ten markers, 10 min each")
        << tenBlocks << 201 << tenBlocks * 201 << true << mostOfTen << tenBlocks * mostOfTen / 22050;
    QTest::newRow("past 2 GiB, within 4 GiB")
        << tenBlocks << 5000 << tenBlocks * 5000 << true << mostOfTen << tenBlocks * mostOfTen / 22050;
    QTest::newRow("the largest that fits")
        << tenBlocks << mostOfTen << tenBlocks * mostOfTen << true << mostOfTen << tenBlocks * mostOfTen / 22050;
    QTest::newRow("one more is too large") << tenBlocks << mostOfTen + 1 << tenBlocks * (mostOfTen + 1) << false
                                           << mostOfTen << tenBlocks * mostOfTen / 22050;
    QTest::newRow("600 minutes per marker")
        << tenBlocks << 12080 << tenBlocks * 12080 << false << mostOfTen << tenBlocks * mostOfTen / 22050;
    QTest::newRow("exactly 4 GiB of file")
        << kMaxWavDataSize / 4 << 4 << kMaxWavDataSize << true << 4 << kMaxWavDataSize / 22050;
}

void ImpactWavFileTest::sizesAndTheLimit()
{
    QFETCH(qint64, blockBytes);
    QFETCH(int, repetitions);
    QFETCH(qint64, dataSize);
    QFETCH(bool, fits);
    QFETCH(int, maxRepetitions);
    QFETCH(qint64, longestSeconds);
    const ImpactWavFile file(blocksOfSize(blockBytes, 65709), repetitions);
    QCOMPARE(file.dataSize(), dataSize);
    QCOMPARE(file.fileSize(), dataSize + 44);
    QCOMPARE(file.fits(), fits);
    QCOMPARE(file.maxRepetitions(), maxRepetitions);
    QCOMPARE(file.longestSeconds(), longestSeconds);
    if (!fits) {
        // Refused before anything is opened.
        const QString path = m_folder->filePath(QStringLiteral("huge.wav"));
        QCOMPARE(file.write(path), ImpactWavFile::Result::TooLarge);
        QVERIFY(!QFile::exists(path));
    }
}

using Fault = std::function<ImpactWavFile::Result(const ImpactWavFile&, const QString& path)>;
Q_DECLARE_METATYPE(Fault)

void ImpactWavFileTest::nothingIsLeftBehind_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<ImpactWavFile::Result>("result");

    QTest::newRow("cancelled halfway") << Fault([](const ImpactWavFile& file, const QString& path) {
        return file.write(path, [&file](qint64 written) { return written < file.fileSize() / 2; });
    }) << ImpactWavFile::Result::Cancelled;
    QTest::newRow("the disk fills up") << Fault([](const ImpactWavFile& file, const QString& path) {
        const ScopedFileSizeLimit limit(1 << 20);
        if (!limit.isSet())
            return ImpactWavFile::Result::Saved; // fails the comparison below
        return file.write(path);
    }) << ImpactWavFile::Result::Failed;
    QTest::newRow("no such folder") << Fault([](const ImpactWavFile& file, const QString& path) {
        return file.write(QFileInfo(path).path() + QStringLiteral("/missing/impact.wav"));
    }) << ImpactWavFile::Result::Failed;
}

void ImpactWavFileTest::nothingIsLeftBehind()
{
    QFETCH(Fault, fault);
    QFETCH(ImpactWavFile::Result, result);
    const QString path = m_folder->filePath(QStringLiteral("impact.wav"));
    const QByteArray earlier("an earlier file of that name");
    writeFile(path, earlier);

    const ImpactWavFile file({QByteArray(65709, 'x'), QByteArray(65709, 'y')}, 40); // about 5 MB
    QCOMPARE(fault(file, path), result);
    QCOMPARE(readAll(path), earlier);
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("impact.wav")});
}

QTEST_GUILESS_MAIN(ImpactWavFileTest)
#include "tst_impactwavfile.moc"
