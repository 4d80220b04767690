#pragma once

#include <QString>

class QTranslator;

// The toolkit's own texts (file and print dialogs, message box buttons, the
// context menus of text fields) in the interface language. They come from
// the toolkit's "qtbase" translation: beside the program when it is shipped
// with it (Windows), else where the toolkit keeps its translations (on Debian
// the qttranslations5-l10n package).
//
// Replaces what the translator held by the toolkit's texts in that language;
// for a language the toolkit speaks natively (English) nothing stays
// installed. Returns whether a translation was found and installed.
bool loadToolkitTranslation(QTranslator& translator, const QString& language);

// Where the toolkit's translations are looked for, in this order.
QStringList toolkitTranslationFolders();
