#pragma once

#include <QKeySequence>
#include <QString>

class QWidget;

// Key events as the keyboard sends them: to the widget that has the focus,
// or to the active window when none has.

// The widget that gets the next key event; null when no window is active.
QWidget* keyboardTarget();
// Presses and releases a key, with shortcuts, and lets the event loop run.
void pressKey(const QKeySequence& key);
// Types the text into the focus widget.
void typeText(const QString& text);
// Presses Tab until the focus is on the widget of that object name; false
// when a whole round of the focus chain passed without reaching it.
bool tabTo(const QString& objectName);
