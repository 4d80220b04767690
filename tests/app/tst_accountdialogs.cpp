#include "api/Controller.h"
#include "app/Application.h"
#include "app/DialogAbout.h"
#include "app/DialogChangePassword.h"
#include "app/DialogLogin.h"
#include "base/Account.h"
#include "base/AppConstants.h"
#include "data/Patient.h"
#include "support/ControllerOutcome.h"
#include "support/ModalDialogDriver.h"
#include "support/ScopedMessageBoxRunner.h"
#include "support/ServiceTestEnvironment.h"
#include "support/TestHttpServer.h"
#include "widgets/LoadingWindow.h"

#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>

// No translation is installed: every text shows as its key.

namespace {

// Every message box a dialog ran, answered with OK.
struct SeenBoxes
{
    int count = 0;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QWidget* parent = nullptr;
};

MessageBoxRunner::Function answerOk(SeenBoxes& seen)
{
    return [&seen](QMessageBox& box) {
        ++seen.count;
        seen.icon = box.icon();
        seen.title = box.windowTitle();
        seen.text = box.text();
        seen.buttons = box.standardButtons();
        seen.parent = box.parentWidget();
        box.button(QMessageBox::Ok)->click();
    };
}

template <typename Widget> Widget* child(QWidget& parent, const char* name)
{
    auto* found = parent.findChild<Widget*>(QLatin1String(name));
    if (!found)
        qWarning("no child %s", name);
    return found;
}

void fillLogin(DialogLogin& dialog, const QString& username, const QString& password)
{
    child<QLineEdit>(dialog, "usernameField")->setText(username);
    child<QLineEdit>(dialog, "passwordField")->setText(password);
}

void fillPasswords(DialogChangePassword& dialog, const QString& oldPassword, const QString& newPassword,
                   const QString& repeatPassword)
{
    child<QLineEdit>(dialog, "oldPasswordField")->setText(oldPassword);
    child<QLineEdit>(dialog, "newPasswordField")->setText(newPassword);
    child<QLineEdit>(dialog, "repeatPasswordField")->setText(repeatPassword);
}

ScriptedResponse slow(ScriptedResponse response)
{
    response.delayBeforeHeadersMs = 200;
    return response;
}

QImage imageOf(const QIcon& icon)
{
    return icon.pixmap(32, 32).toImage();
}

Patient storedPatient()
{
    return Patient(QJsonObject{{QStringLiteral("id"), QStringLiteral("p1")}});
}

using GiveUp = std::function<void(QDialog&)>;
using MakeDialog = std::function<QDialog*()>;

} // namespace

Q_DECLARE_METATYPE(GiveUp)
Q_DECLARE_METATYPE(MakeDialog)

class AccountDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }

    void windowSetUp_data();
    void windowSetUp();
    void signInFields();
    void passwordFields();

    void signInSendsOneRequestAndReportsSuccess();
    void signInWithAnEmptyFieldSendsNothing_data();
    void signInWithAnEmptyFieldSendsNothing();
    void failedSignInShowsTheErrorAndAllowsARetry();
    void emptyErrorTextStillShowsTheBox();
    void givingUpTheSignInReportsOnce_data();
    void givingUpTheSignInReportsOnce();
    void answerAfterGivingUpChangesNothing();
    void signInShownAgainReportsAgain();

    void givingUpThePasswordChangeSendsNothing_data();
    void givingUpThePasswordChangeSendsNothing();
    void passwordChangeWithAnEmptyFieldSendsNothing_data();
    void passwordChangeWithAnEmptyFieldSendsNothing();
    void passwordChangeRenewsTheToken();
    void givingUpWhileTheChangeRunsEndsIt_data();
    void givingUpWhileTheChangeRunsEndsIt();
    void failedPasswordChangeShowsTheError();

    void aboutShowsTheProgramIdentity_data();
    void aboutShowsTheProgramIdentity();
    void aboutLinksTheWebsite();
    void aboutClosesByItsButton();
};

void AccountDialogsTest::windowSetUp_data()
{
    QTest::addColumn<MakeDialog>("make");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("title");

    QTest::newRow("sign-in") << MakeDialog([] { return new DialogLogin; }) << QSize(360, 280)
                             << QStringLiteral("Title.application");
    QTest::newRow("password") << MakeDialog([] { return new DialogChangePassword; }) << QSize(400, 180)
                              << QStringLiteral("Text.changePassword");
}

