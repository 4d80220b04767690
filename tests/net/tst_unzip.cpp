#include "net/GzipFixtures.h"
#include "net/Unzip.h"

#include <QtTest>

class UnzipTest : public QObject
{
    Q_OBJECT

private slots:
    void inflates_data();
    void inflates();
    void truncatedStreamKeepsWhatWasInflated();
    void shortInputIsRejectedWithWarning();
    void outputPastTheLimitIsDropped_data();
    void outputPastTheLimitIsDropped();
    void outputPastTheDefaultLimitIsDropped();
};

void UnzipTest::inflates_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray small = GzipFixtures::noiseLikeBytes(3000);
    const QByteArray large = GzipFixtures::noiseLikeBytes(3 * 1024 * 1024 + 17, 7);
    const QByteArray smallGzip = GzipFixtures::compress(small);
    const QByteArray largeGzip = GzipFixtures::compress(large);

    QTest::newRow("3000 bytes") << smallGzip << small;
    QTest::newRow("several megabytes, many buffers") << largeGzip << large;
    QTest::newRow("empty payload") << GzipFixtures::compress({}) << QByteArray();
    QTest::newRow("trailing garbage is ignored") << smallGzip + QByteArray(100, 'x') << small;

    QByteArray corrupt = smallGzip;
    for (int i = 20; i < 60; ++i)
        corrupt[i] = char(0xff);
    QTest::newRow("corrupt stream") << corrupt << QByteArray();
    QTest::newRow("zlib wrapper is not gzip") << GzipFixtures::compress(small, false) << QByteArray();
    QTest::newRow("plain text") << QByteArray("this is not compressed at all") << QByteArray();
}

void UnzipTest::inflates()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);

    QCOMPARE(unzip(input), expected);
}

void UnzipTest::truncatedStreamKeepsWhatWasInflated()
{
    // A stream cut short gives what was inflated so far, and never loops.
    const QByteArray original = GzipFixtures::noiseLikeBytes(3 * 1024 * 1024, 3);
    const QByteArray packed = GzipFixtures::compress(original);
    const QByteArray output = unzip(packed.left(packed.size() / 2));
    QVERIFY(output.size() > 0);
    QVERIFY(output.size() < original.size());
    QCOMPARE(output, original.left(output.size()));
}

void UnzipTest::shortInputIsRejectedWithWarning()
{
    QTest::ignoreMessage(QtWarningMsg, "unzip: Input data is truncated");
    QCOMPARE(unzip(QByteArray("\x1f\x8b\x08\x00", 4)), QByteArray());
}

void UnzipTest::outputPastTheLimitIsDropped_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("exactly at the limit") << 100000 << qint64(100000) << true;
    QTest::newRow("one byte past the limit") << 100001 << qint64(100000) << false;
    QTest::newRow("far past the limit") << 5000000 << qint64(100000) << false;
}

void UnzipTest::outputPastTheLimitIsDropped()
{
    QFETCH(int, size);
    QFETCH(qint64, limit);
    QFETCH(bool, accepted);

    const QByteArray zeros(size, '\0');
    if (!accepted)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^unzip: Output exceeds")));
    QCOMPARE(unzip(GzipFixtures::compress(zeros), limit), accepted ? zeros : QByteArray());
}

void UnzipTest::outputPastTheDefaultLimitIsDropped()
{
    // A "bomb": 300 MiB of zeros packed into about 300 KB.
    const qint64 size = 300 * 1024 * 1024;
    QByteArray zeros(int(size), '\0');
    const QByteArray bomb = GzipFixtures::compress(zeros);
    zeros.clear();
    zeros.squeeze();
    QVERIFY(bomb.size() < 1024 * 1024);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^unzip: Output exceeds 268435456")));
    QCOMPARE(unzip(bomb), QByteArray());
}

QTEST_GUILESS_MAIN(UnzipTest)
#include "tst_unzip.moc"
