#include "widgets/ScreenPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtTest>

class ScreenPlacementTest : public QObject
{
    Q_OBJECT

private slots:
    void placement_data();
    void placement();
};

void ScreenPlacementTest::placement_data()
{
    QTest::addColumn<bool>("withScreens");
    QTest::addColumn<QSize>("size");

    QTest::newRow("small widget on the first screen") << true << QSize(300, 200);
    QTest::newRow("widget larger than the screen") << true << QSize(3000, 2000);
    QTest::newRow("no screen leaves the widget where it is") << false << QSize(300, 200);
}

void ScreenPlacementTest::placement()
{
    QFETCH(bool, withScreens);
    QFETCH(QSize, size);
    QWidget widget;
    widget.resize(size);
    const QPoint before(17, 23);
    widget.move(before);

    const QList<QScreen*> screens = withScreens ? QGuiApplication::screens() : QList<QScreen*>();
    centreOnFirstScreen(widget, screens);

    if (!withScreens) {
        QCOMPARE(widget.pos(), before);
        return;
    }
    QVERIFY(!screens.isEmpty());
    QCOMPARE(widget.geometry().center(), screens.constFirst()->geometry().center());
}

QTEST_MAIN(ScreenPlacementTest)
#include "tst_screenplacement.moc"
