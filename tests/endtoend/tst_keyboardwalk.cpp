// A practitioner who never takes the mouse: signs in, finds a patient, opens
// the card, ticks records, reads the analyses, builds the impact and comes
// all the way back to the list, with key events only, sent where the
// keyboard sends them (the focus widget). With SONVERA_WALK_SHOTS set to a
// folder, each step leaves a picture of the window there.

#include "app/Application.h"
#include "app/MainWindow.h"
#include "data/PatientModel.h"
#include "support/KeyboardInput.h"
#include "support/LocalServiceProcess.h"
#include "support/ModalDialogDriver.h"
#include "support/ServiceTestEnvironment.h"
#include "support/WorkingDirectory.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

bool settled(QWidget* screen)
{
    return screen && !screen->findChild<QWidget*>(QStringLiteral("LoadingWindow"));
}

QString focusName()
{
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

} // namespace

class KeyboardWalkTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fromSignInToImpactAndBack();

private:
    // The screen on top, once it is of that class and shows its data.
    QWidget* waitForScreen(const char* className);
    void shoot(const QString& step);
    bool findPatient(const QString& name);

    ScopedWorkingDirectory m_workingDirectory;
    LocalServiceProcess m_service;
    std::unique_ptr<MainWindow> m_window;
    int m_shots = 0;
};

void KeyboardWalkTest::initTestCase()
{
    setupApplication(*qApp);
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
}

QWidget* KeyboardWalkTest::waitForScreen(const char* className)
{
    QWidget* screen = nullptr;
    const bool shown = QTest::qWaitFor([&] {
        screen = m_window->currentScreen();
        return screen && screen->inherits(className) && settled(screen);
    });
    // Without a window manager (a bare virtual display) nobody gives the
    // window back the keyboard after a dialog.
    m_window->activateWindow();
    if (!QTest::qWaitForWindowActive(m_window.get()))
        qWarning("the window did not get the keyboard back");
    QTest::qWait(100);
    return shown ? screen : nullptr;
}

void KeyboardWalkTest::shoot(const QString& step)
{
    const QString folder = qEnvironmentVariable("SONVERA_WALK_SHOTS");
    QWidget* window = QApplication::activeWindow();
    if (folder.isEmpty() || !window)
        return;
    QDir().mkpath(folder);
    const QString name = QStringLiteral("%1-%2.png").arg(++m_shots, 2, 10, QLatin1Char('0')).arg(step);
    QVERIFY(window->grab().save(QDir(folder).filePath(name)));
}

// Find, the name typed into the search field, then Tab into the list whose
// one row is that patient.
bool KeyboardWalkTest::findPatient(const QString& name)
{
    pressKey(QKeySequence::Find);
    if (focusName() != QLatin1String("searchField"))
        return false;
    typeText(name);
    auto* table = m_window->currentScreen()->findChild<QAbstractItemView*>(QStringLiteral("tableView"));
    const bool found = QTest::qWaitFor([&] {
        return table->model()->rowCount() == 1 && settled(m_window->currentScreen()) &&
               table->model()->index(0, PatientModel::NameColumn).data().toString().contains(name);
    });
    return found && tabTo(QStringLiteral("tableView"));
}

void KeyboardWalkTest::fromSignInToImpactAndBack()
{
    ServiceTestEnvironment environment(m_service.baseUrl(), 20000);
    bool signInTyped = false;
    whenModalAppears([&](QWidget* dialog) {
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        // The dialog opens with the focus in its first field.
        QCOMPARE(focusName(), QStringLiteral("usernameField"));
        typeText(QStringLiteral("demo"));
        pressKey(Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("passwordField"));
        typeText(QStringLiteral("demo"));
        shoot(QStringLiteral("sign-in"));
        signInTyped = true;
        pressKey(Qt::Key_Return);
    });
    m_window = std::make_unique<MainWindow>();
    QVERIFY(signInTyped);
    QVERIFY(m_window->isSignedIn());
    m_window->resize(1280, 760);
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QVERIFY(waitForScreen("ViewPatients"));
    shoot(QStringLiteral("patients"));

    // The list: Find, the name, Tab into the list, Enter opens the card.
    QVERIFY(findPatient(QStringLiteral("Benjamin Carter")));
    shoot(QStringLiteral("patient-found"));
    pressKey(Qt::Key_Return);
    QWidget* card = waitForScreen("ViewPatient");
    QVERIFY(card);

    // Three records ticked with Space, row by row.
    QVERIFY(tabTo(QStringLiteral("tableView")));
    for (int row = 0; row < 3; ++row) {
        if (row > 0)
            pressKey(Qt::Key_Down);
        pressKey(Qt::Key_Space);
    }
    auto* comparative = card->findChild<QPushButton*>(QStringLiteral("buttonComparativeAnalysis"));
    QVERIFY2(comparative->isEnabled(), "Space did not tick three records");
    shoot(QStringLiteral("card-ticked"));

    // Each analysis opens from its button and goes back with Alt+Left, or
    // with Backspace.
    const std::pair<const char*, const char*> analyses[] = {{"buttonAnalysis", "ViewAnalysis"},
                                                            {"buttonComparativeAnalysis", "ViewComparativeAnalysis"},
                                                            {"buttonRecoveryHistory", "ViewRecoveryHistory"}};
    bool backspace = false;
    for (const auto& [button, screen] : analyses) {
        QVERIFY(tabTo(QLatin1String(button)));
        pressKey(Qt::Key_Space);
        QVERIFY2(waitForScreen(screen), screen);
        shoot(QLatin1String(screen));
        pressKey(backspace ? QKeySequence(Qt::Key_Backspace) : QKeySequence(QKeySequence::Back));
        QVERIFY2(waitForScreen("ViewPatient") == card, screen);
        backspace = !backspace;
    }

    // Back to the list, the patient with a recipe, one record, the recipe.
    pressKey(QKeySequence::Back);
    QVERIFY(waitForScreen("ViewPatients"));
    QVERIFY(findPatient(QStringLiteral("Anna Schmidt")));
    pressKey(Qt::Key_Enter);
    card = waitForScreen("ViewPatient");
    QVERIFY(card);
    QVERIFY(tabTo(QStringLiteral("tableView")));
    pressKey(Qt::Key_Space);
    QVERIFY(tabTo(QStringLiteral("buttonReceipt")));
    pressKey(Qt::Key_Space);
    QWidget* recipe = waitForScreen("ViewReceipt");
    QVERIFY(recipe);
    QTRY_VERIFY(recipe->findChild<QComboBox*>(QStringLiteral("comboBoxStorages"))->count() > 0);
    QVERIFY(tabTo(QStringLiteral("buttonReceipt")));
    shoot(QStringLiteral("recipe"));
    pressKey(Qt::Key_Space);
    QVERIFY(waitForScreen("ViewImpact"));
    QVERIFY(tabTo(QStringLiteral("tableView")));
    shoot(QStringLiteral("impact"));

    // And all the way back: impact, recipe, card, list.
    for (const char* screen : {"ViewReceipt", "ViewPatient", "ViewPatients"}) {
        pressKey(QKeySequence::Back);
        QVERIFY2(waitForScreen(screen), screen);
        shoot(QLatin1String(screen) + QStringLiteral("-again"));
    }
}

QTEST_MAIN(KeyboardWalkTest)
#include "tst_keyboardwalk.moc"
