#include "app/Application.h"
#include "startup/FirstExposeWatcher.h"

#include <QApplication>

// The program's own start-up, the same call as its main, watched until the
// first window (the sign-in dialog) is on screen.
int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    FirstExposeWatcher watcher(application);
    return runApplication(application);
}
