#include "support/ScreenTour.h"

#include "app/DialogLogin.h"
#include "app/IdleLock.h"
#include "app/MainWindow.h"
#include "data/PatientModel.h"
#include "data/RecordModel.h"
#include "support/MainWindowDriver.h"
#include "support/ModalDialogDriver.h"
#include "views/ViewPatient.h"
#include "views/ViewPatients.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include <memory>

namespace {

// The demonstration practitioner's patients: nine recordings and a device;
// a saved recipe.
const QString patientWithRecords = QStringLiteral("Benjamin Carter");
const QString patientWithRecipe = QStringLiteral("Anna Schmidt");

bool settled(QWidget* screen)
{
    return screen && !screen->findChild<QWidget*>(QStringLiteral("LoadingWindow"));
}

template <typename Widget> Widget* child(QWidget* parent, const char* name)
{
    return parent ? parent->findChild<Widget*>(QLatin1String(name)) : nullptr;
}

} // namespace

QStringList ScreenTour::stops()
{
    return {QStringLiteral("sign-in"),      QStringLiteral("language"),    QStringLiteral("patients"),
            QStringLiteral("patient-form"), QStringLiteral("question"),    QStringLiteral("password"),
            QStringLiteral("about"),        QStringLiteral("card"),        QStringLiteral("device"),
            QStringLiteral("recorder"),     QStringLiteral("save-file"),   QStringLiteral("analysis"),
            QStringLiteral("print"),        QStringLiteral("comparative"), QStringLiteral("recovery-history"),
            QStringLiteral("recipe"),       QStringLiteral("impact"),      QStringLiteral("sign-in-again"),
            QStringLiteral("lock")};
}

bool ScreenTour::fail(const QString& what)
{
    m_error = what;
    return false;
}

