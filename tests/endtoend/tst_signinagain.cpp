// The real window against the local service when the sign-in ends, the
// practitioner walks away or the service goes: what was on screen stays, the
// one dialog asks for the password, and the failed work goes out again.
#include "api/Controller.h"
#include "api/PatientManager.h"
#include "app/Application.h"
#include "app/IdleLock.h"
#include "app/MainWindow.h"
#include "data/PatientModel.h"
#include "local-service/ServiceClient.h"
#include "support/LocalServiceProcess.h"
#include "support/MainWindowDriver.h"
#include "support/MessageBoxRecorder.h"
#include "support/ModalDialogDriver.h"
#include "support/ScopedMessageBoxRunner.h"
#include "support/ServiceTestEnvironment.h"
#include "support/SignInDriver.h"
#include "support/WorkingDirectory.h"
#include "views/SymptomModel.h"
#include "views/ViewPatient.h"
#include "views/ViewPatients.h"
#include "views/ViewRecoveryHistory.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTcpServer>
#include <QtTest>

#include <chrono>
#include <memory>

namespace {

const QString demo = QStringLiteral("demo");
// The service ends a sign-in after this many idle seconds; the tests wait a
// little longer than that for it to happen.
constexpr int idleSeconds = 3;
constexpr int expiryWaitMs = idleSeconds * 1000 + 1000;

// Counts the sign-in dialogs that come on screen, and how the last one looked.
class SignInDialogs : public QObject
{
public:
    SignInDialogs() { qApp->installEventFilter(this); }
    ~SignInDialogs() override { qApp->removeEventFilter(this); }

    int shown = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->objectName() == QStringLiteral("DialogLogin"))
            ++shown;
        return false;
    }
};

struct SeenSignIn
{
    QString username;
    bool usernameFixed = false;
};

// Answers the next sign-in dialog with the password alone, as the
// practitioner does when asked again, or gives up with Escape (after the
// next dialog has been given its answer).
void answerSignInAgain(SeenSignIn* seen, const std::function<void()>& giveUpAfter = {})
{
    whenModalAppears([seen, giveUpAfter](QWidget* dialog) {
        auto* user = dialog->findChild<QLineEdit*>(QStringLiteral("usernameField"));
        seen->username = user->text();
        seen->usernameFixed = user->isReadOnly();
        if (giveUpAfter) {
            giveUpAfter();
            QTest::keyClick(dialog, Qt::Key_Escape);
            return;
        }
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("passwordField")), demo);
        dialog->findChild<QPushButton*>(QStringLiteral("buttonConfirm"))->click();
    });
}

// The phone the service keeps for that patient, asked through its own API.
QString phoneOf(ServiceClient& client, const QString& patientId)
{
    client.signIn(demo, demo);
    const QJsonArray page =
        client.patients(QStringLiteral("sortby=name&direction=asc&size=20&current=0&searchby=name&needle="));
    for (const QJsonValue& patient : page)
        if (patient.toObject().value(QStringLiteral("id")).toString() == patientId)
            return patient.toObject().value(QStringLiteral("phone")).toString();
    return {};
}

bool listIsIdle(MainWindow* window)
{
    return !window->patientsList()->findChild<QWidget*>(QStringLiteral("LoadingWindow"));
}

int freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

class SignInAgainTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void expiredSignInKeepsTheFormAndSavesItsEdit();
    void callsFailingTogetherWaitForOneDialog();
    void givingUpStartsAFreshSignIn();
    void idleWindowLocksUntilThePasswordIsGiven();
    void unreachableServiceOffersToTryAgain();

private:
    ScopedWorkingDirectory m_folder;
};

void SignInAgainTest::initTestCase()
{
    setupApplication(*qApp);
}

