#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QString>

// How a call failed, when its answer carries no message of the service's.
struct ServiceFailure
{
    int httpStatus = 0;
    QNetworkReply::NetworkError networkError = QNetworkReply::NoError;

    // The service refused the token the call carried: the sign-in expired.
    bool signInExpired() const { return httpStatus == 401; }
    // The call may succeed when sent again unchanged: the service could not be
    // reached, did not answer in time, failed on its side, or the sign-in
    // expired. A refusal of the request itself (4xx) is not.
    bool worthRetrying() const
    {
        return signInExpired() || httpStatus >= 500 || (httpStatus == 0 && networkError != QNetworkReply::NoError);
    }
};

// The service's message in an error body: "message", else the first member
// of each object of "errors", one per line; empty when there is none.
QString serviceMessage(const QByteArray& body);
// The text shown for a failed call: the service's own message when the error
// body carries one, else what happened, in the practitioner's words. The texts
// are translated under "Controller", the class that shows them.
QString serviceErrorText(const QByteArray& body, const ServiceFailure& failure);