void AccountDialogsTest::windowSetUp()
{
    QFETCH(MakeDialog, make);
    QFETCH(QSize, size);
    QFETCH(QString, title);

    const std::unique_ptr<QDialog> dialog(make());
    QCOMPARE(dialog->size(), size);
    QCOMPARE(dialog->minimumSize(), size);
    QCOMPARE(dialog->maximumSize(), size);
    QCOMPARE(dialog->windowTitle(), title);
    QVERIFY(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(dialog->isModal());
    const QRect screen = QGuiApplication::screens().constFirst()->geometry();
    QCOMPARE(dialog->pos(), QPoint((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 2));
}

void AccountDialogsTest::signInFields()
{
    DialogLogin dialog;
    for (const char* name : {"usernameField", "passwordField"}) {
        auto* field = child<QLineEdit>(dialog, name);
        QVERIFY(field);
        field->setText(QString(250, QLatin1Char('x')));
        QCOMPARE(field->text().size(), 200);
    }
    QCOMPARE(child<QLineEdit>(dialog, "usernameField")->echoMode(), QLineEdit::Normal);
    QCOMPARE(child<QLineEdit>(dialog, "passwordField")->echoMode(), QLineEdit::Password);

    const QImage loginPicture = imageOf(QIcon(QStringLiteral(":/images/login.png")));
    QVERIFY(!loginPicture.isNull());
    QCOMPARE(imageOf(child<QPushButton>(dialog, "buttonConfirm")->icon()), loginPicture);
    QCOMPARE(child<QLabel>(dialog, "usernameLabel")->pixmap(Qt::ReturnByValue).toImage(),
             QImage(QStringLiteral(":/images/login-as-user.png")).convertToFormat(QImage::Format_ARGB32_Premultiplied));
    QCOMPARE(
        child<QLabel>(dialog, "passwordLabel")->pixmap(Qt::ReturnByValue).toImage(),
        QImage(QStringLiteral(":/images/login-password.png")).convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

void AccountDialogsTest::passwordFields()
{
    DialogChangePassword dialog;
    for (const char* name : {"oldPasswordField", "newPasswordField", "repeatPasswordField"})
        QCOMPARE(child<QLineEdit>(dialog, name)->echoMode(), QLineEdit::Password);
    QCOMPARE(child<QLabel>(dialog, "labelOldPassword")->text(), QStringLiteral("Text.oldPassword"));
    QCOMPARE(child<QLabel>(dialog, "labelPassword")->text(), QStringLiteral("Text.password"));
    QCOMPARE(child<QLabel>(dialog, "labelPasswordRepeat")->text(), QStringLiteral("Text.passwordRepeat"));
    QCOMPARE(child<QPushButton>(dialog, "buttonCancel")->text(), QStringLiteral("Text.cancel"));
    auto* confirm = child<QPushButton>(dialog, "buttonConfirm");
    QCOMPARE(confirm->text(), QStringLiteral("Text.confirm"));
    QVERIFY(confirm->isDefault());
}

void AccountDialogsTest::signInSendsOneRequestAndReportsSuccess()
{
    TestHttpServer server;
    ServiceTestEnvironment environment(server.baseUrlText());
    Account::instance().fromJson({});
    server.enqueue(slow(ScriptedResponse::json(200, ServiceTestEnvironment::signInAnswer("fresh-token"))));
    server.enqueue(ScriptedResponse::json(200, ServiceTestEnvironment::signInAnswer("second-token")));

    DialogLogin dialog;
    QSignalSpy outcome(&dialog, &DialogLogin::listener);
    dialog.show();
    fillLogin(dialog, QStringLiteral("demo"), QStringLiteral("p&ss word"));
    auto* confirm = child<QPushButton>(dialog, "buttonConfirm");

    // Three quick tries while the first runs: a click, Enter and the slot.
    QTest::mouseClick(confirm, Qt::LeftButton);
    QVERIFY(!confirm->isEnabled());
    QTest::mouseClick(confirm, Qt::LeftButton);
    QTest::keyClick(child<QLineEdit>(dialog, "passwordField"), Qt::Key_Return);
    dialog.onConfirm();
    QVERIFY(!dialog.findChild<LoadingWindow*>());

    QTRY_COMPARE(outcome.count(), 1);
    QCOMPARE(outcome.at(0).at(0).toBool(), true);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(Account::instance().authorization(), QByteArray("Bearer fresh-token"));

    QCOMPARE(server.requests().size(), 1);
    const RecordedRequest request = server.requests().constFirst();
    QCOMPARE(request.path(), QStringLiteral("/auth/login"));
    const QUrlQuery form(QString::fromUtf8(request.body));
    QCOMPARE(form.queryItemValue(QStringLiteral("username"), QUrl::FullyDecoded), QStringLiteral("demo"));
    QCOMPARE(form.queryItemValue(QStringLiteral("password"), QUrl::FullyDecoded), QStringLiteral("p&ss word"));
}

void AccountDialogsTest::signInWithAnEmptyFieldSendsNothing_data()
{
    QTest::addColumn<QString>("username");
    QTest::addColumn<QString>("password");

    QTest::newRow("no user name") << QString() << QStringLiteral("secret");
    QTest::newRow("no password") << QStringLiteral("demo") << QString();
    QTest::newRow("neither") << QString() << QString();
}

void AccountDialogsTest::signInWithAnEmptyFieldSendsNothing()
{
    QFETCH(QString, username);
    QFETCH(QString, password);

    TestHttpServer server;
    ServiceTestEnvironment environment(server.baseUrlText());
    server.setHandler([](const RecordedRequest&) {
        return ScriptedResponse::json(200, ServiceTestEnvironment::signInAnswer("fresh-token"));
    });
    DialogLogin dialog;
    QSignalSpy outcome(&dialog, &DialogLogin::listener);
    dialog.show();

    fillLogin(dialog, username, password);
    QTest::mouseClick(child<QPushButton>(dialog, "buttonConfirm"), Qt::LeftButton);
    QVERIFY(child<QPushButton>(dialog, "buttonConfirm")->isEnabled());

    // The one request the server sees is the complete one that follows.
    fillLogin(dialog, QStringLiteral("demo"), QStringLiteral("secret"));
    QTest::mouseClick(child<QPushButton>(dialog, "buttonConfirm"), Qt::LeftButton);
    QTRY_COMPARE(outcome.count(), 1);
    QCOMPARE(server.requests().size(), 1);
    const QUrlQuery form(QString::fromUtf8(server.requests().constFirst().body));
    QCOMPARE(form.queryItemValue(QStringLiteral("username")), QStringLiteral("demo"));
    QCOMPARE(form.queryItemValue(QStringLiteral("password")), QStringLiteral("secret"));
}

void AccountDialogsTest::failedSignInShowsTheErrorAndAllowsARetry()
{
    TestHttpServer server;
    ServiceTestEnvironment environment(server.baseUrlText());
    server.enqueue(ScriptedResponse::json(401, R"({"message":"Wrong user name or password"})"));
    server.enqueue(ScriptedResponse::json(200, ServiceTestEnvironment::signInAnswer("fresh-token")));
    SeenBoxes seen;
    ScopedMessageBoxRunner runner(answerOk(seen));

    DialogLogin dialog;
    QSignalSpy outcome(&dialog, &DialogLogin::listener);
    dialog.show();
    fillLogin(dialog, QStringLiteral("demo"), QStringLiteral("wrong"));
    auto* confirm = child<QPushButton>(dialog, "buttonConfirm");
    QTest::mouseClick(confirm, Qt::LeftButton);

    QTRY_COMPARE(seen.count, 1);
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.title, QStringLiteral("Text.error"));
    QCOMPARE(seen.text, QStringLiteral("Wrong user name or password"));
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(seen.parent, static_cast<QWidget*>(&dialog));
    QTRY_VERIFY(confirm->isEnabled());
    QVERIFY(dialog.isVisible());
    QCOMPARE(outcome.count(), 0);

    child<QLineEdit>(dialog, "passwordField")->setText(QStringLiteral("right"));
    QTest::mouseClick(confirm, Qt::LeftButton);
    QTRY_COMPARE(outcome.count(), 1);
    QCOMPARE(outcome.at(0).at(0).toBool(), true);
    QCOMPARE(server.requests().size(), 2);
}

void AccountDialogsTest::emptyErrorTextStillShowsTheBox()
{
    SeenBoxes seen;
    ScopedMessageBoxRunner runner(answerOk(seen));
    DialogLogin dialog;
    QSignalSpy outcome(&dialog, &DialogLogin::listener);
    dialog.show();

    dialog.onError(QString());
    QCOMPARE(seen.count, 1);
    QCOMPARE(seen.title, QStringLiteral("Text.error"));
    QCOMPARE(seen.text, QString());
    QVERIFY(dialog.isVisible());
    QVERIFY(child<QPushButton>(dialog, "buttonConfirm")->isEnabled());
    QCOMPARE(outcome.count(), 0);
}

void AccountDialogsTest::givingUpTheSignInReportsOnce_data()
{
    QTest::addColumn<GiveUp>("giveUp");

    QTest::newRow("Escape") << GiveUp(
        [](QDialog& dialog) { QTest::keyClick(child<QLineEdit>(dialog, "usernameField"), Qt::Key_Escape); });
    QTest::newRow("window close button") << GiveUp([](QDialog& dialog) { dialog.close(); });
}

void AccountDialogsTest::givingUpTheSignInReportsOnce()
{
    QFETCH(GiveUp, giveUp);

    DialogLogin dialog;
    QSignalSpy outcome(&dialog, &DialogLogin::listener);
    // Run as the main window runs it: modally, until it ends.
    whenModalAppears([&giveUp](QWidget* modal) { giveUp(*static_cast<QDialog*>(modal)); });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));

    QCOMPARE(outcome.count(), 1);
    QCOMPARE(outcome.at(0).at(0).toBool(), false);
    QVERIFY(!dialog.isVisible());
}

void AccountDialogsTest::answerAfterGivingUpChangesNothing()
{
    TestHttpServer server;
    ServiceTestEnvironment environment(server.baseUrlText());
    Account::instance().fromJson({});
    server.enqueue(slow(ScriptedResponse::json(200, ServiceTestEnvironment::signInAnswer("late-token"))));
    SeenBoxes seen;
    ScopedMessageBoxRunner runner(answerOk(seen));

    DialogLogin dialog;
    QSignalSpy outcome(&dialog, &DialogLogin::listener);
    dialog.show();
    fillLogin(dialog, QStringLiteral("demo"), QStringLiteral("secret"));
    QTest::mouseClick(child<QPushButton>(dialog, "buttonConfirm"), Qt::LeftButton);
    QTest::keyClick(child<QLineEdit>(dialog, "passwordField"), Qt::Key_Escape);
    QCOMPARE(outcome.count(), 1);

    // The controller fills the account when the answer arrives; the dialog
    // has already reported and stays quiet.
    QTRY_COMPARE(Account::instance().authorization(), QByteArray("Bearer late-token"));
    QCOMPARE(outcome.count(), 1);
    QCOMPARE(outcome.at(0).at(0).toBool(), false);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(seen.count, 0);
}

void AccountDialogsTest::signInShownAgainReportsAgain()
{
    DialogLogin dialog;
    QSignalSpy outcome(&dialog, &DialogLogin::listener);
    for (int run = 1; run <= 2; ++run) {
        dialog.show();
        QTest::keyClick(child<QLineEdit>(dialog, "usernameField"), Qt::Key_Escape);
        QCOMPARE(outcome.count(), run);
    }
}

void AccountDialogsTest::givingUpThePasswordChangeSendsNothing_data()
{
    QTest::addColumn<GiveUp>("giveUp");

    QTest::newRow("cancel") << GiveUp(
        [](QDialog& dialog) { QTest::mouseClick(child<QPushButton>(dialog, "buttonCancel"), Qt::LeftButton); });
    QTest::newRow("Escape") << GiveUp(
        [](QDialog& dialog) { QTest::keyClick(child<QLineEdit>(dialog, "oldPasswordField"), Qt::Key_Escape); });
    QTest::newRow("window close button") << GiveUp([](QDialog& dialog) { dialog.close(); });
}

void AccountDialogsTest::givingUpThePasswordChangeSendsNothing()
{
    QFETCH(GiveUp, giveUp);

    SeenBoxes seen;
    ScopedMessageBoxRunner runner(answerOk(seen));
    DialogChangePassword dialog;
    QSignalSpy outcome(&dialog, &DialogChangePassword::listener);
    fillPasswords(dialog, QStringLiteral("old"), QStringLiteral("new"), QStringLiteral("new"));
    whenModalAppears([&giveUp](QWidget* modal) { giveUp(*static_cast<QDialog*>(modal)); });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));

    QCOMPARE(outcome.count(), 1);
    QCOMPARE(outcome.at(0).at(0).toBool(), false);
    QCOMPARE(seen.count, 0);
    // A request would have covered the dialog at once.
    QVERIFY(!dialog.findChild<LoadingWindow*>());
}

