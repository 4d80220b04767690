// The stack rules of the main window's screens: going back any number of
// screens never takes the bottom one, screens taken off go once the event
// loop is free, and the screen that is current again hears of it.

#include "app/ScreenStack.h"
#include "views/ReturnableScreen.h"

#include <QPointer>
#include <QtTest>

namespace {

struct Screen : QWidget, ReturnableScreen
{
    int returns = 0;
    void screenReturned() override { ++returns; }
};

} // namespace

class ScreenStackTest : public QObject
{
    Q_OBJECT

private slots:
    void back_data();
    void back();
};

void ScreenStackTest::back_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("screensBack"); // 0: back to the bottom
    QTest::addColumn<int>("depthAfter");

    QTest::newRow("impact to recipe") << 4 << 1 << 3;
    QTest::newRow("impact to card, past the recipe") << 4 << 2 << 2;
    QTest::newRow("card to list") << 2 << 1 << 1;
    QTest::newRow("more than there are") << 3 << 5 << 1;
    QTest::newRow("the list alone stays") << 1 << 1 << 1;
    QTest::newRow("from the impact to the list") << 4 << 0 << 1;
    QTest::newRow("from the list to the list") << 1 << 0 << 1;
}

void ScreenStackTest::back()
{
    QFETCH(int, depth);
    QFETCH(int, screensBack);
    QFETCH(int, depthAfter);

    ScreenStack stack;
    QList<QPointer<Screen>> screens;
    for (int i = 0; i < depth; ++i) {
        screens << new Screen;
        stack.push(screens.last());
        QCOMPARE(stack.currentWidget(), screens.last().data());
    }

    if (screensBack == 0)
        stack.backToBottom();
    else
        stack.back(screensBack);

    QCOMPARE(stack.count(), depthAfter);
    QCOMPARE(stack.currentWidget(), screens.at(depthAfter - 1).data());
    QCOMPARE(stack.bottom(), screens.first().data());
    // Taken off now, deleted once the event loop is free.
    for (int i = depthAfter; i < depth; ++i)
        QVERIFY(!screens.at(i).isNull() && stack.indexOf(screens.at(i)) == -1);
    QTRY_VERIFY(std::all_of(screens.begin() + depthAfter, screens.end(), [](auto& s) { return s.isNull(); }));
    for (int i = 0; i < depthAfter; ++i)
        QCOMPARE(screens.at(i)->returns, i == depthAfter - 1 && depthAfter < depth ? 1 : 0);
}

QTEST_MAIN(ScreenStackTest)
#include "tst_screenstack.moc"
