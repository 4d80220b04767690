#include "api/PatientManager.h"
#include "app/MainWindow.h"
#include "app/PlayerHost.h"
#include "app/ScreenStack.h"
#include "views/ViewAnalysis.h"
#include "views/ViewComparativeAnalysis.h"
#include "views/ViewImpact.h"
#include "views/ViewPatient.h"
#include "views/ViewPatients.h"
#include "views/ViewReceipt.h"
#include "views/ViewRecoveryHistory.h"
#include "widgets/MessageBoxes.h"

#include <utility>

// The screens of the window: each is created here when another asks for it,
// connected, and pushed; going back, deleting a patient and leaving screens
// with unsaved work.

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

// ---- Leaving screens -----------------------------------------------------------

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
