#include "audio/ImpactAudio.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTranslator>
#include <QtTest>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

using Blocks = QList<QByteArray>;

QByteArray naiveAssembly(const Blocks& blocks, int repetitions)
{
    QByteArray result;
    for (const QByteArray& block : blocks) {
        for (int i = 0; i < repetitions; ++i)
            result.append(block);
    }
    return result;
}

// Copies of one block share its bytes: many gigabytes of blocks cost little.
Blocks sharedBlocks(int size, int count)
{
    const QByteArray block(size, 'x');
    Blocks blocks;
    for (int i = 0; i < count; ++i)
        blocks.append(block);
    return blocks;
}

QByteArray randomBlock(int size)
{
    QByteArray block(size, Qt::Uninitialized);
    for (char& byte : block)
        byte = char(QRandomGenerator::global()->bounded(256));
    return block;
}

// Answers every look-up with its context and key, to see where a text is asked.
class EchoTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* sourceText, const char* = nullptr, int = -1) const override
    {
        return QString::fromLatin1(context) + '/' + QString::fromLatin1(sourceText);
    }
    bool isEmpty() const override { return false; }
};

} // namespace

// The repetition rule, the assembly of the repeated blocks and its guard
// against impacts too long for memory.
class TestImpactAudio : public QObject
{
    Q_OBJECT

private slots:
    void repetitions_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("expected");
        QTest::newRow("10 minutes, amounts 5") << 10 << 5 << 40;
        QTest::newRow("1 minute, amount 1") << 1 << 1 << 20;
        QTest::newRow("1 minute, amounts 30") << 1 << 30 << 1;
        QTest::newRow("no minutes") << 0 << 5 << 1;
        QTest::newRow("ten hours") << 600 << 1 << 12080;
        QTest::newRow("a whole number of blocks") << 149 << 1 << 3000;
        QTest::newRow("rounded down, not to nearest") << 7 << 3 << 46;
        QTest::newRow("total 0") << 5 << 0 << 1;
        QTest::newRow("nothing at all") << 0 << 0 << 1;
        QTest::newRow("negative minutes") << -3 << 1 << 1;
        QTest::newRow("negative total") << 10 << -1 << 1;
        QTest::newRow("beyond int") << std::numeric_limits<int>::max() << 1 << std::numeric_limits<int>::max();
    }

    void repetitions()
    {
        QFETCH(int, minutes);
        QFETCH(int, total);
        QFETCH(int, expected);
        QCOMPARE(repetitionCount(minutes, total), expected);
    }

    void assembly_data()
    {
        QTest::addColumn<Blocks>("blocks");
        QTest::addColumn<int>("repetitions");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("A A A B B B") << Blocks{"ab", "xyz"} << 3 << QByteArray("abababxyzxyzxyz");
        QTest::newRow("empty array") << Blocks{} << 40 << QByteArray();
        QTest::newRow("once") << Blocks{"abc", "de"} << 1 << QByteArray("abcde");
        QTest::newRow("empty blocks between") << Blocks{"", "ab", ""} << 2 << QByteArray("abab");
        QTest::newRow("zero bytes kept") << Blocks{QByteArray("\0\x80", 2)} << 2 << QByteArray("\0\x80\0\x80", 4);
        QTest::newRow("no repetitions") << Blocks{"ab"} << 0 << QByteArray();
        QTest::newRow("negative repetitions") << Blocks{"ab"} << -2 << QByteArray();
    }

    void assembly()
    {
        QFETCH(Blocks, blocks);
        QFETCH(int, repetitions);
        QFETCH(QByteArray, expected);
        const ImpactAudio audio = ImpactAudio::assemble(blocks, repetitions);
        QVERIFY(audio.ok());
        QCOMPARE(audio.samples(), expected);
    }

    // Sizes and counts that are not powers of two, against plain appending.
    void matchesNaiveAssembly_data()
    {
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<int>("repetitions");
        QTest::newRow("odd sizes, 2") << QList<int>{1, 3, 7, 4097} << 2;
        QTest::newRow("odd sizes, 3") << QList<int>{5, 1, 11} << 3;
        QTest::newRow("odd sizes, 7") << QList<int>{13, 4095, 2} << 7;
        QTest::newRow("power of two") << QList<int>{3, 9} << 64;
        QTest::newRow("one past a power of two") << QList<int>{3, 9} << 65;
        QTest::newRow("many small") << QList<int>{1, 2, 3} << 1000;
        QTest::newRow("a marker's block") << QList<int>{65709, 65709, 17} << 37;
    }

    void matchesNaiveAssembly()
    {
        QFETCH(QList<int>, sizes);
        QFETCH(int, repetitions);
        Blocks blocks;
        for (int size : sizes)
            blocks.append(randomBlock(size));
        const ImpactAudio audio = ImpactAudio::assemble(blocks, repetitions);
        QVERIFY(audio.ok());
        QVERIFY(audio.samples() == naiveAssembly(blocks, repetitions));
    }

    void lenientBase64()
    {
        const QStringList texts{"YWJj", "ZG Vm\n", "!!!", "YQ", QStringLiteral("Y\u2014WJj")};
        const ImpactAudio audio = ImpactAudio::assembleBase64(texts, 2);
        QVERIFY(audio.ok());
        QCOMPARE(audio.samples(), QByteArray("abcabcdefdefaaabcabc"));
    }

    void serviceReply_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("array of texts") << QByteArray(R"(["YWJj", "ZGVm"])") << QByteArray("abcabcdefdef");
        QTest::newRow("empty array") << QByteArray("[]") << QByteArray();
        QTest::newRow("not JSON") << QByteArray("<html>") << QByteArray();
    }

    void serviceReply()
    {
        QFETCH(QByteArray, json);
        QFETCH(QByteArray, expected);
        const ImpactAudio audio = ImpactAudio::assembleReply(json, 2);
        QVERIFY(audio.ok());
        QCOMPARE(audio.samples(), expected);
    }

    void assembledSize_data()
    {
        QTest::addColumn<int>("blockSize");
        QTest::addColumn<int>("blockCount");
        QTest::addColumn<int>("repetitions");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("ten markers for ten hours") << 65709 << 10 << 12080 << qint64(7937647200);
        QTest::newRow("past 32 bits") << 1 << 3 << std::numeric_limits<int>::max()
                                      << 3 * qint64(std::numeric_limits<int>::max());
        QTest::newRow("no repetitions") << 100 << 2 << 0 << qint64(0);
        QTest::newRow("negative repetitions") << 100 << 2 << -1 << qint64(0);
        // Shared copies of one megabyte: 5 GB of blocks times 2^31 passes 2^63.
        QTest::newRow("past 64 bits") << (1 << 20) << 5000 << std::numeric_limits<int>::max()
                                      << std::numeric_limits<qint64>::max();
    }

    void assembledSize()
    {
        QFETCH(int, blockSize);
        QFETCH(int, blockCount);
        QFETCH(int, repetitions);
        QFETCH(qint64, expected);
        const Blocks blocks = sharedBlocks(blockSize, blockCount);
        QCOMPARE(ImpactAudio::assembledSize(blocks, repetitions), expected);
    }

    // Past what one byte array holds the answer is an error, and nothing is
    // allocated: the test would otherwise take gigabytes.
    void tooLongForOneByteArray_data()
    {
        QTest::addColumn<int>("blockSize");
        QTest::addColumn<int>("blockCount");
        QTest::addColumn<int>("repetitions");
        QTest::newRow("one byte past the limit") << 1 << 1 << int(ImpactAudio::kMaxSize + 1);
        QTest::newRow("exactly 2 GiB") << (1 << 20) << 1 << 2048;
        QTest::newRow("4 GiB, zero in 32 bits") << (1 << 20) << 1 << 4096;
        QTest::newRow("ten markers for ten hours") << 65709 << 10 << 12080;
        QTest::newRow("product past 64 bits") << (1 << 20) << 5000 << std::numeric_limits<int>::max();
    }

    void tooLongForOneByteArray()
    {
        QFETCH(int, blockSize);
        QFETCH(int, blockCount);
        QFETCH(int, repetitions);
        const Blocks blocks = sharedBlocks(blockSize, blockCount);
        const ImpactAudio audio = ImpactAudio::assemble(blocks, repetitions);
        QVERIFY(!audio.ok());
        QVERIFY(audio.samples().isEmpty());
        QCOMPARE(audio.errorText(), QStringLiteral("Text.impactTooLong"));
    }

    void errorTextIsTranslatedUnderItsClass()
    {
        EchoTranslator translator;
        QCoreApplication::installTranslator(&translator);
        const ImpactAudio audio = ImpactAudio::assemble({QByteArray(1 << 20, 'x')}, 4096);
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(audio.errorText(), QStringLiteral("ImpactAudio/Text.impactTooLong"));
    }

    // A size the byte array could hold, with memory running out on the way.
    void allocationFailureIsAnError()
    {
#ifdef Q_OS_LINUX
        QFile statm(QStringLiteral("/proc/self/statm"));
        QVERIFY(statm.open(QIODevice::ReadOnly));
        const qint64 addressSpace = statm.readAll().split(' ').value(0).toLongLong() * sysconf(_SC_PAGESIZE);
        QVERIFY(addressSpace > 0);

        rlimit original{};
        QCOMPARE(getrlimit(RLIMIT_AS, &original), 0);
        rlimit limited = original;
        limited.rlim_cur = rlim_t(addressSpace + (256 << 20));
        if (original.rlim_cur != RLIM_INFINITY && original.rlim_cur < limited.rlim_cur)
            QSKIP("the address space is already limited");
        QCOMPARE(setrlimit(RLIMIT_AS, &limited), 0);
        const ImpactAudio audio = ImpactAudio::assemble({QByteArray(1 << 20, 'x')}, 1024);
        QCOMPARE(setrlimit(RLIMIT_AS, &original), 0);

        QVERIFY(!audio.ok());
        QVERIFY(audio.samples().isEmpty());
        QCOMPARE(audio.errorText(), QStringLiteral("Text.impactTooLong"));
#else
        QSKIP("limits the address space the Linux way");
#endif
    }
};

QTEST_GUILESS_MAIN(TestImpactAudio)
#include "tst_impactaudio.moc"
