#pragma once

#include "http/ApiRequest.h"
#include "http/LogWriter.h"
#include "http/ServiceHttpServer.h"
#include "storage/Sessions.h"

#include <functional>
#include <httplib.h>
#include <mutex>
#include <ostream>
#include <regex>
#include <string>
#include <unordered_map>
#include <vector>

namespace localservice {

class ConnectionPool;
class Database;

enum class Access
{
    Public,
    SignedIn
};
using Endpoint = std::function<ApiResponse(ApiRequest&)>;

// How an endpoint's work meets the database.
enum class Unit
{
    // One snapshot, read beside every other request.
    Read,
    // One write transaction: all of it is stored, or none of it. Writers
    // take turns, readers don't wait for them.
    Write,
    // The endpoint opens its own transactions, to keep slow work such as
    // password hashing outside of any.
    OwnTransactions
};

// Puts the service's endpoints on the HTTP server and gives every one the
// same treatment: a database connection of its own and its unit of work, the
// bearer token check, JSON error bodies in the caller's language for every
// refusal, 405 for a known path with another method, bodies read up to the
// size limit and one log line per request.
class ServiceRouter
{
public:
    ServiceRouter(ServiceHttpServer& server, ConnectionPool& pool, Sessions sessions, std::ostream& log);

    // GET reads, the other methods write, unless the endpoint says otherwise.
    void get(const std::string& pattern, Access access, Endpoint endpoint, Unit unit = Unit::Read);
    void post(const std::string& pattern, Access access, Endpoint endpoint, Unit unit = Unit::Write);
    void put(const std::string& pattern, Access access, Endpoint endpoint, Unit unit = Unit::Write);
    void remove(const std::string& pattern, Access access, Endpoint endpoint, Unit unit = Unit::Write);

    const Sessions& sessions() const { return m_sessions; }

    // Call once, after every endpoint is added.
    void finish();

private:
    httplib::Server::Handler wrap(Access access, Endpoint endpoint, Unit unit);
    // Reads the body within the size limit before the handler sees the
    // request; a larger or broken body is refused and its connection closed.
    httplib::Server::HandlerWithContentReader bodyFirst(httplib::Server::Handler handler) const;
    void remember(const char* method, const std::string& pattern);
    void answerUnrouted(const httplib::Request& request, httplib::Response& response) const;
    std::optional<Account> signedInAccount(Database& db, const httplib::Request& request);
    void logRequest(const httplib::Request& request, const httplib::Response& response);
    void writeLogLine(const std::string& line);

    ServiceHttpServer& m_server;
    ConnectionPool& m_pool;
    Sessions m_sessions;
    LogWriter m_log;
    // Accounts never change what Account holds, and are never removed.
    std::mutex m_accountsMutex;
    std::unordered_map<std::int64_t, Account> m_accounts;
    std::vector<std::pair<std::string, std::regex>> m_routes;
};

} // namespace localservice
