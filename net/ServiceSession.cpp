#include "net/ServiceSession.h"

#include "base/Account.h"

HttpHeaders sessionHeaders()
{
    const Account& account = Account::instance();
    return {
        {QByteArrayLiteral("Authorization"), account.authorization()},
        {QByteArrayLiteral("Accept-Language"), account.acceptLanguage()},
    };
}

QNetworkReply::NetworkError answerFailure(int httpStatus, QNetworkReply::NetworkError networkError)
{
    if (networkError != QNetworkReply::NoError)
        return networkError;
    return httpStatus >= 200 && httpStatus <= 299 ? QNetworkReply::NoError : QNetworkReply::UnknownContentError;
}
