#include "app/MainWindow.h"

#include "app/AppConstants.h"
#include "app/Language.h"

#include <QEvent>
#include <QLocale>
#include <QStackedWidget>

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), m_screens(new QStackedWidget(this))
{
    // The language comes first so that every widget built below takes its text
    // from the right translation.
    setLanguage(QLocale::system().name());

    setObjectName(QStringLiteral("MainWindow"));
    resize(895, 682);
    setCentralWidget(m_screens);
    setMinimumSize(300, 300);
    retranslate();
}

void MainWindow::setLanguage(const QString& name)
{
    const QString language = supportedLanguageOrDefault(name);
    if (language == m_currentLanguage)
        return;
    m_currentLanguage = language;
    QLocale::setDefault(QLocale(language));
    loadTranslation(m_translator, AppConstants::translationFilePattern.arg(language));
}

void MainWindow::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::LocaleChange: {
        const QString systemLanguage = QLocale::system().name();
        if (AppConstants::supportedLanguages().contains(systemLanguage))
            setLanguage(systemLanguage);
        break;
    }
    case QEvent::LanguageChange:
        retranslate();
        break;
    default:
        break;
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::retranslate()
{
    setWindowTitle(tr("Title.application"));
}
