#pragma once

#include <QObject>

class QAction;
class QActionGroup;
class QMenu;

// The Language menu: one checkable action per supported interface language,
// named in that language ("English", "Русский") so that a practitioner finds
// their own whatever the interface speaks now, with its flag, and the
// language name as data; one of them checked at a time.
class LanguageMenu : public QObject
{
    Q_OBJECT

public:
    // Fills the menu and checks the given language.
    LanguageMenu(QMenu* menu, const QString& checkedLanguage);

    // The name of the language in that language, capitalised as a menu entry.
    static QString nativeName(const QString& language);

    // Moves the check mark to that language.
    void check(const QString& language);

signals:
    void triggered(QAction* action);

private:
    QActionGroup* m_actions;
};
