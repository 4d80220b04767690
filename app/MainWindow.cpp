#include "app/MainWindow.h"

#include "api/Controller.h"
#include "api/RecordingUploader.h"
#include "app/DialogAbout.h"
#include "app/DialogChangePassword.h"
#include "app/DialogLogin.h"
#include "app/IdleLock.h"
#include "app/LanguageMenu.h"
#include "app/PlayerHost.h"
#include "app/ScreenStack.h"
#include "app/SignInAgain.h"
#include "audio/DialogPlayer.h"
#include "base/Account.h"
#include "base/AppConstants.h"
#include "base/Language.h"
#include "base/ToolkitTranslation.h"
#include "views/ViewPatients.h"
#include "widgets/MessageBoxes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QEvent>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_screens(new ScreenStack(this))
    , m_player(new PlayerHost(this))
    , m_signInAgain(new SignInAgain(this))
    , m_idleLock(new IdleLock(this))
{
    // The language comes first so that every widget built below takes its text
    // from the right translation.
    setLanguage(QLocale::system().name());

    setObjectName(QStringLiteral("MainWindow"));
    resize(895, 682);
    buildMenus();
    setStatusBar(new QStatusBar(this));
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    setCentralWidget(m_screens);
    setMinimumSize(300, 300);
    connect(m_player, &PlayerHost::activeChanged, this, &MainWindow::onPlayerState);
    connect(m_player, &PlayerHost::ended, this, &MainWindow::onPlayerEnded);
    connect(m_signInAgain, &SignInAgain::gaveUp, this, &MainWindow::signInAbandoned);
    retranslate();

    signIn();
}

MainWindow::~MainWindow()
{
    // The player goes while the window is whole.
    delete m_player;
}

void MainWindow::signIn()
{
    auto* dialog = new DialogLogin(this);
    connect(dialog, &DialogLogin::listener, this, &MainWindow::onLogin);
    dialog->exec();
    dialog->deleteLater();
    if (!m_signedIn)
        return;
    m_signInAgain->setUsername(dialog->username());
    m_idleLock->start(dialog->username());
}

void MainWindow::signInAbandoned()
{
    if (mayLeaveScreens([this] { signOut(); }))
        signOut();
}

void MainWindow::signOut()
{
    m_signInAgain->setUsername({});
    m_idleLock->stop();
    // The dialogs open over the screens go with them; a playing impact is the
    // practitioner's to stop.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        if (dialog && dialog->isVisible() && dialog->isModal() && !qobject_cast<DialogPlayer*>(dialog))
            dialog->reject();
    }
    // Once their event loops have ended.
    QMetaObject::invokeMethod(this, &MainWindow::signInAfresh, Qt::QueuedConnection);
}

void MainWindow::signInAfresh()
{
    hide();
    takeCentralWidget()->deleteLater();
    m_screens = new ScreenStack(this);
    setCentralWidget(m_screens);
    m_signedIn = false;
    signIn();
    if (!m_signedIn)
        QCoreApplication::quit();
}

void MainWindow::buildMenus()
{
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("menuBar"));
    setMenuBar(bar);

    m_menuApplication = bar->addMenu(QString());
    m_menuApplication->setObjectName(QStringLiteral("menuApplication"));
    m_menuLanguage = m_menuApplication->addMenu(QString());
    m_menuLanguage->setObjectName(QStringLiteral("menuLanguage"));
    m_menuApplication->addSeparator();
    m_menuPassword = m_menuApplication->addAction(QString());
    m_menuPassword->setObjectName(QStringLiteral("menuPassword"));
    m_menuUpdates = m_menuApplication->addAction(QString());
    m_menuUpdates->setObjectName(QStringLiteral("menuUpdates"));
    m_menuApplication->addSeparator();
    m_menuAbout = m_menuApplication->addAction(QString());
    m_menuAbout->setObjectName(QStringLiteral("menuAbout"));
}

void MainWindow::connectMenuActions()
{
    // Unique: a later sign-in connects them again.
    connect(m_menuPassword, &QAction::triggered, this, &MainWindow::onMenuPassword, Qt::UniqueConnection);
    connect(m_menuUpdates, &QAction::triggered, this, &MainWindow::onMenuUpdates, Qt::UniqueConnection);
    connect(m_menuAbout, &QAction::triggered, this, &MainWindow::onMenuAbout, Qt::UniqueConnection);
}

