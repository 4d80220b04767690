// The keys of every screen, pressed where the keyboard sends them, against
// the local service: each row opens its screen, puts the focus where the
// practitioner would have it, presses the key and waits for what it does:
// a dialog, another screen, the focus somewhere, the table loaded again or
// a row fewer. Dialogs are closed unanswered, so nothing is deleted.

#include "app/Application.h"
#include "app/MainWindow.h"
#include "support/KeyboardInput.h"
#include "support/LocalServiceProcess.h"
#include "support/MainWindowDriver.h"
#include "support/ModalDialogDriver.h"
#include "support/ServiceTestEnvironment.h"
#include "support/WorkingDirectory.h"
#include "views/ViewPatient.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

const QString patientWithRecords = QStringLiteral("Benjamin Carter");
const QString patientWithRecipe = QStringLiteral("Anna Schmidt");

bool settled(QWidget* screen)
{
    return screen && !screen->findChild<QWidget*>(QStringLiteral("LoadingWindow"));
}

} // namespace

class ScreenKeysTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void keyDoesItsJob_data();
    void keyDoesItsJob();

private:
    QWidget* reach(const QString& screen);

    ScopedWorkingDirectory m_workingDirectory;
    LocalServiceProcess m_service;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    std::unique_ptr<MainWindowDriver> m_driver;
};

void ScreenKeysTest::initTestCase()
{
    setupApplication(*qApp);
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service.baseUrl(), 20000);
    m_driver = std::make_unique<MainWindowDriver>(QStringLiteral("demo"), QStringLiteral("demo"));
    QVERIFY(m_driver->window());
    m_driver->window()->resize(1280, 760);
    QVERIFY(QTest::qWaitForWindowActive(m_driver->window()));
}

void ScreenKeysTest::cleanupTestCase()
{
    m_driver.reset();
    m_environment.reset();
}

// The screen of that name on top of the window, with its data.
QWidget* ScreenKeysTest::reach(const QString& screen)
{
    MainWindow* window = m_driver->window();
    if (screen == QLatin1String("patients")) {
        QMetaObject::invokeMethod(window, "showPatientsList");
        QWidget* list = window->currentScreen();
        return QTest::qWaitFor([list] { return settled(list); }) ? list : nullptr;
    }
    const bool recipeRoad = screen == QLatin1String("recipe") || screen == QLatin1String("impact");
    ViewPatient* card = m_driver->openCard(recipeRoad ? patientWithRecipe : patientWithRecords);
    if (!card || screen == QLatin1String("card"))
        return card;
    MainWindowDriver::tick(card, recipeRoad ? QList<int>{0} : QList<int>{0, 1, 2});
    const std::pair<const char*, const char*> buttons[] = {{"analysis", "buttonAnalysis"},
                                                           {"comparative", "buttonComparativeAnalysis"},
                                                           {"recovery-history", "buttonRecoveryHistory"},
                                                           {"recipe", "buttonReceipt"},
                                                           {"impact", "buttonReceipt"}};
    QWidget* shown = nullptr;
    for (const auto& [name, button] : buttons) {
        if (screen == QLatin1String(name))
            shown = m_driver->openFromCard(card, QLatin1String(button));
    }
    if (!shown || screen != QLatin1String("impact"))
        return shown;
    if (!QTest::qWaitFor([shown] { return shown->findChild<QComboBox*>(QStringLiteral("comboBoxStorages"))->count(); }))
        return nullptr;
    shown->findChild<QPushButton*>(QStringLiteral("buttonReceipt"))->click();
    QWidget* impact = nullptr;
    const bool shownImpact = QTest::qWaitFor([&] {
        impact = window->currentScreen();
        return impact->inherits("ViewImpact") && settled(impact);
    });
    return shownImpact ? impact : nullptr;
}

