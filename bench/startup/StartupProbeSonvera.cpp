#include "app/Application.h"
#include "app/Logging.h"
#include "app/MainWindow.h"
#include "startup/FirstExposeWatcher.h"

#include <QApplication>

// The program's own start-up, step for step as in its main, watched until the
// first window (whichever it is) is on screen.
int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    FirstExposeWatcher watcher(application);
    setupApplication(application);
    qInstallMessageHandler(messageHandler);

    MainWindow window;
    window.show();
    return application.exec();
}
