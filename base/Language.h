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
bool loadTranslation(QTranslator& translator, const QString& fileName);