bool ScreenTour::run()
{
    // A dialog is visited once it is on screen with its layout done, then
    // closed as Escape closes it. open() runs it (modal dialogs return when
    // closed); the dialog must show within a few seconds.
    const auto visitDialog = [this](const QString& name, const std::function<void()>& open) {
        bool visited = false;
        whenModalAppears([&, name](QWidget* dialog) {
            if (!QTest::qWaitForWindowExposed(dialog))
                qWarning("%s: the dialog was not exposed", qPrintable(name));
            QTest::qWait(50);
            m_visit(name, dialog);
            visited = true;
            if (auto* box = qobject_cast<QDialog*>(dialog))
                box->reject();
            else
                dialog->close();
        });
        open();
        return QTest::qWaitFor([&] { return visited; }, 10000) || fail(name + QStringLiteral(" did not show"));
    };
    const auto visitScreen = [this](const QString& name, QWidget* screen) {
        if (!QTest::qWaitFor([screen] { return settled(screen); }, 20000))
            return fail(name + QStringLiteral(" did not show its data"));
        QTest::qWait(100);
        m_visit(name, screen->window());
        return true;
    };

    // The sign-in is visited, then answered as the practitioner would.
    bool signInShown = false;
    whenModalAppears([&](QWidget* dialog) {
        m_visit(QStringLiteral("sign-in"), dialog);
        signInShown = true;
        QTest::keyClicks(child<QLineEdit>(dialog, "usernameField"), QStringLiteral("demo"));
        QTest::keyClicks(child<QLineEdit>(dialog, "passwordField"), QStringLiteral("demo"));
        child<QPushButton>(dialog, "buttonConfirm")->click();
    });
    auto window = std::make_unique<MainWindow>();
    if (!signInShown || !window->isSignedIn())
        return fail(QStringLiteral("the sign-in did not succeed"));
    window->resize(1280, 760);
    ViewPatients* list = window->patientsList();
    if (!QTest::qWaitFor([list] { return settled(list); }, 20000))
        return fail(QStringLiteral("the list did not get its first page"));
    auto* language = window->findChild<QAction*>(QStringLiteral("language_") + m_language);
    if (!language)
        return fail(QStringLiteral("no such language: ") + m_language);
    if (!language->isChecked() && !visitDialog(QStringLiteral("language"), [&] { language->trigger(); }))
        return false;
    if (!visitScreen(QStringLiteral("patients"), list))
        return false;
    if (!visitDialog(QStringLiteral("patient-form"), [&] { child<QPushButton>(list, "buttonNewPatient")->click(); }))
        return false;
    auto* patients = child<QTableView>(list, "tableView");
    if (!visitDialog(QStringLiteral("question"), [&] {
            const QRect cell = patients->visualRect(patients->model()->index(0, PatientModel::RemoveColumn));
            QTest::mouseClick(patients->viewport(), Qt::LeftButton, {}, cell.center());
        }))
        return false;
    auto* menuPassword = window->findChild<QAction*>(QStringLiteral("menuPassword"));
    auto* menuAbout = window->findChild<QAction*>(QStringLiteral("menuAbout"));
    if (!visitDialog(QStringLiteral("password"), [&] { menuPassword->trigger(); }) ||
        !visitDialog(QStringLiteral("about"), [&] { menuAbout->trigger(); }))
        return false;

    // The driver takes over the window that is signed in already.
    MainWindowDriver driver(std::move(window));
    ViewPatient* card = driver.openCard(patientWithRecords);
    if (!card)
        return fail(QStringLiteral("the card did not open"));
    MainWindowDriver::tick(card, {0, 1, 2});
    if (!visitScreen(QStringLiteral("card"), card))
        return false;
    if (!visitDialog(QStringLiteral("device"), [&] { QMetaObject::invokeMethod(card, "manageDevice"); }) ||
        !visitDialog(QStringLiteral("recorder"), [&] { child<QPushButton>(card, "buttonNewRecord")->click(); }) ||
        !visitDialog(QStringLiteral("save-file"), [&] { child<QPushButton>(card, "buttonExcelExport")->click(); }))
        return false;

    QWidget* analysis = driver.openFromCard(card, QStringLiteral("buttonAnalysis"));
    if (!analysis || !visitScreen(QStringLiteral("analysis"), analysis))
        return fail(QStringLiteral("the analysis did not open"));
    if (!visitDialog(QStringLiteral("print"), [&] { child<QPushButton>(analysis, "buttonPrint")->click(); }))
        return false;
    child<QPushButton>(analysis, "buttonBack")->click();
    for (const auto& [button, name] : {std::pair{"buttonComparativeAnalysis", "comparative"},
                                       std::pair{"buttonRecoveryHistory", "recovery-history"}}) {
        QWidget* screen = driver.openFromCard(card, QLatin1String(button));
        if (!screen || !visitScreen(QLatin1String(name), screen))
            return fail(QLatin1String(name) + QStringLiteral(" did not open"));
        child<QPushButton>(screen, "buttonBack")->click();
    }

    card = driver.openCard(patientWithRecipe);
    if (!card)
        return fail(QStringLiteral("the second card did not open"));
    MainWindowDriver::tick(card, {0});
    QWidget* recipe = driver.openFromCard(card, QStringLiteral("buttonReceipt"));
    if (!recipe || !QTest::qWaitFor([&] { return child<QComboBox>(recipe, "comboBoxStorages")->count() > 0; }) ||
        !visitScreen(QStringLiteral("recipe"), recipe))
        return fail(QStringLiteral("the recipe did not open"));
    child<QPushButton>(recipe, "buttonReceipt")->click();
    QWidget* impact = driver.window()->currentScreen();
    if (impact == recipe || !visitScreen(QStringLiteral("impact"), impact))
        return fail(QStringLiteral("the impact screen did not open"));

    // The dialog that asks for the password again, as an ended sign-in opens
    // it, and the lock screen of an idle window.
    DialogLogin again(QStringLiteral("demo"), impact);
    if (!visitDialog(QStringLiteral("sign-in-again"), [&] { again.exec(); }))
        return false;
    IdleLock* lock = driver.window()->idleLock();
    lock->lock();
    auto* lockScreen = QApplication::activeModalWidget();
    if (!lock->isLocked() || !QTest::qWaitForWindowExposed(lockScreen))
        return fail(QStringLiteral("the lock screen did not show"));
    QTest::qWait(100);
    m_visit(QStringLiteral("lock"), lockScreen);
    lock->stop();
    return true;
}
