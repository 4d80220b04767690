// The main window: sign-in at construction, the screen stack, the menus and
// the close question, against a scripted service on 127.0.0.1.
#include "api/PatientManager.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "base/Account.h"
#include "data/PatientModel.h"
#include "support/FakePatientService.h"
#include "support/MessageBoxRecorder.h"
#include "support/ModalDialogDriver.h"
#include "support/ServiceTestEnvironment.h"
#include "support/SignInDriver.h"
#include "support/WorkingDirectory.h"
#include "views/ViewPatients.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

constexpr char childScenarioVariable[] = "TST_MAINWINDOW_CHILD";

QString translated(const char* key)
{
    return QCoreApplication::translate("MainWindow", key);
}

QAction* languageAction(MainWindow& window, const QString& language)
{
    return window.findChild<QAction*>(QStringLiteral("language_") + language);
}

QStringList checkedLanguages(MainWindow& window)
{
    QStringList checked;
    for (QAction* action : window.findChildren<QAction*>())
        if (action->objectName().startsWith(QLatin1String("language_")) && action->isChecked())
            checked << action->data().toString();
    return checked;
}

// Runs the program as its main does, answering the sign-in as the scenario
// says; the parent test reads the exit status.
int runChildScenario(int argc, char* argv[], const QByteArray& scenario)
{
    QApplication application(argc, argv);
    if (scenario == "escape")
        abandonSignInWhenAsked();
    else
        whenModalAppears([](QWidget* dialog) { dialog->close(); });
    return runApplication(application);
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void signInBuildsTheWindow_data();
    void signInBuildsTheWindow();
    void abandonedSignInEndsTheProgramWithStatusZero_data();
    void abandonedSignInEndsTheProgramWithStatusZero();
    void menusActOnlyAfterSignIn();
    void stackPushesAndPopsScreens();
    void patientsListRequestKeepsTheSameList();
    void closeQuestion_data();
    void closeQuestion();
    void activeLanguageSendsNothing();
    void languageChangeSwitchesTheInterface();
    void failedLanguageChangeKeepsLanguageAndCheckMark();
    void updateCheck_data();
    void updateCheck();
    void passwordChange();
    void aboutDialogRunsAndGoes();
    void patientDeletionReturnsToTheList();

private:
    // A main window signed in through its own dialog.
    std::unique_ptr<MainWindow> signedInWindow();

    std::unique_ptr<FakePatientService> m_service;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    std::unique_ptr<ScopedWorkingDirectory> m_folder;
};

void MainWindowTest::init()
{
    m_folder = std::make_unique<ScopedWorkingDirectory>();
    m_service = std::make_unique<FakePatientService>();
    m_service->setPage(1, {FakePatientService::patient(QStringLiteral("p1"), QStringLiteral("Anna"))});
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service->baseUrl());
}

void MainWindowTest::cleanup()
{
    m_environment.reset();
    m_service.reset();
    m_folder.reset();
}

std::unique_ptr<MainWindow> MainWindowTest::signedInWindow()
{
    return signedInMainWindow(QStringLiteral("demo"), QStringLiteral("secret"));
}

void MainWindowTest::signInBuildsTheWindow_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("country");
    QTest::addColumn<QString>("interfaceLanguage");

    QTest::newRow("english") << "en"
                             << "US"
                             << "en_US";
    QTest::newRow("russian") << "ru"
                             << "RU"
                             << "ru_RU";
    QTest::newRow("no country falls back to english") << "ru"
                                                      << ""
                                                      << "en_US";
}

