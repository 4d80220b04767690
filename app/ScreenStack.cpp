#include "app/ScreenStack.h"

#include "views/ReturnableScreen.h"

ScreenStack::ScreenStack(QWidget* parent) : QStackedWidget(parent)
{
    setObjectName(QStringLiteral("screens"));
}

void ScreenStack::push(QWidget* screen)
{
    addWidget(screen);
    setCurrentWidget(screen);
}

void ScreenStack::back(int screens)
{
    const int before = count();
    for (int i = 0; i < screens && count() > 1; ++i)
        takeTop();
    setCurrentIndex(count() - 1);
    if (count() < before)
        returnToCurrent();
}

void ScreenStack::backToBottom()
{
    if (count() < 2)
        return;
    setCurrentIndex(0);
    while (count() > 1)
        takeTop();
    returnToCurrent();
}

void ScreenStack::returnToCurrent()
{
    if (auto* screen = dynamic_cast<ReturnableScreen*>(currentWidget()))
        screen->screenReturned();
}

void ScreenStack::takeTop()
{
    QWidget* screen = top();
    removeWidget(screen);
    screen->deleteLater();
}
