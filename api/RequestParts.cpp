#include "api/RequestParts.h"

#include "data/Marker.h"
#include "data/Patient.h"
#include "data/Record.h"
#include "net/Http.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>

HttpReply* sendRequest(Http& transport, HttpMethod method, const QUrl& url, const QByteArray& body)
{
    static const QByteArray jsonContentType = QByteArrayLiteral("application/json");
    switch (method) {
    case HttpMethod::Get:
        return transport.get(url);
    case HttpMethod::Delete:
        return transport.deleteResource(url);
    case HttpMethod::Post:
        return transport.post(url, body, jsonContentType);
    case HttpMethod::Put:
        return transport.put(url, body, jsonContentType);
    }
    return nullptr;
}

QByteArray jsonBody(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

QString queryValue(const QString& value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

QString pathSegment(const QString& id)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(id));
}

QJsonObject tokenAnswer(const QByteArray& bytes)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    const QJsonValue token = document.object().value(QLatin1String("accessToken"));
    if (error.error != QJsonParseError::NoError || !token.isString() || token.toString().isEmpty())
        return {};
    return document.object();
}

QJsonObject recipeBody(const Patient& patient, const Record& record, const QList<Marker>& markers, int duration,
                       const QString& deviceId, const QString& command)
{
    QJsonArray markerIds;
    for (const Marker& marker : markers)
        markerIds.append(marker.id());
    return {
        {QStringLiteral("patientId"), patient.id()}, {QStringLiteral("recordId"), record.id()},
        {QStringLiteral("deviceId"), deviceId},      {QStringLiteral("markers"), markerIds},
        {QStringLiteral("duration"), duration},      {QStringLiteral("command"), command},
    };
}

QString searchNeedle(const QString& searchText)
{
    if (searchText.isEmpty())
        return {};
    QByteArray encoded = searchText.toUtf8().toBase64();
    encoded.replace('+', '.').replace('/', '_').replace('=', '-');
    return QString::fromLatin1(encoded);
}