void ScreenKeysTest::keyDoesItsJob_data()
{
    QTest::addColumn<QString>("screen");
    // The object name of the widget with the focus; empty: wherever it is.
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QKeySequence>("key");
    // "dialog:Class", "screen:Class", "focus:name", "reload" (the table's
    // rows come again), "row-fewer" or "ticks-turned" (every row's tick
    // turned to the other state when all were ticked, else all ticked).
    QTest::addColumn<QString>("outcome");

    const auto row = [](const char* screen, const char* focus, const QKeySequence& key, const char* outcome) {
        QTest::addRow("%s %s %s", screen, qPrintable(key.toString()), focus)
            << QString::fromLatin1(screen) << QString::fromLatin1(focus) << key << QString::fromLatin1(outcome);
    };
    row("patients", "", QKeySequence::Find, "focus:searchField");
    row("patients", "", QKeySequence::New, "dialog:FormPatient");
    row("patients", "", QKeySequence::Refresh, "reload");
    row("patients", "tableView", Qt::Key_Return, "screen:ViewPatient");
    row("patients", "tableView", Qt::Key_Enter, "screen:ViewPatient");
    row("patients", "tableView", Qt::Key_F2, "dialog:FormPatient");
    row("patients", "tableView", QKeySequence::Delete, "dialog:QMessageBox");
    row("card", "", QKeySequence::Back, "screen:ViewPatients");
    row("card", "tableView", Qt::Key_Backspace, "screen:ViewPatients");
    row("card", "", QKeySequence::Refresh, "reload");
    row("card", "", QKeySequence::New, "dialog:AudioRecorder");
    row("card", "", QKeySequence::Save, "dialog:QFileDialog");
    row("card", "", Qt::Key_F2, "dialog:FormPatient");
    row("card", "tableView", QKeySequence::Delete, "dialog:QMessageBox");
    row("card", "tableView", QKeySequence::SelectAll, "ticks-turned");
    for (const char* screen : {"analysis", "comparative"}) {
        row(screen, "", QKeySequence::Print, "dialog:QPrintDialog");
        row(screen, "", QKeySequence::Save, "dialog:QFileDialog");
        row(screen, "", QKeySequence::Back, "screen:ViewPatient");
        row(screen, "", Qt::Key_Backspace, "screen:ViewPatient");
    }
    row("recovery-history", "", QKeySequence::Back, "screen:ViewPatient");
    row("recovery-history", "", QKeySequence::Refresh, "reload");
    row("recovery-history", "", QKeySequence::New, "dialog:QInputDialog");
    row("recipe", "", QKeySequence::Back, "screen:ViewPatient");
    row("recipe", "tableView", Qt::Key_Backspace, "screen:ViewPatient");
    row("impact", "", QKeySequence::Back, "screen:ViewReceipt");
    row("impact", "tableView", QKeySequence::Delete, "row-fewer");
}

void ScreenKeysTest::keyDoesItsJob()
{
    QFETCH(QString, screen);
    QFETCH(QString, focus);
    QFETCH(QKeySequence, key);
    QFETCH(QString, outcome);

    QWidget* shown = reach(screen);
    QVERIFY2(shown, "the screen did not open");
    // The window is where the keys go again after the last row's dialog.
    QApplication::setActiveWindow(m_driver->window());
    QVERIFY(QTest::qWaitForWindowActive(m_driver->window()));
    if (!focus.isEmpty()) {
        auto* widget = shown->findChild<QWidget*>(focus);
        QVERIFY(widget);
        widget->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), widget);
    }
    // The screens without a table (the charts) have rows of no table kind.
    auto* table = shown->findChild<QAbstractItemView*>(QStringLiteral("tableView"));
    const bool tableOutcome = outcome == QLatin1String("reload") || outcome == QLatin1String("row-fewer") ||
                              outcome == QLatin1String("ticks-turned");
    QVERIFY(table || !tableOutcome);
    const int rowsBefore = table ? table->model()->rowCount() : 0;
    const auto ticked = [table] {
        int count = 0;
        for (int row = 0; row < table->model()->rowCount(); ++row)
            count += table->model()->index(row, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked;
        return count;
    };
    const bool allTickedBefore = table && rowsBefore > 0 && ticked() == rowsBefore;
    std::unique_ptr<QSignalSpy> reset;
    if (table)
        reset = std::make_unique<QSignalSpy>(table->model(), &QAbstractItemModel::modelReset);
    QString dialogClass;
    if (outcome.startsWith(QLatin1String("dialog:"))) {
        whenModalAppears([&](QWidget* dialog) {
            dialogClass = QLatin1String(dialog->metaObject()->className());
            if (auto* box = qobject_cast<QDialog*>(dialog))
                box->reject();
            else
                dialog->close();
        });
    }

    pressKey(key);

    const QString what = outcome.section(QLatin1Char(':'), 1);
    if (outcome.startsWith(QLatin1String("dialog:"))) {
        QTRY_COMPARE(dialogClass, what);
    } else if (outcome.startsWith(QLatin1String("screen:"))) {
        QTRY_VERIFY(m_driver->window()->currentScreen()->inherits(qPrintable(what)));
    } else if (outcome.startsWith(QLatin1String("focus:"))) {
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), what);
    } else if (outcome == QLatin1String("reload")) {
        QTRY_VERIFY(reset->count() > 0);
        QTRY_VERIFY(settled(shown));
    } else if (outcome == QLatin1String("ticks-turned")) {
        QVERIFY(rowsBefore > 0);
        QTRY_COMPARE(ticked(), allTickedBefore ? 0 : rowsBefore);
    } else {
        QTRY_COMPARE(table->model()->rowCount(), rowsBefore - 1);
    }
}

QTEST_MAIN(ScreenKeysTest)
#include "tst_screenkeys.moc"
