#include "base/Language.h"

#include "base/AppConstants.h"

#include <QCoreApplication>
#include <QTranslator>

QString supportedLanguageOrDefault(const QString& name)
{
    return AppConstants::supportedLanguages().contains(name, Qt::CaseSensitive) ? name : AppConstants::defaultLanguage;
}

QString translationsFolder()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + AppConstants::languagesFolder;
}

bool loadTranslation(QTranslator& translator, const QString& fileName)
{
    QCoreApplication::removeTranslator(&translator);
    if (!translator.load(translationsFolder() + QLatin1Char('/') + fileName))
        return false;
    return QCoreApplication::installTranslator(&translator);
}