void AccountDialogsTest::passwordChangeWithAnEmptyFieldSendsNothing_data()
{
    QTest::addColumn<QString>("oldPassword");
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<QString>("repeatPassword");

    QTest::newRow("no old password") << QString() << QStringLiteral("new") << QStringLiteral("new");
    QTest::newRow("no new password") << QStringLiteral("old") << QString() << QStringLiteral("new");
    QTest::newRow("no repetition") << QStringLiteral("old") << QStringLiteral("new") << QString();
}

void AccountDialogsTest::passwordChangeWithAnEmptyFieldSendsNothing()
{
    QFETCH(QString, oldPassword);
    QFETCH(QString, newPassword);
    QFETCH(QString, repeatPassword);

    DialogChangePassword dialog;
    QSignalSpy outcome(&dialog, &DialogChangePassword::listener);
    dialog.show();
    fillPasswords(dialog, oldPassword, newPassword, repeatPassword);
    QTest::mouseClick(child<QPushButton>(dialog, "buttonConfirm"), Qt::LeftButton);

    QVERIFY(!dialog.findChild<LoadingWindow*>());
    QVERIFY(child<QPushButton>(dialog, "buttonConfirm")->isEnabled());
    QVERIFY(dialog.isVisible());
    QCOMPARE(outcome.count(), 0);
}

