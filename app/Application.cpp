#include "app/Application.h"

#include "app/MainWindow.h"
#include "base/AppConstants.h"
#include "base/Logging.h"
#include "data/Category.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QPixmap>

void initResources()
{
    Q_INIT_RESOURCE(resources);
}

QString readStyleSheet(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const int end = bytes.indexOf('\0');
    return QString::fromLatin1(end < 0 ? bytes : bytes.left(end));
}

void setupApplication(QApplication& application)
{
    initResources();
    application.setStyleSheet(readStyleSheet(AppConstants::styleSheetResource));
    const QPixmap logo(AppConstants::logoResource);

    QCoreApplication::setApplicationName(AppConstants::applicationName);
    QCoreApplication::setOrganizationName(AppConstants::organizationName);
    QCoreApplication::setOrganizationDomain(AppConstants::organizationDomain);
    QCoreApplication::setApplicationVersion(AppConstants::applicationVersion);

    QCoreApplication::setAttribute(Qt::AA_DontShowIconsInMenus);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication::setWheelScrollLines(1);
    // Combo boxes carry catalogue entries as item data.
    registerDomainMetaTypes();

    QApplication::setWindowIcon(QIcon(logo));
}

int runApplication(QApplication& application)
{
    setupApplication(application);
    setLogFolder(defaultLogFolder());
    qInstallMessageHandler(messageHandler);

    MainWindow window;
    if (!window.isSignedIn())
        return 0;
    return application.exec();
}