void MainWindowTest::signInBuildsTheWindow()
{
    QFETCH(QString, language);
    QFETCH(QString, country);
    QFETCH(QString, interfaceLanguage);
    m_service->setSignInLocale(language, country);

    const auto window = signedInWindow();
    QVERIFY(window->isSignedIn());
    QVERIFY(window->isVisible());
    QVERIFY(window->windowState() & Qt::WindowMaximized);
    QCOMPARE(window->currentLanguage(), interfaceLanguage);
    QCOMPARE(window->screenCount(), 1);
    QVERIFY(window->patientsList());
    QCOMPARE(window->currentScreen(), window->patientsList());

    const QList<RecordedRequest> logins = m_service->requests("POST", QStringLiteral("/auth/login"));
    QCOMPARE(logins.size(), 1);
    const QUrlQuery form(QString::fromUtf8(logins.first().body));
    QCOMPARE(form.queryItemValue(QStringLiteral("username")), QStringLiteral("demo"));
    QCOMPARE(form.queryItemValue(QStringLiteral("password")), QStringLiteral("secret"));
    // The list asks for its first page at once.
    QTRY_COMPARE(m_service->requests("GET", QStringLiteral("/patient/filter")).size(), 1);

    // The language menu names each language in that language, whatever the
    // interface speaks; the account's one is checked, none when the account's
    // language isn't supported.
    QCOMPARE(languageAction(*window, QStringLiteral("en_US"))->text(), QStringLiteral("English"));
    QCOMPARE(languageAction(*window, QStringLiteral("ru_RU"))->text(), QString::fromUtf8("Русский"));
    const QString accountLocale = Account::instance().localeName();
    QCOMPARE(checkedLanguages(*window),
             accountLocale == interfaceLanguage ? QStringList{interfaceLanguage} : QStringList{});
    QCOMPARE(window->findChild<QMenu*>(QStringLiteral("menuLanguage"))->title(), translated("Menu.language"));
    QVERIFY(translated("Menu.language") != QLatin1String("Menu.language"));
}

void MainWindowTest::abandonedSignInEndsTheProgramWithStatusZero_data()
{
    QTest::addColumn<QByteArray>("scenario");
    QTest::newRow("escape") << QByteArray("escape");
    QTest::newRow("window button") << QByteArray("close");
}

void MainWindowTest::abandonedSignInEndsTheProgramWithStatusZero()
{
    QFETCH(QByteArray, scenario);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(childScenarioVariable), QString::fromLatin1(scenario));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(m_folder->path());
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QCoreApplication::applicationFilePath(), {});
    // Had the program gone on to its event loop, it would never end by itself.
    QVERIFY2(program.waitForFinished(20000), "the program kept running after the sign-in was abandoned");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(m_service->requests("POST", QStringLiteral("/auth/login")).isEmpty());
}

void MainWindowTest::menusActOnlyAfterSignIn()
{
    abandonSignInWhenAsked();
    MainWindow window;
    QVERIFY(!window.isSignedIn());
    QVERIFY(!window.isVisible());
    QCOMPARE(window.screenCount(), 0);

    bool dialogAppeared = false;
    whenModalAppears(
        [&dialogAppeared](QWidget* dialog) {
            dialogAppeared = true;
            dialog->close();
        },
        300);
    QTest::ignoreMessage(QtWarningMsg, "whenModalAppears: no modal dialog appeared in 300 ms");
    window.findChild<QAction*>(QStringLiteral("menuAbout"))->trigger();
    window.findChild<QAction*>(QStringLiteral("menuUpdates"))->trigger();
    QTest::qWait(400);
    QVERIFY(!dialogAppeared);
    QVERIFY(m_service->requests("GET", QStringLiteral("/auth/updates/")).isEmpty());
}

void MainWindowTest::stackPushesAndPopsScreens()
{
    const auto window = signedInWindow();
    QWidget* list = window->patientsList();
    QPointer<QWidget> card = new QWidget;
    QPointer<QWidget> recipe = new QWidget;
    QPointer<QWidget> impact = new QWidget;
    window->pushScreen(card);
    window->pushScreen(recipe);
    window->pushScreen(impact);
    QCOMPARE(window->screenCount(), 4);
    QCOMPARE(window->currentScreen(), impact.data());

    QVERIFY(QMetaObject::invokeMethod(window.get(), "screenBack"));
    QCOMPARE(window->screenCount(), 3);
    QCOMPARE(window->currentScreen(), recipe.data());
    QTRY_VERIFY(impact.isNull());

    QVERIFY(QMetaObject::invokeMethod(window.get(), "screenBack"));
    QVERIFY(QMetaObject::invokeMethod(window.get(), "screenBack"));
    QCOMPARE(window->screenCount(), 1);
    QCOMPARE(window->currentScreen(), list);
    // The patients list is never popped.
    QVERIFY(QMetaObject::invokeMethod(window.get(), "screenBack"));
    QCOMPARE(window->screenCount(), 1);
    QCOMPARE(window->currentScreen(), list);
    QTRY_VERIFY(card.isNull() && recipe.isNull());
    // Its page, asked for again, comes before the service goes.
    QTRY_VERIFY(!list->findChild<QWidget*>(QStringLiteral("LoadingWindow")));
}