void SignInAgainTest::expiredSignInKeepsTheFormAndSavesItsEdit()
{
    LocalServiceProcess service({QStringLiteral("--token-idle-seconds"), QString::number(idleSeconds)});
    QVERIFY2(service.start(), qPrintable(service.errorText()));
    ServiceTestEnvironment environment(service.baseUrl(), 20000);
    ServiceClient client(service.baseUrl());
    MainWindowDriver driver(demo, demo);
    MainWindow* window = driver.window();
    QVERIFY(window);
    QTRY_VERIFY(listIsIdle(window));
    auto* table = window->patientsList()->findChild<QTableView*>(QStringLiteral("tableView"));
    PatientModel* model = PatientManager::instance().model();
    const QString id = model->patientAt(model->index(0, 0)).id();
    const QString phone = QStringLiteral("+7 900 555 44 33");
    QVERIFY(!phoneOf(client, id).isEmpty());
    QVERIFY(phoneOf(client, id) != phone);

    SignInDialogs dialogs;
    SeenSignIn seen;
    // The form is open and edited; the sign-in ends before Save is pressed.
    whenModalAppears([&seen, phone](QWidget* form) {
        form->findChild<QLineEdit*>(QStringLiteral("phoneField"))->setText(phone);
        QTimer::singleShot(expiryWaitMs, form, [&seen, form] {
            answerSignInAgain(&seen);
            form->findChild<QPushButton*>(QStringLiteral("buttonSave"))->click();
        });
    });
    const QModelIndex edit = table->model()->index(0, PatientModel::EditColumn);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(edit).center());

    QTRY_COMPARE_WITH_TIMEOUT(model->patientAt(model->index(0, 0)).phone(), phone, expiryWaitMs + 10000);
    QCOMPARE(phoneOf(client, id), phone);
    QCOMPARE(dialogs.shown, 1);
    QCOMPARE(seen.username, demo);
    QVERIFY(seen.usernameFixed);
    // Still the same window on the same screen, signed in.
    QVERIFY(window->isVisible());
    QCOMPARE(window->currentScreen(), window->patientsList());
}

void SignInAgainTest::callsFailingTogetherWaitForOneDialog()
{
    LocalServiceProcess service({QStringLiteral("--token-idle-seconds"), QString::number(idleSeconds)});
    QVERIFY2(service.start(), qPrintable(service.errorText()));
    ServiceTestEnvironment environment(service.baseUrl(), 20000);
    MainWindowDriver driver(demo, demo);
    QVERIFY(driver.window());
    QTRY_VERIFY(listIsIdle(driver.window()));
    QTest::qWait(expiryWaitMs);

    SignInDialogs dialogs;
    SeenSignIn seen;
    answerSignInAgain(&seen);
    QList<std::shared_ptr<QSignalSpy>> answers;
    QList<std::shared_ptr<QSignalSpy>> errors;
    for (int call = 0; call < 3; ++call) {
        auto* controller = new Controller(driver.window());
        answers << std::make_shared<QSignalSpy>(controller, &Controller::onBytes);
        errors << std::make_shared<QSignalSpy>(controller, &Controller::onError);
        controller->checkUpdates();
    }
    for (int call = 0; call < 3; ++call) {
        QTRY_COMPARE_WITH_TIMEOUT(answers[call]->count(), 1, 10000);
        QCOMPARE(errors[call]->count(), 0);
    }
    QCOMPARE(dialogs.shown, 1);
}

void SignInAgainTest::givingUpStartsAFreshSignIn()
{
    LocalServiceProcess service({QStringLiteral("--token-idle-seconds"), QString::number(idleSeconds)});
    QVERIFY2(service.start(), qPrintable(service.errorText()));
    ServiceTestEnvironment environment(service.baseUrl(), 20000);
    MainWindowDriver driver(demo, demo);
    MainWindow* window = driver.window();
    QVERIFY(window);
    QPointer<ViewPatients> firstList = window->patientsList();

    // A recovery history with a change not saved yet.
    ViewPatient* card = driver.openCard(QStringLiteral("Benjamin Carter"));
    QVERIFY(card);
    MainWindowDriver::tick(card, {0, 1, 2});
    QPointer<ViewRecoveryHistory> history =
        qobject_cast<ViewRecoveryHistory*>(driver.openFromCard(card, QStringLiteral("buttonRecoveryHistory")));
    QVERIFY(history);
    QTRY_VERIFY_WITH_TIMEOUT(history->model()->rowCount() > 3, 20000);
    const QModelIndex cell = history->model()->index(3, 2);
    QVERIFY(history->model()->setData(cell, cell.data(Qt::EditRole).toFloat() == 2.0f ? 1.0f : 2.0f, Qt::DisplayRole));
    // Asked in demo's language; the second practitioner's may differ.
    const QString saveQuestion = QCoreApplication::translate("ViewRecoveryHistory", "Text.confirmSave");
    QStringList asked;
    ScopedMessageBoxRunner answers([&asked](QMessageBox& box) {
        asked << box.text();
        box.button(QMessageBox::No)->click();
    });
    QTest::qWait(expiryWaitMs);

    // Then comes the plain sign-in, empty and open to another practitioner.
    SeenSignIn again;
    SeenSignIn fresh;
    answerSignInAgain(&again, [&fresh] {
        whenModalAppears([&fresh](QWidget* dialog) {
            auto* user = dialog->findChild<QLineEdit*>(QStringLiteral("usernameField"));
            fresh.username = user->text();
            fresh.usernameFixed = user->isReadOnly();
            QTest::keyClicks(user, QStringLiteral("second"));
            QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("passwordField")), QStringLiteral("second"));
            dialog->findChild<QPushButton*>(QStringLiteral("buttonConfirm"))->click();
        });
    });
    auto* controller = new Controller(window);
    QSignalSpy errors(controller, &Controller::onError);
    controller->checkUpdates();
    QTRY_COMPARE(errors.count(), 1);
    QCOMPARE(again.username, demo);
    QTRY_VERIFY_WITH_TIMEOUT(window->patientsList() && window->patientsList() != firstList, 10000);
    // The unsaved change was asked about before the screens went.
    QCOMPARE(asked, QStringList{saveQuestion});
    QTRY_VERIFY(!history);
    QVERIFY(fresh.username.isEmpty());
    QVERIFY(!fresh.usernameFixed);
    QTRY_VERIFY(window->isVisible() && listIsIdle(window));
    QCOMPARE(window->screenCount(), 1);
    QTRY_VERIFY(!firstList);
}

