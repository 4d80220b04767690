#include "support/SignInDriver.h"

#include "app/MainWindow.h"
#include "support/ModalDialogDriver.h"
#include "views/ViewPatients.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>

void signInWhenAsked(const QString& username, const QString& password)
{
    whenModalAppears([username, password](QWidget* dialog) {
        auto* user = dialog->findChild<QLineEdit*>(QStringLiteral("usernameField"));
        auto* secret = dialog->findChild<QLineEdit*>(QStringLiteral("passwordField"));
        auto* confirm = dialog->findChild<QPushButton*>(QStringLiteral("buttonConfirm"));
        if (!user || !secret || !confirm) {
            qWarning("signInWhenAsked: the modal widget is not the sign-in dialog");
            return;
        }
        QTest::keyClicks(user, username);
        QTest::keyClicks(secret, password);
        confirm->click();
    });
}

void abandonSignInWhenAsked()
{
    whenModalAppears([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
}

std::unique_ptr<MainWindow> signedInMainWindow(const QString& username, const QString& password)
{
    signInWhenAsked(username, password);
    auto window = std::make_unique<MainWindow>();
    ViewPatients* list = window->patientsList();
    if (!list || !QTest::qWaitFor([list] { return !list->findChild<QWidget*>(QStringLiteral("LoadingWindow")); }))
        qWarning("The patients list did not get its first page");
    return window;
}
