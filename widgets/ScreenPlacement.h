#pragma once

#include <QList>

class QScreen;
class QWidget;

// Moves the widget to the middle of the first of the given screens, wherever
// that screen lies. With no screen at all (a desktop being reconfigured, a
// headless session) the widget stays where it is.
void centreOnFirstScreen(QWidget& widget, const QList<QScreen*>& screens);