void AccountDialogsTest::passwordChangeRenewsTheToken()
{
    TestHttpServer server;
    ServiceTestEnvironment environment(server.baseUrlText());
    server.enqueue(slow(ScriptedResponse::json(200, R"({"accessToken":"renewed"})")));
    server.enqueue(ScriptedResponse::json(200, "[]"));
    SeenBoxes seen;
    ScopedMessageBoxRunner runner(answerOk(seen));

    DialogChangePassword dialog;
    QSignalSpy outcome(&dialog, &DialogChangePassword::listener);
    dialog.show();
    // The dialog leaves it to the service to compare the two new passwords.
    fillPasswords(dialog, QStringLiteral("old"), QStringLiteral("new one"), QStringLiteral("new two"));
    auto* confirm = child<QPushButton>(dialog, "buttonConfirm");
    QTest::mouseClick(confirm, Qt::LeftButton);
    QVERIFY(!confirm->isEnabled());
    QTest::mouseClick(confirm, Qt::LeftButton);
    dialog.onConfirm();
    auto* overlay = dialog.findChild<LoadingWindow*>(QStringLiteral("LoadingWindow"));
    QVERIFY(overlay);
    QVERIFY(overlay->isVisible());

    QTRY_COMPARE(outcome.count(), 1);
    QCOMPARE(outcome.at(0).at(0).toBool(), true);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QTRY_VERIFY(!dialog.findChild<LoadingWindow*>());
    QCOMPARE(seen.count, 0);

    QCOMPARE(server.requests().size(), 1);
    const RecordedRequest change = server.requests().constFirst();
    QCOMPARE(change.method, QByteArray("POST"));
    QCOMPARE(change.path(), QStringLiteral("/auth/password"));
    const QJsonObject expectedBody{{QStringLiteral("oldPassword"), QStringLiteral("old")},
                                   {QStringLiteral("newPassword"), QStringLiteral("new one")},
                                   {QStringLiteral("repeatPassword"), QStringLiteral("new two")}};
    QCOMPARE(QJsonDocument::fromJson(change.body).object(), expectedBody);

    auto* later = new Controller;
    ControllerOutcome listed(later);
    later->getRecords(storedPatient());
    QTRY_VERIFY(listed.controllerGone());
    QCOMPARE(server.requests().value(1).header("Authorization"), QByteArray("Bearer renewed"));
}

