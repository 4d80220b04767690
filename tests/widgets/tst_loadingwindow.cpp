#include "app/Application.h"
#include "widgets/LoadingWindow.h"

#include <QLabel>
#include <QMovie>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A screen with one button filling it, shown in its own window.
struct Screen
{
    Screen()
    {
        auto* layout = new QVBoxLayout(&widget);
        button = new QPushButton(QStringLiteral("Save"), &widget);
        button->setMinimumHeight(100);
        layout->addWidget(button);
        widget.resize(400, 300);
        widget.show();
    }

    // A click at the button's centre, routed by the window as a real click is.
    void clickButtonThroughWindow()
    {
        QWindow* window = widget.windowHandle();
        QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, button->mapTo(&widget, button->rect().center()));
    }

    QWidget widget;
    QPushButton* button = nullptr;
};

} // namespace

class LoadingWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }
    void coversItsParentAtOnce();
    void followsTheParentsSize();
    void keepsClicksFromTheCoveredControls();
    void showsTextAboveARunningAnimation();
    void deletingRemovesIt();
};

void LoadingWindowTest::coversItsParentAtOnce()
{
    Screen screen;
    QVERIFY(QTest::qWaitForWindowExposed(&screen.widget));
    auto* overlay = new LoadingWindow(&screen.widget);
    QVERIFY(overlay->isVisible());
    QCOMPARE(overlay->geometry(), screen.widget.rect());
    QCOMPARE(screen.widget.childAt(screen.button->geometry().center()), static_cast<QWidget*>(overlay));
    QVERIFY(overlay->testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(overlay->objectName(), QStringLiteral("LoadingWindow"));
}

void LoadingWindowTest::followsTheParentsSize()
{
    Screen screen;
    auto* overlay = new LoadingWindow(&screen.widget);
    screen.widget.resize(640, 480);
    QTRY_COMPARE(overlay->geometry(), QRect(0, 0, 640, 480));
    screen.widget.resize(320, 200);
    QTRY_COMPARE(overlay->geometry(), QRect(0, 0, 320, 200));
}

void LoadingWindowTest::keepsClicksFromTheCoveredControls()
{
    Screen screen;
    QVERIFY(QTest::qWaitForWindowExposed(&screen.widget));
    QSignalSpy clicked(screen.button, &QPushButton::clicked);

    screen.clickButtonThroughWindow();
    QCOMPARE(clicked.count(), 1); // the click does reach an uncovered button

    QPointer<LoadingWindow> overlay = new LoadingWindow(&screen.widget);
    screen.clickButtonThroughWindow();
    QCOMPARE(clicked.count(), 1);

    delete overlay;
    screen.clickButtonThroughWindow();
    QCOMPARE(clicked.count(), 2);
}

void LoadingWindowTest::showsTextAboveARunningAnimation()
{
    Screen screen;
    LoadingWindow overlay(&screen.widget);
    const QList<QLabel*> labels = overlay.findChildren<QLabel*>();
    QCOMPARE(labels.size(), 2);
    QLabel* text = labels.at(0);
    QLabel* animation = labels.at(1);
    QCOMPARE(text->text(), QStringLiteral("Text.requestInProgress")); // no translation loaded: the key shows
    QCOMPARE(text->alignment(), Qt::AlignHCenter | Qt::AlignBottom);
    QCOMPARE(animation->alignment(), Qt::AlignHCenter | Qt::AlignTop);
    QVERIFY(text->geometry().bottom() < animation->geometry().top());
    QVERIFY(animation->movie());
    QVERIFY(animation->movie()->isValid());
    QVERIFY(animation->movie()->frameCount() > 1);
    QCOMPARE(animation->movie()->state(), QMovie::Running);
}

void LoadingWindowTest::deletingRemovesIt()
{
    Screen screen;
    auto* overlay = new LoadingWindow(&screen.widget);
    auto* second = new LoadingWindow(&screen.widget);
    delete overlay;
    QCOMPARE(screen.widget.findChildren<LoadingWindow*>().size(), 1);
    delete second;
    QVERIFY(screen.widget.findChildren<LoadingWindow*>().isEmpty());
    // The screen's own controls are reachable again, also after a resize.
    screen.widget.resize(500, 350);
    QCoreApplication::processEvents();
    QCOMPARE(screen.widget.childAt(screen.button->geometry().center()), static_cast<QWidget*>(screen.button));
}

QTEST_MAIN(LoadingWindowTest)
#include "tst_loadingwindow.moc"
