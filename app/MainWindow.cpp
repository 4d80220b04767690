#include "app/MainWindow.h"

#include "base/Account.h"
#include "base/AppConstants.h"
#include "app/DialogAbout.h"
#include "app/DialogChangePassword.h"
#include "app/DialogLogin.h"
#include "base/Language.h"
#include "widgets/MessageBoxes.h"
#include "app/PlayerStatusEntry.h"
#include "audio/DialogPlayer.h"
#include "api/PatientManager.h"
#include "api/Controller.h"
#include "views/ViewPatients.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>

namespace {

// The flags are named by the two-letter code of the language.
QIcon flagOf(const QString& language)
{
    return QIcon(QStringLiteral(":/flags/%1.png").arg(language.section(QLatin1Char('_'), 0, 0)));
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), m_screens(new QStackedWidget(this))
{
    // The language comes first so that every widget built below takes its text
    // from the right translation.
    setLanguage(QLocale::system().name());

    setObjectName(QStringLiteral("MainWindow"));
    resize(895, 682);
    buildMenus();
    setStatusBar(new QStatusBar(this));
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    m_screens->setObjectName(QStringLiteral("screens"));
    setCentralWidget(m_screens);
    setMinimumSize(300, 300);
    m_playerActive = false;
    retranslate();

    signIn();
}

MainWindow::~MainWindow()
{
    // The player's audio output may run the event loop while it closes: the
    // player goes while the window is whole, and an end it has reported but
    // the window has not yet handled is dropped.
    if (m_player) {
        disconnect(m_player, nullptr, this, nullptr);
        QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    }
    delete m_playerEntry;
    delete m_player;
}

void MainWindow::signIn()
{
    auto* dialog = new DialogLogin(this);
    connect(dialog, &DialogLogin::listener, this, &MainWindow::onLogin);
    dialog->exec();
    dialog->deleteLater();
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

void MainWindow::buildLanguageMenu()
{
    m_languages = new QActionGroup(m_menuLanguage);
    m_languages->setExclusive(true);
    for (const QString& language : AppConstants::supportedLanguages()) {
        const QLocale locale(language);
        QAction* action = m_menuLanguage->addAction(flagOf(language), QLocale::languageToString(locale.language()));
        action->setObjectName(QStringLiteral("language_") + language);
        action->setCheckable(true);
        action->setData(language);
        action->setChecked(language == Account::instance().localeName());
        m_languages->addAction(action);
    }
    connect(m_languages, &QActionGroup::triggered, this, &MainWindow::onLanguageChanged);
}

void MainWindow::connectMenuActions()
{
    connect(m_menuPassword, &QAction::triggered, this, &MainWindow::onMenuPassword);
    connect(m_menuUpdates, &QAction::triggered, this, &MainWindow::onMenuUpdates);
    connect(m_menuAbout, &QAction::triggered, this, &MainWindow::onMenuAbout);
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

// ---- Sign-in and menus ---------------------------------------------------------

void MainWindow::onLogin(bool success)
{
    if (!success) {
        // The program ends: main() sees that nobody signed in.
        m_signedIn = false;
        return;
    }
    m_signedIn = true;
    setLanguage(Account::instance().localeName());
    buildLanguageMenu();
    showMaximized();

    auto* patients = new ViewPatients(this);
    connect(patients, &ViewPatients::onChoosePatient, this, &MainWindow::onChoosePatient);
    connectMenuActions();
    pushScreen(patients);
}

void MainWindow::onLanguageChanged(QAction* action)
{
    const QString language = action->data().toString();
    if (language == m_currentLanguage)
        return;
    auto* controller = new Controller(this);
    connect(controller, &Controller::onSuccess, this, [this, language] {
        showSuccess(this, tr("Text.changeLocaleSuccess"));
        // Later answers of the service come in the new language too.
        Account::instance().setLocaleName(language);
        setLanguage(language);
    });
    connect(controller, &Controller::onError, this, [this](const QString& message) {
        showError(this, message);
        // The interface stays in its language, and so does the check mark.
        checkCurrentLanguage();
    });
    controller->changeLocale(language);
}

void MainWindow::checkCurrentLanguage()
{
    if (!m_languages)
        return;
    for (QAction* action : m_languages->actions())
        action->setChecked(action->data().toString() == m_currentLanguage);
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

// ---- Screens ---------------------------------------------------------------------

void MainWindow::pushScreen(QWidget* screen)
{
    m_screens->addWidget(screen);
    m_screens->setCurrentWidget(screen);
}

int MainWindow::screenCount() const
{
    return m_screens->count();
}

QWidget* MainWindow::currentScreen() const
{
    return m_screens->currentWidget();
}

ViewPatients* MainWindow::patientsList() const
{
    return qobject_cast<ViewPatients*>(m_screens->widget(0));
}

template <typename Screen> void MainWindow::connectCommonNavigation(Screen* screen)
{
    connect(screen, &Screen::onPatientsList, this, &MainWindow::showPatientsList);
    connect(screen, &Screen::onBack, this, &MainWindow::screenBack);
}

// The screens above the patients list come with their own classes; each slot
// below then creates its screen, connects it (connectCommonNavigation and the
// screen's own signals) and pushes it.

void MainWindow::onChoosePatient(Patient& patient)
{
    qInfo("The patient card of %s is not available in this version", qUtf8Printable(patient.id()));
}

void MainWindow::onAnalysis(Patient& patient, QList<Record>& records)
{
    Q_UNUSED(patient)
    qInfo("The analysis of %d records is not available in this version", int(records.size()));
}

void MainWindow::onComparativeAnalysis(Patient& patient, QList<Record>& records)
{
    Q_UNUSED(patient)
    qInfo("The comparative analysis of %d records is not available in this version", int(records.size()));
}

void MainWindow::onRecoveryHistory(Patient& patient, QList<Record>& records)
{
    Q_UNUSED(patient)
    qInfo("The recovery history of %d records is not available in this version", int(records.size()));
}

void MainWindow::onReceipt(Patient& patient, Record& record)
{
    Q_UNUSED(patient)
    qInfo("The recipe of record %s is not available in this version", qUtf8Printable(record.id()));
}

void MainWindow::onImpact(Patient& patient, Record& record, QList<Marker>& markers, bool recipeChanged)
{
    Q_UNUSED(patient)
    Q_UNUSED(record)
    Q_UNUSED(recipeChanged)
    qInfo("The impact of %d markers is not available in this version", int(markers.size()));
}

// ---- Player --------------------------------------------------------------------

void MainWindow::onPlayerInit(QByteArray samples, QString title)
{
    // One player at a time; a second request is dropped.
    if (m_playerActive)
        return;
    m_playerActive = true;
    emit onPlayerState(true);

    m_player = new DialogPlayer(this, samples, title);
    m_playerEntry = new PlayerStatusEntry(statusBar(), m_player, this);
    // Queued: the end is handled from the event loop, not from within the
    // audio output's own state report, and a modal message may follow.
    connect(m_player, &DialogPlayer::onFinish, this, &MainWindow::onPlayerFinished, Qt::QueuedConnection);
    m_player->show();
    m_player->raise();
    m_player->activateWindow();
    m_playerEntry->start();
}

void MainWindow::onPlayerFinished(bool completed)
{
    if (completed)
        showSuccess(currentScreen() ? currentScreen() : this, tr("Text.impactFinished"));
    delete m_playerEntry;
    if (m_player)
        m_player->deleteLater();
    m_playerActive = false;
    emit onPlayerState(false);
}

void MainWindow::screenBack()
{
    // The patients list stays at the bottom whatever asks.
    if (m_screens->count() <= 1)
        return;
    QWidget* top = m_screens->widget(m_screens->count() - 1);
    m_screens->removeWidget(top);
    top->deleteLater();
    m_screens->setCurrentIndex(m_screens->count() - 1);
}

void MainWindow::showPatientsList()
{
    if (m_screens->count() == 0)
        return;
    m_screens->setCurrentIndex(0);
    while (m_screens->count() > 1) {
        QWidget* top = m_screens->widget(m_screens->count() - 1);
        m_screens->removeWidget(top);
        top->deleteLater();
    }
}

void MainWindow::patientDelete(QWidget* widget, Patient& patient)
{
    if (!confirmDeletePatient(widget, patient.name()))
        return;
    PatientManager& directory = PatientManager::instance();
    connect(&directory, &PatientManager::onPatientDeleted, this, &MainWindow::patientDeleted, Qt::UniqueConnection);
    directory.removePatient(widget, patient);
}

void MainWindow::patientDeleted()
{
    showPatientsList();
}

// ---- Window events -----------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
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
