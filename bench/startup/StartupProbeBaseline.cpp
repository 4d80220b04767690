#include "startup/FirstExposeWatcher.h"

#include <QApplication>
#include <QDialog>

// The least a Qt Widgets program does to show a window.
int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    FirstExposeWatcher watcher(application);
    QDialog dialog;
    dialog.show();
    return application.exec();
}
