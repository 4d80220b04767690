// The text shown for a failed call, from any error body and any failure.
#include "FuzzCheck.h"
#include "net/ServiceErrorText.h"

#include <QJsonDocument>
#include <QJsonObject>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes pick the failure: a status from 0 to 599 or so, and
    // one of the network errors the controller tells apart, or another.
    ServiceFailure failure;
    failure.httpStatus = int(data[0]) * 3 % 600;
    static constexpr QNetworkReply::NetworkError errors[] = {
        QNetworkReply::NoError, QNetworkReply::TimeoutError, QNetworkReply::SslHandshakeFailedError,
        QNetworkReply::ConnectionRefusedError, QNetworkReply::ContentNotFoundError};
    failure.networkError = errors[data[1] % (sizeof errors / sizeof *errors)];
    const QByteArray body = fuzzInput(data + 2, size - 2);

    const QString text = serviceErrorText(body, failure);
    // A failure is never shown as an empty message box.
    FUZZ_CHECK(!text.isEmpty());

    const QString message = serviceMessage(body);
    if (!message.isEmpty())
        FUZZ_CHECK(text == message);
    // The service's own "message" text is shown as it stands.
    const QJsonValue own = QJsonDocument::fromJson(body).object().value(QLatin1String("message"));
    if (own.isString())
        FUZZ_CHECK(message == own.toString());
    return 0;
}