void SignInAgainTest::idleWindowLocksUntilThePasswordIsGiven()
{
    LocalServiceProcess service;
    QVERIFY2(service.start(), qPrintable(service.errorText()));
    ServiceTestEnvironment environment(service.baseUrl(), 20000);
    IdleLock::setIdleTimeForTests(std::chrono::milliseconds(400));
    MainWindowDriver driver(demo, demo);
    IdleLock::setIdleTimeForTests({});
    MainWindow* window = driver.window();
    QVERIFY(window);

    QTRY_VERIFY(window->idleLock()->isLocked());
    auto* screen = qobject_cast<QWidget*>(QApplication::activeModalWidget());
    QVERIFY(screen);
    QCOMPARE(screen->objectName(), QStringLiteral("LockScreen"));
    QVERIFY(screen->geometry().contains(window->geometry().center()));
    auto* password = screen->findChild<QLineEdit*>(QStringLiteral("passwordField"));
    auto* unlock = screen->findChild<QPushButton*>(QStringLiteral("buttonConfirm"));
    auto* error = screen->findChild<QLabel*>(QStringLiteral("labelError"));

    // Escape and a wrong password leave it locked.
    QTest::keyClick(screen, Qt::Key_Escape);
    QTest::keyClicks(password, QStringLiteral("wrong"));
    unlock->click();
    QTRY_VERIFY(error->isVisible());
    QVERIFY(window->idleLock()->isLocked());
    QVERIFY(password->text().isEmpty());

    QTest::keyClicks(password, demo);
    unlock->click();
    QTRY_VERIFY(!window->idleLock()->isLocked());
}

void SignInAgainTest::unreachableServiceOffersToTryAgain()
{
    const int port = freePort();
    LocalServiceProcess service({QStringLiteral("--port"), QString::number(port)});
    const QString baseUrl = QStringLiteral("http://127.0.0.1:%1").arg(port);
    ServiceTestEnvironment environment(baseUrl, 20000);
    MessageBoxRecorder boxes;

    // At start: the sign-in says so and stays; the same button tries again.
    bool tried = false;
    whenModalAppears([&](QWidget* dialog) {
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("usernameField")), demo);
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("passwordField")), demo);
        auto* confirm = dialog->findChild<QPushButton*>(QStringLiteral("buttonConfirm"));
        confirm->click();
        QVERIFY(QTest::qWaitFor([&] { return boxes.boxes.size() == 1 && confirm->isEnabled(); }));
        QVERIFY2(service.start(), qPrintable(service.errorText()));
        tried = true;
        confirm->click();
    });
    MainWindow window;
    QVERIFY(tried);
    QVERIFY(window.isSignedIn());
    QCOMPARE(boxes.boxes.first().text, Controller::errorText({}, {0, QNetworkReply::ConnectionRefusedError}));
    QTRY_VERIFY(listIsIdle(&window));

    // Later: the call asks whether to try again, and does once the service is
    // back.
    QVERIFY(service.stop());
    QStringList asked;
    ScopedMessageBoxRunner runner([&](QMessageBox& box) {
        asked << box.objectName();
        if (asked.size() == 2)
            QVERIFY(service.start());
        box.button(QMessageBox::Retry)->click();
    });
    auto* controller = new Controller(&window);
    QSignalSpy answers(controller, &Controller::onBytes);
    controller->checkUpdates();
    QTRY_COMPARE_WITH_TIMEOUT(answers.count(), 1, 10000);
    QCOMPARE(asked, (QStringList{QStringLiteral("messageBoxTryAgain"), QStringLiteral("messageBoxTryAgain")}));
}

QTEST_MAIN(SignInAgainTest)
#include "tst_signinagain.moc"