void AccountDialogsTest::givingUpWhileTheChangeRunsEndsIt_data()
{
    QTest::addColumn<GiveUp>("giveUp");
    // The overlay covers the Cancel button; Escape and the window's close button remain.
    QTest::newRow("Escape") << GiveUp([](QDialog& dialog) { QTest::keyClick(dialog.focusWidget(), Qt::Key_Escape); });
    QTest::newRow("window close button") << GiveUp([](QDialog& dialog) { dialog.close(); });
}

void AccountDialogsTest::givingUpWhileTheChangeRunsEndsIt()
{
    QFETCH(GiveUp, giveUp);
    TestHttpServer server;
    ServiceTestEnvironment environment(server.baseUrlText(), 400);
    ScriptedResponse silent;
    silent.neverAnswer = true;
    server.enqueue(silent);
    SeenBoxes seen;
    ScopedMessageBoxRunner runner(answerOk(seen));

    DialogChangePassword dialog;
    QSignalSpy outcome(&dialog, &DialogChangePassword::listener);
    dialog.show();
    fillPasswords(dialog, QStringLiteral("old"), QStringLiteral("new"), QStringLiteral("new"));
    child<QLineEdit>(dialog, "oldPasswordField")->setFocus();
    dialog.onConfirm();
    QTRY_COMPARE(server.requests().size(), 1);

    giveUp(dialog);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(outcome.count(), 1);
    QCOMPARE(outcome.at(0).at(0).toBool(), false);
    QVERIFY(!dialog.findChild<LoadingWindow*>());
    // The request is gone with it: no time-out is reported after the read time-out.
    QTRY_COMPARE(server.openConnectionCount(), 0);
    QTest::qWait(600);
    QCOMPARE(seen.count, 0);
    QCOMPARE(outcome.count(), 1);
}