void MainWindowTest::patientsListRequestKeepsTheSameList()
{
    const auto window = signedInWindow();
    ViewPatients* list = window->patientsList();
    QLineEdit* search = list->findChild<QLineEdit*>(QStringLiteral("searchField"));
    QTRY_VERIFY(!search->isReadOnly());
    search->setText(QStringLiteral("kept"));

    for (int depth : {2, 3, 4}) {
        // Back from the screens above, which may have changed its patients, it
        // asks for its page again.
        QTRY_VERIFY(!search->isReadOnly());
        const int pages = m_service->requests("GET", QStringLiteral("/patient/filter")).size();
        QList<QPointer<QWidget>> screens;
        for (int i = 1; i < depth; ++i) {
            screens << new QWidget;
            window->pushScreen(screens.last());
        }
        QCOMPARE(window->screenCount(), depth);
        QVERIFY(QMetaObject::invokeMethod(window.get(), "showPatientsList"));
        QCOMPARE(window->screenCount(), 1);
        QCOMPARE(window->patientsList(), list);
        QCOMPARE(window->currentScreen(), list);
        for (const QPointer<QWidget>& screen : screens)
            QTRY_VERIFY(screen.isNull());
        QTRY_COMPARE(m_service->requests("GET", QStringLiteral("/patient/filter")).size(), pages + 1);
    }
    // The list keeps its state.
    QCOMPARE(search->text(), QStringLiteral("kept"));
    QTRY_VERIFY(!search->isReadOnly());
}

void MainWindowTest::closeQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("no keeps the window") << int(QMessageBox::No) << false;
    QTest::newRow("yes closes it") << int(QMessageBox::Yes) << true;
}

void MainWindowTest::closeQuestion()
{
    QFETCH(int, answer);
    QFETCH(bool, closed);
    const auto window = signedInWindow();
    MessageBoxRecorder boxes{QMessageBox::StandardButton(answer)};

    QCOMPARE(window->close(), closed);
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.first().icon, QMessageBox::Question);
    QCOMPARE(boxes.boxes.first().title, translated("Text.closeTitle"));
    QCOMPARE(boxes.boxes.first().text, translated("Text.closeMessage"));
    QCOMPARE(window->isVisible(), !closed);
    // The program's event loop ends with its last window.
    QVERIFY(window->testAttribute(Qt::WA_QuitOnClose));
}

void MainWindowTest::activeLanguageSendsNothing()
{
    const auto window = signedInWindow();
    MessageBoxRecorder boxes;
    languageAction(*window, QStringLiteral("en_US"))->trigger();
    QTest::qWait(100);
    QVERIFY(m_service->requests("PUT", QStringLiteral("/auth/locale")).isEmpty());
    QVERIFY2(boxes.boxes.isEmpty(), qPrintable(boxes.texts().join(QLatin1Char('\n'))));
    QCOMPARE(window->currentLanguage(), QStringLiteral("en_US"));
}

