#include "widgets/ScreenPlacement.h"

#include <QScreen>
#include <QWidget>

void centreOnFirstScreen(QWidget& widget, const QList<QScreen*>& screens)
{
    if (screens.isEmpty())
        return;
    const QRect screen = screens.constFirst()->geometry();
    widget.move(screen.x() + (screen.width() - widget.width()) / 2,
                screen.y() + (screen.height() - widget.height()) / 2);
}
