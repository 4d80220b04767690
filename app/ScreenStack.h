#pragma once

#include <QStackedWidget>

// The main window's screens, the patients list at the bottom and above it what
// the practitioner opened from there: the patient card, then one of its screens,
// and the impact screen above the recipe screen. A new screen goes on top and
// shows; going back takes screens off the top and deletes them once the event
// loop is free, so a screen that asked may finish its own slot. The bottom
// screen is never taken off and keeps its state. A screen that becomes current
// again this way hears of it when it is a ReturnableScreen.
class ScreenStack : public QStackedWidget
{
    Q_OBJECT

public:
    explicit ScreenStack(QWidget* parent = nullptr);

    // The stack owns the screen from now on.
    void push(QWidget* screen);
    // Takes that many screens off the top, never the bottom one, and shows
    // the one below them.
    void back(int screens = 1);
    // Shows the bottom screen first, then takes every other one off.
    void backToBottom();

    QWidget* bottom() const { return widget(0); }
    QWidget* top() const { return count() > 0 ? widget(count() - 1) : nullptr; }

private:
    void takeTop();
    void returnToCurrent();
};
