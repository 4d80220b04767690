// The impact's WAV file: sizes past 2 GiB, the 4 GiB limit, and no partial
// file after a failure or a cancel. Its bytes are checked where the screens
// write it (tst_viewimpact, tst_recipeimpactflow).
#include "audio/ImpactWavFile.h"
#include "audio/SensorAudioFormat.h"
#include "support/RecipeFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace RecipeFixtures;

using Fault = std::function<ImpactWavFile::Result(const ImpactWavFile&, const QString& path)>;
Q_DECLARE_METATYPE(Fault)

class ImpactWavFileTest : public QObject
{
    Q_OBJECT

private slots:
    void sizesAndTheLimit_data();
    void sizesAndTheLimit();
    void nothingIsLeftBehind_data();
    void nothingIsLeftBehind();

private:
    QTemporaryDir m_folder;
};

void ImpactWavFileTest::sizesAndTheLimit_data()
{
    QTest::addColumn<int>("repetitions");
    QTest::addColumn<bool>("fits");
    // Ten markers' blocks of 65709 bytes: 6536 repetitions fill 4 GiB.
    QTest::newRow("past 2 GiB") << 5000 << true;
    QTest::newRow("the largest that fits") << 6536 << true;
    QTest::newRow("one more is too large") << 6537 << false;
}

void ImpactWavFileTest::sizesAndTheLimit()
{
    QFETCH(int, repetitions);
    QFETCH(bool, fits);
    QList<QByteArray> blocks;
    for (int marker = 0; marker < 10; ++marker)
        blocks << QByteArray(65709, 'x');
    const ImpactWavFile file(blocks, repetitions);
    QCOMPARE(file.dataSize(), qint64(657090) * repetitions);
    QCOMPARE(file.fits(), fits);
    QCOMPARE(file.maxRepetitions(), 6536);
    if (!fits) {
        // Refused before anything is opened.
        const QString path = m_folder.filePath(QStringLiteral("huge.wav"));
        QCOMPARE(file.write(path), ImpactWavFile::Result::TooLarge);
        QVERIFY(!QFile::exists(path));
    }
}

void ImpactWavFileTest::nothingIsLeftBehind_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<ImpactWavFile::Result>("result");

    QTest::newRow("cancelled halfway") << Fault([](const ImpactWavFile& file, const QString& path) {
        return file.write(path, [&file](qint64 written) { return written < file.fileSize() / 2; });
    }) << ImpactWavFile::Result::Cancelled;
#ifdef Q_OS_UNIX
    // A file size limit stops the writing as a full disk would; past it a
    // write fails instead of ending the process.
    QTest::newRow("the disk fills up") << Fault([](const ImpactWavFile& file, const QString& path) {
        rlimit previous{};
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limit = previous;
        limit.rlim_cur = 1 << 20;
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        const bool limited = setrlimit(RLIMIT_FSIZE, &limit) == 0;
        const ImpactWavFile::Result result = limited ? file.write(path) : ImpactWavFile::Result::Saved;
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, handler);
        return result;
    }) << ImpactWavFile::Result::Failed;
#endif
}

void ImpactWavFileTest::nothingIsLeftBehind()
{
    QFETCH(Fault, fault);
    QFETCH(ImpactWavFile::Result, result);
    const QString path = m_folder.filePath(QStringLiteral("impact.wav"));
    QFile earlier(path);
    QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("an earlier file") == 15);
    earlier.close();

    const ImpactWavFile file({QByteArray(65709, 'x'), QByteArray(65709, 'y')}, 40); // about 5 MB
    QCOMPARE(fault(file, path), result);
    QCOMPARE(readFile(path), QByteArray("an earlier file"));
    QCOMPARE(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("impact.wav")});
}

QTEST_GUILESS_MAIN(ImpactWavFileTest)
#include "tst_impactwavfile.moc"