void MainWindowTest::languageChangeSwitchesTheInterface()
{
    const auto window = signedInWindow();
    MessageBoxRecorder boxes;
    const QString successInEnglish = translated("Text.changeLocaleSuccess");
    const QString cancelInEnglish = QCoreApplication::translate("QPlatformTheme", "Cancel");
    auto* menuPassword = window->findChild<QAction*>(QStringLiteral("menuPassword"));
    const QString passwordInEnglish = menuPassword->text();

    languageAction(*window, QStringLiteral("ru_RU"))->trigger();
    QTRY_COMPARE(window->currentLanguage(), QStringLiteral("ru_RU"));

    const QList<RecordedRequest> changes = m_service->requests("PUT", QStringLiteral("/auth/locale"));
    QCOMPARE(changes.size(), 1);
    const QJsonObject body = QJsonDocument::fromJson(changes.first().body).object();
    QCOMPARE(body.value(QStringLiteral("locale")).toString(), QStringLiteral("ru"));
    QCOMPARE(body.value(QStringLiteral("country")).toString(), QStringLiteral("RU"));
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.first().icon, QMessageBox::Information);
    // The confirmation speaks the new language already, and so do the
    // toolkit's own buttons.
    QCOMPARE(boxes.boxes.first().text, translated("Text.changeLocaleSuccess"));
    QVERIFY(boxes.boxes.first().text != successInEnglish);
    QVERIFY(QCoreApplication::translate("QPlatformTheme", "Cancel") != cancelInEnglish);

    // The menus speak Russian, and so does the service from now on.
    QTRY_VERIFY(menuPassword->text() != passwordInEnglish);
    QCOMPARE(menuPassword->text(), translated("Menu.password"));
    QCOMPARE(checkedLanguages(*window), QStringList{QStringLiteral("ru_RU")});
    m_service->server().clear();
    window->patientsList()->onRefresh();
    QTRY_COMPARE(m_service->requests("GET", QStringLiteral("/patient/filter")).size(), 1);
    QCOMPARE(m_service->requests("GET", QStringLiteral("/patient/filter")).first().header("Accept-Language"),
             QByteArray("ru-RU"));
    window->setLanguage(QStringLiteral("en_US"));
}

void MainWindowTest::failedLanguageChangeKeepsLanguageAndCheckMark()
{
    const auto window = signedInWindow();
    m_service->answer("PUT", QStringLiteral("/auth/locale"),
                      ScriptedResponse::json(500, R"({"message":"The locale can't be stored"})"));
    MessageBoxRecorder boxes;
    QAction* russian = languageAction(*window, QStringLiteral("ru_RU"));

    russian->trigger();
    QTRY_COMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.first().icon, QMessageBox::Critical);
    QCOMPARE(boxes.boxes.first().text, QStringLiteral("The locale can't be stored"));
    QCOMPARE(window->currentLanguage(), QStringLiteral("en_US"));
    QCOMPARE(checkedLanguages(*window), QStringList{QStringLiteral("en_US")});
    QCOMPARE(Account::instance().localeName(), QStringLiteral("en_US"));
}

void MainWindowTest::updateCheck_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("titleKey"); // under "MainWindow"; the error box's under "QObject"
    QTest::addColumn<QString>("textKey");  // empty: the service's message below
    QTest::addColumn<QString>("message");

    const int information = QMessageBox::Information;
    QTest::newRow("newer version") << 200 << QByteArray(R"({"update":true})") << information << "Text.updatesTitle"
                                   << "Text.updatesAvailable" << QString();
    QTest::newRow("up to date") << 200 << QByteArray(R"({"update":false})") << information << "Text.updatesTitle"
                                << "Text.upToDate" << QString();
    QTest::newRow("no member") << 200 << QByteArray("{}") << information << "Text.updatesTitle"
                               << "Text.upToDate" << QString();
    QTest::newRow("not json") << 200 << QByteArray("<html>") << information << "Text.updatesTitle"
                              << "Text.upToDate" << QString();
    QTest::newRow("text true is not true")
        << 200 << QByteArray(R"({"update":"true"})") << information << "Text.updatesTitle"
        << "Text.upToDate" << QString();
    QTest::newRow("service error") << 503 << QByteArray(R"({"message":"Try later"})") << int(QMessageBox::Critical)
                                   << "Text.error" << QString() << QStringLiteral("Try later");
}

void MainWindowTest::updateCheck()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(int, icon);
    QFETCH(QString, titleKey);
    QFETCH(QString, textKey);
    QFETCH(QString, message);
    const auto window = signedInWindow();
    m_service->answer("GET", QStringLiteral("/auth/updates/"), ScriptedResponse::json(status, body));
    MessageBoxRecorder boxes;

    window->findChild<QAction*>(QStringLiteral("menuUpdates"))->trigger();
    QTRY_COMPARE(boxes.boxes.size(), 1);
    const bool failed = textKey.isEmpty();
    const char* titleContext = failed ? "QObject" : "MainWindow";
    QCOMPARE(int(boxes.boxes.first().icon), icon);
    QCOMPARE(boxes.boxes.first().title, QCoreApplication::translate(titleContext, titleKey.toLatin1().constData()));
    QCOMPARE(boxes.boxes.first().text, failed ? message : translated(textKey.toLatin1().constData()));
    QVERIFY(boxes.boxes.first().title != titleKey);
    QCOMPARE(m_service->requests("GET", QStringLiteral("/auth/updates/"))
                 .first()
                 .query()
                 .queryItemValue(QStringLiteral("version")),
             QStringLiteral("2021.3.0"));
}

