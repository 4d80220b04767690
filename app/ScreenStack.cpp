#include "app/ScreenStack.h"

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
    for (int i = 0; i < screens && count() > 1; ++i)
        takeTop();
    setCurrentIndex(count() - 1);
}

void ScreenStack::backToBottom()
{
    if (count() == 0)
        return;
    setCurrentIndex(0);
    while (count() > 1)
        takeTop();
}

void ScreenStack::takeTop()
{
    QWidget* screen = top();
    removeWidget(screen);
    screen->deleteLater();
}