void MainWindow::setLanguage(const QString& name)
{
    const QString language = supportedLanguageOrDefault(name);
    if (language == m_currentLanguage)
        return;
    m_currentLanguage = language;
    QLocale::setDefault(QLocale(language));
    loadTranslation(m_translator, AppConstants::translationFilePattern.arg(language));
    loadToolkitTranslation(m_toolkitTranslator, language);
}

// ---- Sign-in and menus ---------------------------------------------------------

void MainWindow::onLogin(bool success)
{
    if (!success) {
        // The program ends: main() sees that nobody signed in.
        m_signedIn = false;
        return;
    }
    m_signedIn = true;
    // Recordings this practitioner left waiting, in an earlier run too.
    RecordingUploader::instance().sendWaiting();
    setLanguage(Account::instance().localeName());
    if (m_languages) {
        m_languages->check(Account::instance().localeName());
    } else {
        m_languages = new LanguageMenu(m_menuLanguage, Account::instance().localeName());
        connect(m_languages, &LanguageMenu::triggered, this, &MainWindow::onLanguageChanged);
    }
    showMaximized();

    auto* patients = new ViewPatients(this);
    connect(patients, &ViewPatients::onChoosePatient, this, &MainWindow::onChoosePatient);
    connectMenuActions();
    m_screens->push(patients);
}

void MainWindow::onLanguageChanged(QAction* action)
{
    const QString language = action->data().toString();
    if (language == m_currentLanguage)
        return;
    auto* controller = new Controller(this);
    connect(controller, &Controller::onSuccess, this, [this, language] {
        // Later answers of the service come in the new language too.
        Account::instance().setLocaleName(language);
        setLanguage(language);
        // The confirmation already speaks the language it confirms.
        showSuccess(this, tr("Text.changeLocaleSuccess"));
    });
    connect(controller, &Controller::onError, this, [this](const QString& message) {
        showError(this, message);
        // The interface stays in its language, and so does the check mark.
        m_languages->check(m_currentLanguage);
    });
    controller->changeLocale(language);
}

void MainWindow::onMenuPassword()
{
    auto* dialog = new DialogChangePassword(this);
    connect(dialog, &DialogChangePassword::listener, this, &MainWindow::onChangePassword);
    dialog->exec();
    dialog->deleteLater();
}

void MainWindow::onChangePassword(bool success)
{
    if (success)
        showSuccess(this, tr("Dialog.successChangePassword"));
}

void MainWindow::onMenuUpdates()
{
    auto* controller = new Controller(this);
    connect(controller, &Controller::onBytes, this, [this](const QByteArray& bytes) {
        const bool available = QJsonDocument::fromJson(bytes).object().value(QStringLiteral("update")).toBool();
        showInformation(this, tr("Text.updatesTitle"), available ? tr("Text.updatesAvailable") : tr("Text.upToDate"));
    });
    connect(controller, &Controller::onError, this, [this](const QString& message) { showError(this, message); });
    controller->checkUpdates();
}

void MainWindow::onMenuAbout()
{
    auto* dialog = new DialogAbout(this);
    dialog->exec();
    dialog->deleteLater();
}

// ---- Player --------------------------------------------------------------------

void MainWindow::onPlayerInit(QByteArray samples, QString title)
{
    // An empty impact would "finish" at once, as if it had played.
    if (samples.isEmpty()) {
        showInformation(currentScreen() ? currentScreen() : this, tr("Text.impact"), tr("Text.nothingToPlay"));
        return;
    }
    // One player at a time; a second request is dropped.
    m_player->play(samples, title);
}

void MainWindow::onPlayerEnded(bool completed)
{
    if (completed)
        showSuccess(currentScreen() ? currentScreen() : this, tr("Text.impactFinished"));
}

// ---- Window events -----------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (!mayLeaveScreens([this] { close(); }))
        return;
    if (askYesNo(this, tr("Text.closeTitle"), tr("Text.closeMessage")))
        event->accept();
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
    if (!m_menuApplication)
        return;
    setWindowTitle(tr("Title.application"));
    m_menuApplication->setTitle(tr("Menu.application"));
    m_menuLanguage->setTitle(tr("Menu.language"));
    m_menuPassword->setText(tr("Menu.password"));
    m_menuUpdates->setText(tr("Menu.updates"));
    m_menuAbout->setText(tr("Menu.about"));
}
