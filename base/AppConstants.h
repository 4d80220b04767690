#pragma once

#include <QLatin1String>
#include <QStringList>

// Program-wide constants. The program keeps no settings of its own: what the
// account carries comes from the service at sign-in, everything else is here.
namespace AppConstants {

// QLatin1String's one-argument constructor counts the characters with strlen,
// which not every compiler evaluates at compile time; the array knows its size.
template <int size> constexpr QLatin1String latin1(const char (&text)[size])
{
    return QLatin1String(text, size - 1);
}

inline constexpr QLatin1String applicationName = latin1("Sonvera");
inline constexpr QLatin1String organizationName = latin1("Sonvera Labs");
inline constexpr QLatin1String organizationDomain = latin1("Wellness");
inline constexpr QLatin1String applicationVersion = latin1("2021.3.0");
inline constexpr QLatin1String supportEmail = latin1("support@sonvera.example");
inline constexpr QLatin1String website = latin1("https://www.sonvera.example");

// Interface languages in the order of the Language menu.
inline QStringList supportedLanguages()
{
    return {QStringLiteral("en_US"), QStringLiteral("ru_RU")};
}
inline constexpr QLatin1String defaultLanguage = latin1("en_US");

inline constexpr int readTimeoutMs = 180000;
inline constexpr int searchDelayMs = 800;
inline constexpr int deviceErrorDelayMs = 3000;

inline constexpr QLatin1String logFileName = latin1("sonvera.log");
inline constexpr QLatin1String languagesFolder = latin1("languages");
inline constexpr QLatin1String translationFilePattern = latin1("Translation_%1.qm");
inline constexpr QLatin1String styleSheetResource = latin1(":/styles.css");
inline constexpr QLatin1String logoResource = latin1(":/images/logo.png");

} // namespace AppConstants
