#pragma once

#include <QString>

class QTranslator;

// The supported interface language of that exact name (case-sensitive), or the
// default language when the name is not supported.
QString supportedLanguageOrDefault(const QString& name);

// The folder "languages" beside the program, where the translation files are.
QString translationsFolder();

// Replaces the installed translation by the file of that name from the
// translations folder. When the file can't be loaded nothing stays installed
// and the interface shows the translation keys. Returns whether it loaded.
// The toolkit's own texts (its dialogs' buttons and questions) follow, in the
// language of the default locale, which language selection sets first: from
// qtbase_<language>.qm in the translations folder, else in the toolkit's.
bool loadTranslation(QTranslator& translator, const QString& fileName);
