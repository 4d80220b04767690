#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

class Http;
class HttpReply;
class Marker;
class Patient;
class QUrl;
class Record;

// What the service's requests are made of: bodies, path segments, query
// values, and the one place a request leaves by its method.

enum class HttpMethod
{
    Get,
    Post,
    Put,
    Delete,
};

// POST and PUT carry the body as JSON; GET and DELETE carry none.
HttpReply* sendRequest(Http& transport, HttpMethod method, const QUrl& url, const QByteArray& body);

// The toolkit's indented JSON, as every body is written.
QByteArray jsonBody(const QJsonObject& object);
// An empty value is still written "key=": the service reads a bare "key"
// differently from one with an empty value.
QString queryValue(const QString& value);
// The search text as the service expects it: URL-safe Base64 of its UTF-8
// ("+", "/" and "=" written ".", "_" and "-"); empty for no text.
QString searchNeedle(const QString& searchText);
// Ids come from the service; encoding them keeps an odd one from changing
// the path it is placed in.
QString pathSegment(const QString& id);
// The answer of a sign-in or a password change: a JSON object, all of the
// body, with a token; empty when it is anything else.
QJsonObject tokenAnswer(const QByteArray& bytes);
QJsonObject recipeBody(const Patient& patient, const Record& record, const QList<Marker>& markers, int duration,
                       const QString& deviceId, const QString& command);
