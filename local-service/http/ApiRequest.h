#pragma once

#include <cstdint>
#include <httplib.h>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace localservice {

class Database;

// The signed-in practitioner: what never changes of an account.
struct Account
{
    std::int64_t id = 0;
    std::string username;
    std::string displayName;
};

// What an endpoint answers.
struct ApiResponse
{
    int status = 200;
    std::string body;
    std::string contentType = "application/json";
    httplib::Headers headers;

    static ApiResponse json(const nlohmann::json& value, int status = 200);
    // JSON written already, as by JsonText.
    static ApiResponse jsonText(std::string json, int status = 200);
    static ApiResponse text(std::string body);
    // The answer of calls whose body the client ignores.
    static ApiResponse ok();
};

// One request as the endpoints see it: the signed-in account, the language
// of the answer's texts, path captures and checked readers of the body.
class ApiRequest
{
public:
    ApiRequest(const httplib::Request& http, Database& db, std::optional<Account> account);

    const httplib::Request& http() const { return m_http; }
    Database& db() const { return *m_db; }
    // The request's work goes on on another connection from now on.
    void moveTo(Database& db) { m_db = &db; }
    // Present on every endpoint that requires signing in.
    const Account& account() const { return *m_account; }
    const std::string& language() const { return m_language; }

    // The n-th capture of the path pattern, from 1.
    std::string pathParameter(size_t n) const;

    // The body as a JSON object; a malformed body or another JSON value is a
    // 400 answer.
    const nlohmann::json& jsonObject();
    // Parses the body now, before the endpoint's work, so that a write
    // doesn't parse while others wait for their turn; a refusal waits for
    // jsonObject(), as endpoints that ignore the body never see it.
    void parseBodyAhead();

private:
    const httplib::Request& m_http;
    Database* m_db;
    std::optional<Account> m_account;
    std::string m_language;
    std::optional<nlohmann::json> m_body;
    std::string m_bodyProblem; // a message key, when the body was refused
};

// The first value of the header, whole, or empty: the library's own reader
// stops at a NUL, which the library's percent-decoding of header values lets
// a caller send.
std::string wholeHeaderValue(const httplib::Request& request, const char* name);

// Readers of members of a request object: a missing member or one of the
// wrong type is a 400 answer that names the member.
namespace field {
std::string text(const nlohmann::json& object, const char* name);
std::string optionalText(const nlohmann::json& object, const char* name);
std::int64_t integer(const nlohmann::json& object, const char* name);
std::vector<std::string> textArray(const nlohmann::json& object, const char* name);
} // namespace field

} // namespace localservice
