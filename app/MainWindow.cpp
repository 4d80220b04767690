#include "app/MainWindow.h"

#include "api/Controller.h"
#include "api/PatientManager.h"
#include "api/RecordingUploader.h"
#include "app/DialogAbout.h"
#include "app/DialogChangePassword.h"
#include "app/DialogLogin.h"
#include "app/LanguageMenu.h"
#include "app/PlayerHost.h"
#include "app/ScreenStack.h"
#include "base/Account.h"
#include "base/AppConstants.h"
#include "base/Language.h"
#include "base/ToolkitTranslation.h"
#include "views/ViewAnalysis.h"
#include "views/ViewComparativeAnalysis.h"
#include "views/ViewImpact.h"
#include "views/ViewPatient.h"
#include "views/ViewPatients.h"
#include "views/ViewReceipt.h"
#include "views/ViewRecoveryHistory.h"
#include "widgets/MessageBoxes.h"

#include <QCloseEvent>
#include <QEvent>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include <utility>

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), m_screens(new ScreenStack(this)), m_player(new PlayerHost(this))
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
    m_languages = new LanguageMenu(m_menuLanguage, Account::instance().localeName());
    connect(m_languages, &LanguageMenu::triggered, this, &MainWindow::onLanguageChanged);
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

// ---- Screens ---------------------------------------------------------------------

void MainWindow::pushScreen(QWidget* screen)
{
    m_screens->push(screen);
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
    return qobject_cast<ViewPatients*>(m_screens->bottom());
}

template <typename Screen> Screen* MainWindow::openScreen(Screen* screen)
{
    connect(screen, &Screen::onPatientsList, this, &MainWindow::showPatientsList);
    connect(screen, &Screen::onBack, this, &MainWindow::screenBack);
    m_screens->push(screen);
    return screen;
}

// The screens above the patients list come with their own classes; each slot
// below then creates its screen with openScreen and connects what is its own.

void MainWindow::onChoosePatient(Patient& patient)
{
    auto* card = new ViewPatient(patient, this);
    card->setPlayerActive(m_player->isActive());
    connect(this, &MainWindow::onPlayerState, card, &ViewPatient::setPlayerActive);
    connect(card, &ViewPatient::onAnalysis, this, &MainWindow::onAnalysis);
    connect(card, &ViewPatient::onComparativeAnalysis, this, &MainWindow::onComparativeAnalysis);
    connect(card, &ViewPatient::onRecoveryHistory, this, &MainWindow::onRecoveryHistory);
    connect(card, &ViewPatient::onReceipt, this, &MainWindow::onReceipt);
    connect(card, &ViewPatient::onPatientsList, this, &MainWindow::showPatientsList);
    connect(card, &ViewPatient::onPatientDelete, this, &MainWindow::patientDelete);
    connect(card, &ViewPatient::onPlay, this, &MainWindow::onPlayerInit);
    m_screens->push(card);
}

void MainWindow::onAnalysis(Patient& patient, QList<Record>& records)
{
    openScreen(new ViewAnalysis(patient, records, this));
}

void MainWindow::onComparativeAnalysis(Patient& patient, QList<Record>& records)
{
    openScreen(new ViewComparativeAnalysis(patient, records, this));
}

void MainWindow::onRecoveryHistory(Patient& patient, QList<Record>& records)
{
    openScreen(new ViewRecoveryHistory(patient, records, this));
}

void MainWindow::onReceipt(Patient& patient, Record& record)
{
    auto* receipt = openScreen(new ViewReceipt(this, patient, record));
    connect(receipt, &ViewReceipt::onReceipt, this, &MainWindow::onImpact);
}

void MainWindow::onImpact(Patient& patient, Record& record, QList<Marker>& markers, bool recipeChanged)
{
    // The recipe screen it came from, and the card below, hear what the
    // impact screen changes.
    auto* receipt = qobject_cast<ViewReceipt*>(m_screens->top());
    auto* card = qobject_cast<ViewPatient*>(m_screens->widget(1));
    auto* impact = openScreen(new ViewImpact(this, patient, record, markers, recipeChanged));
    connect(impact, &ViewImpact::onPlay, this, &MainWindow::onPlayerInit);
    connect(impact, &ViewImpact::onPatientCard, this, [this] { m_screens->back(2); });
    connect(this, &MainWindow::onPlayerState, impact, &ViewImpact::onPlayerState);
    if (receipt) {
        connect(impact, &ViewImpact::onMarkerRemove, receipt, &ViewReceipt::markerRemove);
        // What Start saved on the service is the recipe from now on.
        connect(impact, &ViewImpact::onMarkersSaved, receipt, &ViewReceipt::markersSaved);
        connect(impact, &ViewImpact::onPatientChanged, receipt, &ViewReceipt::updatePatient);
    }
    if (card)
        connect(impact, &ViewImpact::onPatientChanged, card, &ViewPatient::updatePatient);
    emit onPlayerState(m_player->isActive());
}

void MainWindow::screenBack()
{
    m_screens->back();
}

void MainWindow::showPatientsList()
{
    m_screens->backToBottom();
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
    if (!mayLeaveScreens([this] { close(); }))
        return;
    if (askYesNo(this, tr("Text.closeTitle"), tr("Text.closeMessage")))
        event->accept();
}

bool MainWindow::mayLeaveScreens(const std::function<void()>& then)
{
    m_afterScreensSaved = then;
    return mayLeaveTopScreen<ViewImpact>() && mayLeaveTopScreen<ViewReceipt>() &&
           mayLeaveTopScreen<ViewRecoveryHistory>();
}

// Only the top screen holds unsaved work: the screens below it hold none, or
// (the recipe below the impact) the same markers, and asking the recipe too
// would save its older order over the impact's.
template <typename Screen> bool MainWindow::mayLeaveTopScreen()
{
    auto* screen = qobject_cast<Screen*>(m_screens->top());
    if (!screen || screen->confirmLeave())
        return true;
    // Its work is being saved; the way out is taken again once it is.
    connect(screen, &Screen::onReadyToLeave, this, &MainWindow::screensSaved,
            Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
    return false;
}

void MainWindow::screensSaved()
{
    if (const std::function<void()> then = std::exchange(m_afterScreensSaved, {}))
        then();
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
