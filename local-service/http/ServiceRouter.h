#pragma once

#include "http/ApiRequest.h"
#include "http/ServiceHttpServer.h"

#include <functional>
#include <httplib.h>
#include <mutex>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

namespace localservice {

class Database;

enum class Access
{
    Public,
    SignedIn
};
using Endpoint = std::function<ApiResponse(ApiRequest&)>;

// Puts the service's endpoints on the HTTP server and gives every one the
// same treatment: the database lock for the whole request, the bearer token
// check, JSON error bodies in the caller's language for every refusal, 405
// for a known path with another method, bodies read up to the size limit
// and one log line per request.
class ServiceRouter
{
public:
    ServiceRouter(ServiceHttpServer& server, Database& db, std::ostream& log);

    void get(const std::string& pattern, Access access, Endpoint endpoint);
    void post(const std::string& pattern, Access access, Endpoint endpoint);
    void put(const std::string& pattern, Access access, Endpoint endpoint);
    void remove(const std::string& pattern, Access access, Endpoint endpoint);

    // Call once, after every endpoint is added.
    void finish();

private:
    httplib::Server::Handler wrap(Access access, Endpoint endpoint);
    // Reads the body within the size limit before the handler sees the
    // request; a larger or broken body is refused and its connection closed.
    httplib::Server::HandlerWithContentReader bodyFirst(httplib::Server::Handler handler) const;
    void remember(const char* method, const std::string& pattern);
    void answerUnrouted(const httplib::Request& request, httplib::Response& response) const;
    std::optional<Account> signedInAccount(const httplib::Request& request) const;
    void logRequest(const httplib::Request& request, const httplib::Response& response);

    ServiceHttpServer& m_server;
    Database& m_db;
    std::ostream& m_log;
    std::mutex m_logMutex;
    std::vector<std::pair<std::string, std::regex>> m_routes;
};

} // namespace localservice
