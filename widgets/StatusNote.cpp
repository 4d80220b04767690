#include "widgets/StatusNote.h"

#include <QDebug>
#include <QMainWindow>
#include <QStatusBar>

namespace {

// Long enough to read a folder path, short enough not to linger over the
// next piece of work.
constexpr int noteShownMs = 15000;

} // namespace

void showStatusNote(QWidget* from, const QString& text)
{
    auto* window = from ? qobject_cast<QMainWindow*>(from->window()) : nullptr;
    if (!window) {
        qInfo().noquote() << text;
        return;
    }
    window->statusBar()->showMessage(text, noteShownMs);
}
