#include "base/ToolkitTranslation.h"

#include "base/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

QStringList toolkitTranslationFolders()
{
    return {translationsFolder(), QLibraryInfo::location(QLibraryInfo::TranslationsPath)};
}

bool loadToolkitTranslation(QTranslator& translator, const QString& language)
{
    QCoreApplication::removeTranslator(&translator);
    // The toolkit's texts are English already; an English file would only
    // be looked up for nothing.
    if (QLocale(language).language() == QLocale::English)
        return false;
    for (const QString& folder : toolkitTranslationFolders()) {
        if (translator.load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"), folder))
            return QCoreApplication::installTranslator(&translator);
    }
    return false;
}
