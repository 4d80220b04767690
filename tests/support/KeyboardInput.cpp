#include "support/KeyboardInput.h"

#include <QApplication>
#include <QWidget>
#include <QtTest>

QWidget* keyboardTarget()
{
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus : QApplication::activeWindow();
}

void pressKey(const QKeySequence& key)
{
    QWidget* target = keyboardTarget();
    if (!target || key.isEmpty())
        return;
    const int combined = key[0];
    QTest::keyClick(target, Qt::Key(combined & ~Qt::KeyboardModifierMask),
                    Qt::KeyboardModifiers(combined & Qt::KeyboardModifierMask));
    QCoreApplication::processEvents();
}

void typeText(const QString& text)
{
    if (QWidget* target = keyboardTarget())
        QTest::keyClicks(target, text);
}

bool tabTo(const QString& objectName)
{
    // More presses than any screen has controls: a chain that never
    // reaches the widget goes round and comes back.
    for (int press = 0; press < 80; ++press) {
        if (QWidget* focus = QApplication::focusWidget(); focus && focus->objectName() == objectName)
            return true;
        pressKey(Qt::Key_Tab);
    }
    return false;
}
