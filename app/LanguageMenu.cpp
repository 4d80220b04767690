#include "app/LanguageMenu.h"

#include "base/AppConstants.h"

#include <QActionGroup>
#include <QIcon>
#include <QLocale>
#include <QMenu>

namespace {

// The flags are named by the two-letter code of the language.
QIcon flagOf(const QString& language)
{
    return QIcon(QStringLiteral(":/flags/%1.png").arg(language.section(QLatin1Char('_'), 0, 0)));
}

} // namespace

QString LanguageMenu::nativeName(const QString& language)
{
    const QLocale locale(language);
    // The toolkit calls English by its country's variant ("American English");
    // the menu offers the language itself.
    QString name = locale.language() == QLocale::English ? QStringLiteral("English") : locale.nativeLanguageName();
    if (!name.isEmpty())
        name[0] = name.at(0).toUpper();
    return name;
}

LanguageMenu::LanguageMenu(QMenu* menu, const QString& checkedLanguage)
    : QObject(menu), m_actions(new QActionGroup(menu))
{
    m_actions->setExclusive(true);
    for (const QString& language : AppConstants::supportedLanguages()) {
        QAction* action = menu->addAction(flagOf(language), nativeName(language));
        action->setObjectName(QStringLiteral("language_") + language);
        action->setCheckable(true);
        action->setData(language);
        action->setChecked(language == checkedLanguage);
        m_actions->addAction(action);
    }
    connect(m_actions, &QActionGroup::triggered, this, &LanguageMenu::triggered);
}

void LanguageMenu::check(const QString& language)
{
    for (QAction* action : m_actions->actions())
        action->setChecked(action->data().toString() == language);
}
