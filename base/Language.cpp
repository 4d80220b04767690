#include "base/Language.h"

#include "base/AppConstants.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace {

// The toolkit's own texts (the buttons and questions of its dialogs), beside
// the program's; it lives as long as the application.
QTranslator* toolkitTranslator()
{
    static QPointer<QTranslator> translator;
    if (!translator && QCoreApplication::instance())
        translator = new QTranslator(QCoreApplication::instance());
    return translator;
}

// In the default locale's language, from the translations folder (the
// Windows program brings them along) or where the toolkit keeps its own.
void loadToolkitTranslation()
{
    QTranslator* translator = toolkitTranslator();
    if (!translator)
        return;
    QCoreApplication::removeTranslator(translator);
    for (const QString& folder : {translationsFolder(), QLibraryInfo::location(QLibraryInfo::TranslationsPath)}) {
        if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
            return;
        }
    }
}

} // namespace

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
    loadToolkitTranslation();
    QCoreApplication::removeTranslator(&translator);
    if (!translator.load(translationsFolder() + QLatin1Char('/') + fileName))
        return false;
    return QCoreApplication::installTranslator(&translator);
}
