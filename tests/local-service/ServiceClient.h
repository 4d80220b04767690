#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

#include <memory>

namespace httplib {
class Client;
}

// One answer of the service, with readers for its JSON.
struct ServiceAnswer
{
    int status = 0; // 0: no answer at all
    QByteArray body;
    QByteArray contentType;
    QList<QPair<QByteArray, QByteArray>> headers;

    QJsonObject object() const;
    QJsonArray array() const;
    QString message() const; // the "message" member of an error body
    // True for a refusal in the service's error form: a JSON object with a
    // non-empty "message" text, or "message" null and a non-empty "errors".
    bool isJsonError() const;
    // The first header of this name (any case), empty when there is none.
    QByteArray header(const QByteArray& name) const;
};

// A plain HTTP client of the service for its own tests: another program's
// view of the API, independent of the client application's code.
class ServiceClient
{
public:
    explicit ServiceClient(const QString& baseUrl);
    ~ServiceClient();

    // Signs in and keeps the token for the following calls.
    ServiceAnswer signIn(const QString& username, const QString& password);
    void setToken(const QByteArray& token) { m_token = token; }
    // Sends this "Authorization" value as it is instead of the token's.
    void setAuthorization(const QByteArray& value) { m_authorization = value; }
    QByteArray token() const { return m_token; }
    void setAcceptLanguage(const QByteArray& value) { m_acceptLanguage = value; }

    ServiceAnswer get(const QString& pathAndQuery);
    ServiceAnswer post(const QString& path, const QJsonObject& body);
    ServiceAnswer put(const QString& path, const QJsonObject& body);
    ServiceAnswer remove(const QString& path);
    // Any method with a raw body.
    ServiceAnswer send(const QByteArray& method, const QString& pathAndQuery, const QByteArray& body = {},
                       const QByteArray& contentType = "application/json");
    // The record upload as the client sends it: multipart with "patientId"
    // then the file "record", and the sensor in "Sonvera-ID".
    ServiceAnswer upload(const QString& patientId, const QByteArray& wav, const QByteArray& sensorId = {});

    // The first page of the list with the query given, as objects.
    QJsonArray patients(const QString& query = QStringLiteral("sortby=name&direction=asc&size=100&current=0"));

private:
    QByteArray authorization() const;

    std::unique_ptr<httplib::Client> m_client;
    QByteArray m_token;
    QByteArray m_authorization;
    QByteArray m_acceptLanguage = "en-US";
};

// A WAV in the sensor format (44-byte header, 8-bit unsigned, mono,
// 22050 Hz) around the samples.
QByteArray sensorWav(const QByteArray& samples);
// Three seconds of a sine at the frequency, in the sensor format.
QByteArray sineSamples(double frequencyHz, int count = 66150);
// The list request's needle for a search text: Base64 of its UTF-8 with
// "+", "/" and "=" written ".", "_" and "-".
QString needleOf(const QString& text);
// Unpacks an audio reply: Base64, gzip, JSON array of Base64 blocks.
QList<QByteArray> unpackAudio(const QByteArray& body);
