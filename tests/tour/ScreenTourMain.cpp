// Saves a picture of every screen and dialog of the program, as the real
// window shows them against a fresh local service:
//   screen_tour FOLDER LANGUAGE      (LANGUAGE: en_US or ru_RU)
// writes FOLDER/<stop>.png, one per stop of the tour, and says which stop
// did not show, if any.
#include "app/Application.h"
#include "support/LocalServiceProcess.h"
#include "support/ScreenTour.h"
#include "support/ServiceTestEnvironment.h"
#include "support/WorkingDirectory.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QWidget>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: screen_tour FOLDER LANGUAGE\n");
        return 2;
    }
    const QDir folder(QFileInfo(arguments.at(1)).absoluteFilePath());
    QDir().mkpath(folder.path());
    setupApplication(application);

    // The program's log goes to a scratch folder, not into the pictures'.
    ScopedWorkingDirectory workingDirectory;
    LocalServiceProcess service;
    if (!service.start()) {
        std::fprintf(stderr, "The local service did not start: %s\n", qPrintable(service.errorText()));
        return 1;
    }
    ServiceTestEnvironment environment(service.baseUrl(), 20000);
    ScreenTour tour(arguments.at(2), [&folder](const QString& name, QWidget* shown) {
        const QString path = folder.filePath(name + QStringLiteral(".png"));
        if (!shown->grab().save(path))
            std::fprintf(stderr, "Could not write %s\n", qPrintable(path));
        else
            std::printf("%s\n", qPrintable(path));
    });
    if (!tour.run()) {
        std::fprintf(stderr, "The tour stopped: %s\n", qPrintable(tour.errorText()));
        return 1;
    }
    return 0;
}
