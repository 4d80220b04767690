#include "ServiceClient.h"

#include "net/Unzip.h"

#include <QJsonDocument>
#include <QtEndian>

#include <cmath>
#include <httplib.h>

namespace {

std::string utf8(const QString& text)
{
    return text.toStdString();
}

ServiceAnswer answerOf(const httplib::Result& result)
{
    ServiceAnswer answer;
    if (!result)
        return answer;
    answer.status = result->status;
    answer.body = QByteArray::fromStdString(result->body);
    answer.contentType = QByteArray::fromStdString(result->get_header_value("Content-Type"));
    for (const auto& [name, value] : result->headers)
        answer.headers.append({QByteArray::fromStdString(name), QByteArray::fromStdString(value)});
    return answer;
}

} // namespace

QJsonObject ServiceAnswer::object() const
{
    return QJsonDocument::fromJson(body).object();
}

QJsonArray ServiceAnswer::array() const
{
    return QJsonDocument::fromJson(body).array();
}

QString ServiceAnswer::message() const
{
    return object().value(QStringLiteral("message")).toString();
}

bool ServiceAnswer::isJsonError() const
{
    const QJsonObject error = object();
    if (!message().isEmpty())
        return true;
    return error.value(QStringLiteral("message")).isNull() &&
           !error.value(QStringLiteral("errors")).toArray().isEmpty();
}

QByteArray ServiceAnswer::header(const QByteArray& name) const
{
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

ServiceClient::ServiceClient(const QString& baseUrl) : m_client(std::make_unique<httplib::Client>(utf8(baseUrl)))
{
    m_client->set_read_timeout(30, 0);
}

ServiceClient::~ServiceClient() = default;

ServiceAnswer ServiceClient::signIn(const QString& username, const QString& password)
{
    httplib::Params form{{"username", utf8(username)}, {"password", utf8(password)}};
    const httplib::Headers headers{{"Accept-Language", m_acceptLanguage.toStdString()}};
    const ServiceAnswer answer = answerOf(m_client->Post("/auth/login", headers, form));
    if (answer.status == 200)
        m_token = answer.object().value(QStringLiteral("accessToken")).toString().toUtf8();
    return answer;
}

QByteArray ServiceClient::authorization() const
{
    if (!m_authorization.isEmpty())
        return m_authorization;
    return m_token.isEmpty() ? QByteArray() : "Bearer " + m_token;
}

ServiceAnswer ServiceClient::get(const QString& pathAndQuery)
{
    return send("GET", pathAndQuery);
}

ServiceAnswer ServiceClient::post(const QString& path, const QJsonObject& body)
{
    return send("POST", path, QJsonDocument(body).toJson());
}

ServiceAnswer ServiceClient::put(const QString& path, const QJsonObject& body)
{
    return send("PUT", path, QJsonDocument(body).toJson());
}

ServiceAnswer ServiceClient::remove(const QString& path)
{
    return send("DELETE", path);
}

ServiceAnswer ServiceClient::send(const QByteArray& method, const QString& pathAndQuery, const QByteArray& body,
                                  const QByteArray& contentType)
{
    httplib::Request request;
    request.method = method.toStdString();
    request.path = utf8(pathAndQuery);
    request.body = body.toStdString();
    if (!body.isEmpty() || method == "POST" || method == "PUT")
        request.set_header("Content-Type", contentType.toStdString());
    if (!authorization().isEmpty())
        request.set_header("Authorization", authorization().toStdString());
    request.set_header("Accept-Language", m_acceptLanguage.toStdString());
    return answerOf(m_client->send(request));
}

ServiceAnswer ServiceClient::upload(const QString& patientId, const QByteArray& wav, const QByteArray& sensorId)
{
    httplib::MultipartFormDataItems items{
        {"patientId", utf8(patientId), "", ""},
        {"record", wav.toStdString(), "record", "application/octet-stream"},
    };
    httplib::Headers headers{{"Sonvera-ID", sensorId.toStdString()},
                             {"Accept-Language", m_acceptLanguage.toStdString()}};
    if (!authorization().isEmpty())
        headers.emplace("Authorization", authorization().toStdString());
    return answerOf(m_client->Post("/record", headers, items));
}

QJsonArray ServiceClient::patients(const QString& query)
{
    return get(QStringLiteral("/patient/filter?") + query).object().value(QStringLiteral("data")).toArray();
}

QByteArray sensorWav(const QByteArray& samples)
{
    QByteArray header(44, '\0');
    auto put32 = [&](int at, quint32 value) { qToLittleEndian<quint32>(value, header.data() + at); };
    auto put16 = [&](int at, quint16 value) { qToLittleEndian<quint16>(value, header.data() + at); };
    header.replace(0, 4, "RIFF");
    put32(4, static_cast<quint32>(36 + samples.size()));
    header.replace(8, 8, "WAVEfmt ");
    put32(16, 16);
    put16(20, 1);
    put16(22, 1);
    put32(24, 22050);
    put32(28, 22050);
    put16(32, 1);
    put16(34, 8);
    header.replace(36, 4, "data");
    put32(40, static_cast<quint32>(samples.size()));
    return header + samples;
}

QByteArray sineSamples(double frequencyHz, int count)
{
    QByteArray samples(count, '\0');
    for (int i = 0; i < count; ++i)
        samples[i] = static_cast<char>(128 + std::lround(90 * std::sin(2 * M_PI * frequencyHz * i / 22050.0)));
    return samples;
}

QString needleOf(const QString& text)
{
    QByteArray needle = text.toUtf8().toBase64();
    needle.replace('+', '.').replace('/', '_').replace('=', '-');
    return QString::fromLatin1(needle);
}

QList<QByteArray> unpackAudio(const QByteArray& body)
{
    QList<QByteArray> blocks;
    const QJsonArray texts = QJsonDocument::fromJson(unzip(QByteArray::fromBase64(body))).array();
    for (const QJsonValue& text : texts)
        blocks.append(QByteArray::fromBase64(text.toString().toLatin1()));
    return blocks;
}
