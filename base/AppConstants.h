#pragma once

#include <QLatin1String>
#include <QStringList>

// Program-wide constants. The program keeps no settings of its own: what the
// account carries comes from the service at sign-in, everything else is here.
namespace AppConstants {

inline constexpr QLatin1String applicationName{"Sonvera"};
inline constexpr QLatin1String organizationName{"Sonvera Labs"};
inline constexpr QLatin1String organizationDomain{"Wellness"};
inline constexpr QLatin1String applicationVersion{"2021.3.0"};
inline constexpr QLatin1String supportEmail{"support@sonvera.example"};
inline constexpr QLatin1String website{"https://www.sonvera.example"};

// Interface languages in the order of the Language menu.
inline QStringList supportedLanguages()
{
    return {QStringLiteral("en_US"), QStringLiteral("ru_RU")};
}
inline constexpr QLatin1String defaultLanguage{"en_US"};

inline constexpr int readTimeoutMs = 180000;
inline constexpr int searchDelayMs = 800;
inline constexpr int deviceErrorDelayMs = 3000;

inline constexpr QLatin1String logFileName{"sonvera.log"};
inline constexpr QLatin1String languagesFolder{"languages"};
inline constexpr QLatin1String translationFilePattern{"Translation_%1.qm"};
inline constexpr QLatin1String styleSheetResource{":/styles.css"};
inline constexpr QLatin1String logoResource{":/images/logo.png"};

} // namespace AppConstants
