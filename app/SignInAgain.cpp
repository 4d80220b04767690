#include "app/SignInAgain.h"

#include "api/SessionRenewal.h"
#include "app/DialogLogin.h"

#include <QApplication>
#include <QWidget>

SignInAgain::SignInAgain(QWidget* window) : QObject(window), m_window(window)
{
    // Queued: the refusal arrives inside the failed call's reply, and the
    // dialog runs its own event loop.
    connect(&SessionRenewal::instance(), &SessionRenewal::needed, this, &SignInAgain::ask, Qt::QueuedConnection);
}

SignInAgain::~SignInAgain()
{
    // Calls still waiting end as refused rather than wait for a window that
    // is gone.
    SessionRenewal& renewal = SessionRenewal::instance();
    renewal.setAvailable(false);
    renewal.finish(false);
}

void SignInAgain::setUsername(const QString& username)
{
    m_username = username;
    SessionRenewal::instance().setAvailable(!username.isEmpty());
}

void SignInAgain::ask()
{
    SessionRenewal& renewal = SessionRenewal::instance();
    if (!renewal.isPending())
        return;
    if (m_username.isEmpty()) {
        renewal.finish(false);
        return;
    }
    // Over the dialog the practitioner works in, so that it stays as it is.
    QWidget* modal = QApplication::activeModalWidget();
    auto* dialog = new DialogLogin(m_username, modal ? modal : m_window);
    bool renewed = false;
    connect(dialog, &DialogLogin::listener, this, [&renewed](bool success) { renewed = success; });
    dialog->exec();
    dialog->deleteLater();
    renewal.finish(renewed);
    if (!renewed)
        emit gaveUp();
}
