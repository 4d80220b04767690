#pragma once

#include "net/ServiceErrorText.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

// Sends one service call and decides, when it fails, whether it goes out
// again: once after the practitioner has signed in again when the service
// refused the call's token, and each time the practitioner asks to try again
// when the service could not be reached. Only the outcome that stays is
// reported: answered() or failed().
class ResendingCall : public QObject
{
    Q_OBJECT

public:
    // Sends one attempt; the transport's outcome comes back through answer()
    // and fail() with the attempt's number.
    using Send = std::function<void()>;

    // carriesToken: the call is made with the practitioner's token (every
    // call but the sign-in). promptParent hosts the try-again question.
    ResendingCall(Send send, bool carriesToken, QWidget* promptParent, QObject* parent);

    // A call nobody watches (sent again in the background) never asks the
    // practitioner to sign in again: it fails at once instead of opening a
    // question over whatever the practitioner is doing. A token renewed
    // meanwhile by another call is still used.
    void setMayAskToSignIn(bool mayAsk) { m_mayAskToSignIn = mayAsk; }
    // A call whose caller keeps it when the service is out of reach (and
    // sends it later) needs no try-again question.
    void setMayOfferRetry(bool mayOffer) { m_mayOfferRetry = mayOffer; }

    void start();
    int attempt() const { return m_attempt; }

    // Outcomes of an attempt; those of an attempt already reported or
    // superseded are ignored.
    void answer(int attempt, const QByteArray& bytes);
    void fail(int attempt, const QByteArray& bytes, const ServiceFailure& failure);

signals:
    void answered(QByteArray bytes);
    void failed(QByteArray bytes, ServiceFailure failure);

private:
    void sendAttempt();
    // True when the call waits for, or has gone out after, a new sign-in.
    bool renewSignIn(const QByteArray& bytes, const ServiceFailure& failure);
    bool tryAgain(const QByteArray& bytes, const ServiceFailure& failure);
    void stopWaiting();

    Send m_send;
    bool m_carriesToken;
    bool m_mayAskToSignIn = true;
    bool m_mayOfferRetry = true;
    bool m_declinedTryAgain = false;
    QPointer<QWidget> m_promptParent;
    int m_attempt = 0;
    bool m_attemptReported = false;
    bool m_resentAfterSignIn = false;
    // The header the last attempt carried: a token renewed since then needs
    // no new sign-in.
    QByteArray m_sentAuthorization;
    QMetaObject::Connection m_renewed;
    QMetaObject::Connection m_abandoned;
};
