// The live waveform: what it paints, where, and when it repaints.
#include "app/Application.h"
#include "widgets/ProgressBar.h"

#include <QtTest>

namespace {

const QColor recorded(234, 239, 242);
const QColor waveform(13, 180, 149);

// Counts the paint events a widget receives.
struct PaintCounter : QObject
{
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

QColor colourAt(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

bool anyPixelOf(const QImage& image, const QColor& colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (colourAt(image, x, y) == colour)
                return true;
    return false;
}

} // namespace

class ProgressBarTest : public QObject
{
    Q_OBJECT

private slots:
    // The style sheet gives the strip behind the waveform, as in the program.
    void initTestCase() { setupApplication(*qApp); }

    void nothingIsPaintedAtPositionZero()
    {
        QByteArray data(100, char(200));
        ProgressBar bar(&data, nullptr);
        bar.resize(200, 50);
        bar.bufferLengthChanged(1000);
        const QImage image = bar.grab().toImage();
        QVERIFY(!anyPixelOf(image, recorded));
        QVERIFY(!anyPixelOf(image, waveform));
        QCOMPARE(bar.mappedPointCount(), 0);
    }

    void recordedShareIsShaded_data()
    {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<qint64>("position");
        QTest::addColumn<int>("right"); // last shaded column at width 200

        QTest::newRow("one sample") << qint64(66150) << qint64(1) << 0;
        QTest::newRow("half") << qint64(66150) << qint64(33075) << 100;
        QTest::newRow("truncated, not rounded") << qint64(66150) << qint64(66149) << 199;
        QTest::newRow("a third") << qint64(3) << qint64(1) << 66;
    }

    void recordedShareIsShaded()
    {
        QFETCH(qint64, length);
        QFETCH(qint64, position);
        QFETCH(int, right);

        // Samples on the zero line: the waveform stays on the middle row.
        QByteArray data(int(position), char(127));
        ProgressBar bar(&data, nullptr);
        bar.resize(200, 50);
        bar.bufferLengthChanged(length);
        bar.recordPositionChanged(position);
        const QImage image = bar.grab().toImage();
        for (int y : {0, 10, 49}) {
            QCOMPARE(colourAt(image, 0, y), recorded);
            QCOMPARE(colourAt(image, right, y), recorded);
            if (right + 1 < image.width())
                QVERIFY(colourAt(image, right + 1, y) != recorded);
        }
    }

    void sampleValueGivesTheRow_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("row"); // at height 50, rounded to the nearest

        QTest::newRow("zero line") << 127 << 25;
        QTest::newRow("just above rounds back") << 128 << 25;
        QTest::newRow("above") << 130 << 24;
        QTest::newRow("above, rounded not truncated") << 135 << 23;
        QTest::newRow("below, rounded not truncated") << 118 << 27;
        QTest::newRow("high") << 200 << 11;
        QTest::newRow("top") << 255 << 0;
        QTest::newRow("low") << 50 << 40;
        QTest::newRow("bottom row") << 3 << 49;
    }

    void sampleValueGivesTheRow()
    {
        QFETCH(int, value);
        QFETCH(int, row);

        // Two equal samples, 20 pixels apart: one flat segment.
        QByteArray data(2, char(value));
        ProgressBar bar(&data, nullptr);
        bar.resize(200, 50);
        bar.bufferLengthChanged(10);
        bar.recordPositionChanged(2);
        const QImage image = bar.grab().toImage();
        QCOMPARE(colourAt(image, 10, row), waveform);
        if (row > 0)
            QVERIFY(colourAt(image, 10, row - 1) != waveform);
        if (row < 49)
            QVERIFY(colourAt(image, 10, row + 1) != waveform);
    }

    void pointsAreJoinedInPairs()
    {
        // Points at x = 0, 20, 40, 60, 80: middle, middle, top, top, middle.
        QByteArray data;
        for (int value : {127, 127, 255, 255, 127})
            data.append(char(value));
        ProgressBar bar(&data, nullptr);
        bar.resize(200, 50);
        bar.bufferLengthChanged(10);
        bar.recordPositionChanged(5);
        const QImage image = bar.grab().toImage();
        QCOMPARE(colourAt(image, 10, 25), waveform);                // 0 to 1
        QCOMPARE(colourAt(image, 50, 0), waveform);                 // 2 to 3
        QVERIFY(!anyPixelOf(image.copy(21, 1, 18, 24), waveform));  // no 1 to 2
        QVERIFY(!anyPixelOf(image.copy(61, 0, 139, 50), waveform)); // nothing from 3 on
    }

    void pointsAreMappedOnceAtTheSizeTheyHad()
    {
        QByteArray data(2, char(127));
        ProgressBar bar(&data, nullptr);
        bar.resize(200, 50);
        bar.bufferLengthChanged(10);
        bar.recordPositionChanged(2);
        bar.grab();

        bar.resize(400, 50);
        data.append(2, char(255));
        bar.recordPositionChanged(4);
        const QImage image = bar.grab().toImage();
        QCOMPARE(bar.mappedPointCount(), 4);
        // The first segment keeps the old width: x 0 to 20, not 0 to 40.
        QCOMPARE(colourAt(image, 19, 25), waveform);
        QVERIFY(colourAt(image, 30, 25) != waveform);
        // New samples are mapped at the new width: x 80 to 120.
        QCOMPARE(colourAt(image, 100, 0), waveform);
        QCOMPARE(colourAt(image, 159, 40), recorded);
    }

    void positionOutsideTheLengthChangesNothing_data()
    {
        QTest::addColumn<qint64>("position");
        QTest::newRow("negative") << qint64(-1);
        QTest::newRow("equal to the length") << qint64(100);
        QTest::newRow("above the length") << qint64(101);
    }

    void positionOutsideTheLengthChangesNothing()
    {
        QFETCH(qint64, position);

        QByteArray data(100, char(127));
        ProgressBar bar(&data, nullptr);
        bar.resize(200, 50);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        bar.bufferLengthChanged(100);
        PaintCounter paints;
        bar.installEventFilter(&paints);

        // A valid position repaints at once, without waiting for the loop.
        bar.recordPositionChanged(40);
        QCOMPARE(bar.position(), qint64(40));
        QCOMPARE(paints.count, 1);

        bar.recordPositionChanged(position);
        QCoreApplication::processEvents();
        QCOMPARE(bar.position(), qint64(40));
        QCOMPARE(paints.count, 1);
    }

    void newLengthStartsOver()
    {
        QByteArray data(100, char(255));
        ProgressBar bar(&data, nullptr);
        bar.resize(200, 50);
        bar.bufferLengthChanged(100);
        bar.recordPositionChanged(50);
        bar.grab();
        QCOMPARE(bar.mappedPointCount(), 100);

        bar.bufferLengthChanged(300);
        QCOMPARE(bar.length(), qint64(300));
        QCOMPARE(bar.position(), qint64(0));
        QCOMPARE(bar.mappedPointCount(), 0);
        const QImage image = bar.grab().toImage();
        QVERIFY(!anyPixelOf(image, recorded));
        QVERIFY(!anyPixelOf(image, waveform));
    }
};

QTEST_MAIN(ProgressBarTest)
#include "tst_progressbar.moc"
