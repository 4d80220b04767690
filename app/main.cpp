#include "app/Application.h"
#include "app/Logging.h"
#include "app/MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    setupApplication(application);
    qInstallMessageHandler(messageHandler);

    MainWindow window;
    window.show();
    return application.exec();
}