void AccountDialogsTest::failedPasswordChangeShowsTheError()
{
    TestHttpServer server;
    ServiceTestEnvironment environment(server.baseUrlText());
    server.enqueue(ScriptedResponse::json(400, R"({"message":"The new passwords differ"})"));
    SeenBoxes seen;
    ScopedMessageBoxRunner runner(answerOk(seen));

    DialogChangePassword dialog;
    QSignalSpy outcome(&dialog, &DialogChangePassword::listener);
    dialog.show();
    fillPasswords(dialog, QStringLiteral("old"), QStringLiteral("new one"), QStringLiteral("new two"));
    auto* confirm = child<QPushButton>(dialog, "buttonConfirm");
    QTest::mouseClick(confirm, Qt::LeftButton);

    QTRY_COMPARE(seen.count, 1);
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.title, QStringLiteral("Text.error"));
    QCOMPARE(seen.text, QStringLiteral("The new passwords differ"));
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QTRY_VERIFY(confirm->isEnabled());
    QVERIFY(dialog.isVisible());
    QCOMPARE(outcome.count(), 0);
    QCOMPARE(Account::instance().authorization(), QByteArray("Bearer tok-123"));

    // After the error the practitioner may give up again.
    QTRY_VERIFY(!dialog.findChild<LoadingWindow*>());
    child<QPushButton>(dialog, "buttonCancel")->click();
    QCOMPARE(outcome.count(), 1);
    QCOMPARE(outcome.at(0).at(0).toBool(), false);
}

void AccountDialogsTest::aboutShowsTheProgramIdentity_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");

    QTest::newRow("program name") << "labelProgramName" << QStringLiteral("Sonvera");
    QTest::newRow("program type") << "labelProgramType" << QStringLiteral("Text.aboutProgramType");
    QTest::newRow("version title") << "labelVersionTitle" << QStringLiteral("Text.aboutVersion");
    QTest::newRow("version") << "labelVersionNumber" << QStringLiteral("2021.3.0");
    QTest::newRow("e-mail title") << "labelEmailTitle" << QStringLiteral("Text.aboutEmail");
    QTest::newRow("e-mail") << "labelEmail" << QString(AppConstants::supportEmail);
    QTest::newRow("website title") << "labelWebsiteTitle" << QStringLiteral("Text.aboutWebsite");
}

void AccountDialogsTest::aboutShowsTheProgramIdentity()
{
    QFETCH(QString, label);
    QFETCH(QString, text);

    DialogAbout dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Text.about"));
    auto* shown = dialog.findChild<QLabel*>(label);
    QVERIFY(shown);
    QCOMPARE(shown->text(), text);
}

void AccountDialogsTest::aboutLinksTheWebsite()
{
    DialogAbout dialog;
    auto* website = dialog.findChild<QLabel*>(QStringLiteral("labelWebsite"));
    QVERIFY(website);
    QCOMPARE(website->textFormat(), Qt::RichText);
    QVERIFY(website->text().contains(QStringLiteral("href=\"https://www.sonvera.example\"")));
    QVERIFY(website->openExternalLinks());
    QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("labelProgramName"))->alignment().testFlag(Qt::AlignHCenter));
    QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("labelMaker"))->text().contains(AppConstants::organizationName));
}

void AccountDialogsTest::aboutClosesByItsButton()
{
    DialogAbout dialog;
    auto* close = dialog.findChild<QPushButton*>(QStringLiteral("buttonClose"));
    QVERIFY(close);
    QCOMPARE(close->text(), QStringLiteral("Text.close"));
    whenModalAppears([](QWidget* modal) {
        QTest::mouseClick(modal->findChild<QPushButton*>(QStringLiteral("buttonClose")), Qt::LeftButton);
    });
    dialog.exec();
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(AccountDialogsTest)
#include "tst_accountdialogs.moc"