void MainWindowTest::passwordChange()
{
    const auto window = signedInWindow();
    MessageBoxRecorder boxes;
    whenModalAppears([](QWidget* dialog) {
        for (const char* name : {"oldPasswordField", "newPasswordField", "repeatPasswordField"})
            dialog->findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QStringLiteral("pw-") + name);
        dialog->findChild<QPushButton*>(QStringLiteral("buttonConfirm"))->click();
    });
    window->findChild<QAction*>(QStringLiteral("menuPassword"))->trigger();

    QCOMPARE(m_service->requests("POST", QStringLiteral("/auth/password")).size(), 1);
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.first().icon, QMessageBox::Information);
    QCOMPARE(boxes.boxes.first().text, translated("Dialog.successChangePassword"));
    QCOMPARE(Account::instance().authorization(), QByteArray("Bearer token-2"));

    // Cancelling sends nothing and says nothing.
    whenModalAppears([](QWidget* dialog) { dialog->findChild<QPushButton*>(QStringLiteral("buttonCancel"))->click(); });
    window->findChild<QAction*>(QStringLiteral("menuPassword"))->trigger();
    QCOMPARE(m_service->requests("POST", QStringLiteral("/auth/password")).size(), 1);
    QCOMPARE(boxes.boxes.size(), 1);
}

void MainWindowTest::aboutDialogRunsAndGoes()
{
    const auto window = signedInWindow();
    QPointer<QWidget> about;
    whenModalAppears([&about](QWidget* dialog) {
        about = dialog;
        dialog->findChild<QPushButton*>(QStringLiteral("buttonClose"))->click();
    });
    window->findChild<QAction*>(QStringLiteral("menuAbout"))->trigger();
    QVERIFY(about);
    QCOMPARE(about->metaObject()->className(), "DialogAbout");
    QTRY_VERIFY(about.isNull());
}

void MainWindowTest::patientDeletionReturnsToTheList()
{
    const auto window = signedInWindow();
    QTRY_COMPARE(PatientManager::instance().model()->rowCount(), 1);
    auto* card = new QWidget;
    window->pushScreen(card);
    window->pushScreen(new QWidget);
    Patient anna(FakePatientService::patient(QStringLiteral("p1"), QStringLiteral("Anna")));

    MessageBoxRecorder boxes(QMessageBox::No);
    QVERIFY(QMetaObject::invokeMethod(window.get(), "patientDelete", Q_ARG(QWidget*, card), Q_ARG(Patient&, anna)));
    QCOMPARE(boxes.boxes.size(), 1);
    QVERIFY(boxes.boxes.first().text.contains(QStringLiteral("Anna")));
    QVERIFY(m_service->requests("DELETE", QStringLiteral("/patient/p1")).isEmpty());
    QCOMPARE(window->screenCount(), 3);

    boxes.setAnswer(QMessageBox::Yes);
    m_service->setPage(1, {});
    QVERIFY(QMetaObject::invokeMethod(window.get(), "patientDelete", Q_ARG(QWidget*, card), Q_ARG(Patient&, anna)));
    QTRY_COMPARE(window->screenCount(), 1);
    QCOMPARE(m_service->requests("DELETE", QStringLiteral("/patient/p1")).size(), 1);
    QCOMPARE(PatientManager::instance().model()->rowCount(), 0);
    QTRY_VERIFY(!window->patientsList()->findChild<QWidget*>(QStringLiteral("LoadingWindow")));
    QCOMPARE(PatientManager::instance().model()->rowCount(), 0);
}

int main(int argc, char* argv[])
{
    const QByteArray scenario = qgetenv(childScenarioVariable);
    if (!scenario.isEmpty())
        return runChildScenario(argc, argv, scenario);

    QApplication application(argc, argv);
    setupApplication(application);
    MainWindowTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
