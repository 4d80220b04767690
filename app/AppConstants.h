#pragma once

#include <QString>
#include <QStringList>

// Program-wide constants. The program keeps no settings of its own: what the
// account carries comes from the service at sign-in, everything else is here.
namespace AppConstants {

inline QString applicationName()
{
    return QStringLiteral("Sonvera");
}
inline QString organizationName()
{
    return QStringLiteral("Sonvera Labs");
}
inline QString organizationDomain()
{
    return QStringLiteral("Wellness");
}
inline QString applicationVersion()
{
    return QStringLiteral("2021.3.0");
}
inline QString supportEmail()
{
    return QStringLiteral("support@sonvera.example");
}
inline QString website()
{
    return QStringLiteral("https://www.sonvera.example");
}

// Interface languages in the order of the Language menu.
inline QStringList supportedLanguages()
{
    return {QStringLiteral("en_US"), QStringLiteral("ru_RU")};
}
inline QString defaultLanguage()
{
    return QStringLiteral("en_US");
}

// Name fragments by which the recorder and the player recognise the sensor's
// audio device, in order of preference.
inline QStringList sensorDeviceNames()
{
    return {QStringLiteral("Sonvera USB v"), QStringLiteral("C-Media USB Headphone Set")};
}

inline constexpr int readTimeoutMs = 180000;
inline constexpr int searchDelayMs = 800;
inline constexpr int playerTickMs = 500;
inline constexpr int playerStatusTickMs = 1000;
inline constexpr int deviceErrorDelayMs = 3000;

inline QString logFileName()
{
    return QStringLiteral("sonvera.log");
}
inline QString languagesFolder()
{
    return QStringLiteral("languages");
}
inline QString translationFilePattern()
{
    return QStringLiteral("Translation_%1.qm");
}
inline QString styleSheetResource()
{
    return QStringLiteral(":/styles.css");
}
inline QString logoResource()
{
    return QStringLiteral(":/images/logo.png");
}

} // namespace AppConstants
