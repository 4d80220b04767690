#include "http/ApiRequest.h"

#include "http/ApiError.h"
#include "http/JsonBody.h"
#include "http/Messages.h"

#include <cmath>

namespace localservice {

ApiResponse ApiResponse::json(const nlohmann::json& value, int status)
{
    return {status, value.dump(), "application/json", {}};
}

ApiResponse ApiResponse::jsonText(std::string json, int status)
{
    return {status, std::move(json), "application/json", {}};
}

ApiResponse ApiResponse::text(std::string body)
{
    return {200, std::move(body), "text/plain; charset=utf-8", {}};
}

ApiResponse ApiResponse::ok()
{
    return json(nlohmann::json::object());
}

ApiRequest::ApiRequest(const httplib::Request& http, Database& db, std::optional<Account> account)
    : m_http(http)
    , m_db(&db)
    , m_account(std::move(account))
    , m_language(languageOf(http.get_header_value("Accept-Language")))
{}

std::string ApiRequest::pathParameter(size_t n) const
{
    return n < m_http.matches.size() ? m_http.matches[n].str() : std::string();
}

void ApiRequest::parseBodyAhead()
{
    if (m_body || !m_bodyProblem.empty())
        return;
    JsonBody parsed = parseJsonBody(m_http.body);
    if (!parsed.value)
        m_bodyProblem = parsed.problem;
    else if (!parsed.value->is_object())
        m_bodyProblem = "expectedObject";
    else
        m_body = std::move(parsed.value);
}

const nlohmann::json& ApiRequest::jsonObject()
{
    parseBodyAhead();
    if (!m_body)
        throw ApiError(400, m_bodyProblem);
    return *m_body;
}

std::string wholeHeaderValue(const httplib::Request& request, const char* name)
{
    const auto found = request.headers.find(name);
    return found == request.headers.end() ? std::string() : found->second;
}

namespace field {

namespace {

const nlohmann::json& member(const nlohmann::json& object, const char* name)
{
    const auto found = object.find(name);
    if (found == object.end() || found->is_null())
        throw ApiError(400, "fieldRequired", {name});
    return *found;
}

} // namespace

std::string text(const nlohmann::json& object, const char* name)
{
    const nlohmann::json& value = member(object, name);
    if (!value.is_string())
        throw ApiError(400, "fieldType", {name});
    return value.get<std::string>();
}

std::string optionalText(const nlohmann::json& object, const char* name)
{
    const auto found = object.find(name);
    if (found == object.end() || found->is_null())
        return {};
    if (!found->is_string())
        throw ApiError(400, "fieldType", {name});
    return found->get<std::string>();
}

std::int64_t integer(const nlohmann::json& object, const char* name)
{
    const nlohmann::json& value = member(object, name);
    if (value.is_number_integer())
        return value.get<std::int64_t>();
    if (value.is_number_float()) {
        const double number = value.get<double>();
        if (std::isfinite(number) && number == std::floor(number) && std::fabs(number) < 1e15)
            return static_cast<std::int64_t>(number);
    }
    throw ApiError(400, "fieldType", {name});
}

std::vector<std::string> textArray(const nlohmann::json& object, const char* name)
{
    const nlohmann::json& value = member(object, name);
    if (!value.is_array())
        throw ApiError(400, "fieldType", {name});
    std::vector<std::string> texts;
    for (const nlohmann::json& element : value) {
        if (!element.is_string())
            throw ApiError(400, "fieldType", {name});
        texts.push_back(element.get<std::string>());
    }
    return texts;
}

} // namespace field

} // namespace localservice
