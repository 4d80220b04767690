#include "net/ServiceErrorText.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

QString serviceMessage(const QByteArray& body)
{
    const QJsonObject object = QJsonDocument::fromJson(body).object();
    const QJsonValue message = object.value(QLatin1String("message"));
    if (!message.isUndefined() && !message.isNull())
        return message.toString();

    QString lines;
    const QJsonValue errors = object.value(QLatin1String("errors"));
    if (errors.isUndefined() || errors.isNull())
        return lines;
    for (const QJsonValue& element : errors.toArray()) {
        const QJsonObject entry = element.toObject();
        if (entry.isEmpty())
            continue;
        // Members come in key order; the first one names the field.
        const auto first = entry.constBegin();
        lines += first.key() + QLatin1Char(' ') + first.value().toVariant().toString() + QLatin1String("\r\n");
    }
    return lines;
}

QString serviceErrorText(const QByteArray& body, const ServiceFailure& failure)
{
    const QString message = serviceMessage(body);
    if (!message.isEmpty())
        return message;
    if (failure.networkError == QNetworkReply::TimeoutError)
        return QCoreApplication::translate("Controller", "Text.requestTimedOut");
    if (failure.networkError == QNetworkReply::SslHandshakeFailedError)
        return QCoreApplication::translate("Controller", "Text.secureConnectionFailed");
    if (failure.httpStatus > 0)
        return QCoreApplication::translate("Controller", "Text.serviceError").arg(failure.httpStatus);
    return QCoreApplication::translate("Controller", "Text.serviceUnreachable");
}
