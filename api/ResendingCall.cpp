#include "api/ResendingCall.h"

#include "api/SessionRenewal.h"
#include "base/Account.h"
#include "widgets/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace {

// The service could not be reached at all: no answer, or none in time.
bool unreachable(const ServiceFailure& failure)
{
    return failure.httpStatus == 0 && failure.networkError != QNetworkReply::NoError &&
           failure.networkError != QNetworkReply::OperationCanceledError;
}

} // namespace

ResendingCall::ResendingCall(Send send, bool carriesToken, QWidget* promptParent, QObject* parent)
    : QObject(parent), m_send(std::move(send)), m_carriesToken(carriesToken), m_promptParent(promptParent)
{}

void ResendingCall::start()
{
    sendAttempt();
}

void ResendingCall::sendAttempt()
{
    ++m_attempt;
    m_attemptReported = false;
    m_sentAuthorization = Account::instance().authorization();
    m_send();
}

void ResendingCall::answer(int attempt, const QByteArray& bytes)
{
    if (attempt != m_attempt || m_attemptReported)
        return;
    m_attemptReported = true;
    emit answered(bytes);
}

void ResendingCall::fail(int attempt, const QByteArray& bytes, const ServiceFailure& failure)
{
    if (attempt != m_attempt || m_attemptReported)
        return;
    m_attemptReported = true;
    if (renewSignIn(bytes, failure) || tryAgain(bytes, failure))
        return;
    // A declined try-again question has shown the message already; the
    // caller's error box for it would say it a second time.
    const ErrorAlreadyShown shown(m_declinedTryAgain ? serviceErrorText(bytes, failure) : QString());
    emit failed(bytes, failure);
}

bool ResendingCall::renewSignIn(const QByteArray& bytes, const ServiceFailure& failure)
{
    if (!m_carriesToken || !failure.signInExpired() || m_resentAfterSignIn)
        return false;
    SessionRenewal& renewal = SessionRenewal::instance();
    // Another call has had the practitioner sign in again since this one left.
    if (!renewal.isPending() && Account::instance().authorization() != m_sentAuthorization) {
        m_resentAfterSignIn = true;
        sendAttempt();
        return true;
    }
    if (!m_mayAskToSignIn || !renewal.isAvailable())
        return false;
    m_renewed = connect(&renewal, &SessionRenewal::renewed, this, [this] {
        stopWaiting();
        m_resentAfterSignIn = true;
        sendAttempt();
    });
    // The practitioner gave up: the refusal is the outcome.
    m_abandoned = connect(&renewal, &SessionRenewal::abandoned, this, [this, bytes, failure] {
        stopWaiting();
        emit failed(bytes, failure);
    });
    renewal.request();
    return true;
}

void ResendingCall::stopWaiting()
{
    disconnect(m_renewed);
    disconnect(m_abandoned);
}

bool ResendingCall::tryAgain(const QByteArray& bytes, const ServiceFailure& failure)
{
    // Only where a practitioner can answer; a call alone reports at once.
    if (!m_mayOfferRetry || !unreachable(failure) || !SessionRenewal::instance().isAvailable())
        return false;
    QWidget* parent = m_promptParent ? m_promptParent->window() : QApplication::activeWindow();
    QMessageBox box(QMessageBox::Warning, tr("Text.serviceUnreachableTitle"), serviceErrorText(bytes, failure),
                    QMessageBox::Retry | QMessageBox::Cancel, parent);
    box.setObjectName(QStringLiteral("messageBoxTryAgain"));
    QAbstractButton* retry = box.button(QMessageBox::Retry);
    retry->setText(tr("Text.tryAgain"));
    box.button(QMessageBox::Cancel)->setText(tr("Text.giveUp"));
    box.setDefaultButton(QMessageBox::Retry);
    MessageBoxRunner::run(box);
    m_declinedTryAgain = box.clickedButton() != retry;
    if (m_declinedTryAgain)
        return false;
    sendAttempt();
    return true;
}
