#include "support/FakePatientService.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

QByteArray key(const QByteArray& method, const QString& path)
{
    return method + ' ' + path.toUtf8();
}

QByteArray compact(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

FakePatientService::FakePatientService()
{
    setPage(0, {});
    m_server.setHandler([this](const RecordedRequest& request) { return respond(request); });
}

void FakePatientService::setSignInLocale(const QString& language, const QString& country)
{
    m_language = language;
    m_country = country;
}

void FakePatientService::setPage(int pages, const QList<QJsonObject>& patients)
{
    QJsonArray data;
    for (const QJsonObject& patient : patients)
        data.append(patient);
    m_page = compact({{QStringLiteral("pages"), pages}, {QStringLiteral("data"), data}});
}

void FakePatientService::answer(const QByteArray& method, const QString& path, const ScriptedResponse& response)
{
    m_answers.insert(key(method, path), response);
}

QList<RecordedRequest> FakePatientService::requests(const QByteArray& method, const QString& path) const
{
    QList<RecordedRequest> found;
    for (const RecordedRequest& request : m_server.requests())
        if (request.method == method && request.path() == path)
            found << request;
    return found;
}

QJsonObject FakePatientService::patient(const QString& id, const QString& name, int age, const QString& gender)
{
    return {{QStringLiteral("id"), id},
            {QStringLiteral("name"), name},
            {QStringLiteral("age"), age},
            {QStringLiteral("gender"), gender},
            {QStringLiteral("birthDate"), QStringLiteral("1985-03-14")},
            {QStringLiteral("phone"), QStringLiteral("+1 555 0100")},
            {QStringLiteral("notes"), QStringLiteral("notes of ") + name}};
}

ScriptedResponse FakePatientService::respond(const RecordedRequest& request)
{
    const auto scripted = m_answers.constFind(key(request.method, request.path()));
    if (scripted != m_answers.constEnd())
        return *scripted;

    const QString path = request.path();
    if (path == QLatin1String("/auth/login"))
        return ScriptedResponse::json(200, compact({{QStringLiteral("tokenType"), QStringLiteral("Bearer")},
                                                    {QStringLiteral("accessToken"), QStringLiteral("token-1")},
                                                    {QStringLiteral("language"), m_language},
                                                    {QStringLiteral("country"), m_country}}));
    if (path == QLatin1String("/patient/filter"))
        return ScriptedResponse::json(200, m_page);
    if (path == QLatin1String("/patient") && (request.method == "POST" || request.method == "PUT")) {
        // The service answers with the stored patient; a new one gets an id.
        QJsonObject stored = QJsonDocument::fromJson(request.body).object();
        if (!stored.contains(QStringLiteral("id")))
            stored.insert(QStringLiteral("id"), QStringLiteral("new-%1").arg(m_server.requests().size()));
        return ScriptedResponse::json(request.method == "POST" ? 201 : 200, compact(stored));
    }
    if (path == QLatin1String("/auth/password"))
        return ScriptedResponse::json(200, R"({"accessToken":"token-2"})");
    if (path == QLatin1String("/auth/updates/"))
        return ScriptedResponse::json(200, R"({"update":false})");
    if (request.method == "DELETE" || path == QLatin1String("/auth/locale"))
        return ScriptedResponse::json(200, "{}");
    return ScriptedResponse::json(404, R"({"message":"Not found"})");
}
