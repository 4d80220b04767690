#include "http/ServiceRouter.h"

#include "http/ApiError.h"
#include "http/BoundedBody.h"
#include "http/Messages.h"
#include "storage/Clock.h"
#include "storage/ConnectionPool.h"
#include "storage/Database.h"
#include "storage/TextFolding.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace localservice {

namespace {

using SteadyClock = std::chrono::steady_clock;

// The server answers each connection on one thread, so the start of the
// request being answered can live in a thread-local.
thread_local SteadyClock::time_point requestStart;

void sendJson(httplib::Response& response, int status, const nlohmann::json& body)
{
    response.status = status;
    response.set_content(body.dump(), "application/json");
}

void sendMessage(httplib::Response& response, int status, const std::string& text)
{
    sendJson(response, status, {{"message", text}});
}

// The token of an "Authorization" value of the form "Bearer <token>", or
// empty. The value is taken whole: the library's own reader stops at a NUL,
// which would let anything after a valid token pass.
std::string bearerToken(const httplib::Request& request)
{
    const std::string header = wholeHeaderValue(request, "Authorization");
    const std::string scheme = "bearer ";
    if (header.size() <= scheme.size() || header.size() > 512)
        return {};
    for (size_t i = 0; i < scheme.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(header[i])) != scheme[i])
            return {};
    }
    // The characters of a bearer token; nothing may follow it.
    const std::string token = header.substr(scheme.size());
    const bool wellFormed = std::all_of(token.begin(), token.end(), [](unsigned char c) {
        return std::isalnum(c) || std::strchr("-._~+/=", c) != nullptr;
    });
    return wellFormed ? token : std::string();
}

// Every body but the record upload's form and the sign-in's is JSON.
bool isJsonBody(const httplib::Request& request)
{
    return !request.body.empty() && !request.is_multipart_form_data() &&
           request.get_header_value("Content-Type").rfind("application/x-www-form-urlencoded", 0) != 0;
}

ApiResponse runAsUnit(Database& db, Unit unit, const std::function<ApiResponse()>& work)
{
    if (unit == Unit::OwnTransactions)
        return work();
    Database::Transaction transaction(db, unit == Unit::Write ? Database::Transaction::Mode::Write
                                                              : Database::Transaction::Mode::Read);
    ApiResponse answer = work();
    // A refusal answered rather than thrown stores nothing either.
    if (answer.status < 400)
        transaction.commit();
    return answer;
}

// Refuses a request whose body can't be told from what follows it, and
// closes its connection: the rest of it is left unread.
void refuseFraming(const httplib::Request& request, httplib::Response& response, int status)
{
    const char* key = status == 413 ? "payloadTooLarge" : status == 501 ? "transferCoding" : "badRequest";
    sendMessage(response, status, message(key, languageOf(request.get_header_value("Accept-Language"))));
    ServiceHttpServer::closeAfterAnswer(response);
}

} // namespace

ServiceRouter::ServiceRouter(ServiceHttpServer& server, ConnectionPool& pool, Sessions sessions, std::ostream& log)
    : m_server(server), m_pool(pool), m_sessions(sessions), m_log(log)
{}

void ServiceRouter::get(const std::string& pattern, Access access, Endpoint endpoint, Unit unit)
{
    remember("GET", pattern);
    m_server.Get(pattern, wrap(access, std::move(endpoint), unit));
}

void ServiceRouter::post(const std::string& pattern, Access access, Endpoint endpoint, Unit unit)
{
    remember("POST", pattern);
    m_server.Post(pattern, bodyFirst(wrap(access, std::move(endpoint), unit)));
}

void ServiceRouter::put(const std::string& pattern, Access access, Endpoint endpoint, Unit unit)
{
    remember("PUT", pattern);
    m_server.Put(pattern, bodyFirst(wrap(access, std::move(endpoint), unit)));
}

void ServiceRouter::remove(const std::string& pattern, Access access, Endpoint endpoint, Unit unit)
{
    remember("DELETE", pattern);
    m_server.Delete(pattern, bodyFirst(wrap(access, std::move(endpoint), unit)));
}

void ServiceRouter::remember(const char* method, const std::string& pattern)
{
    m_routes.emplace_back(method, std::regex(pattern));
}

httplib::Server::Handler ServiceRouter::wrap(Access access, Endpoint endpoint, Unit unit)
{
    return [this, access, unit, endpoint = std::move(endpoint)](const httplib::Request& request,
                                                                httplib::Response& response) {
        const std::string language = languageOf(request.get_header_value("Accept-Language"));
        try {
            const ConnectionPool::Lease connection = m_pool.lease();
            Database& db = connection.db();
            std::optional<Account> account;
            if (access == Access::SignedIn) {
                account = signedInAccount(db, request);
                if (!account)
                    throw ApiError(401, "unauthorized");
            }
            ApiRequest apiRequest(request, db, std::move(account));
            if (isJsonBody(request))
                apiRequest.parseBodyAhead();
            const auto work = [&] { return endpoint(apiRequest); };
            ApiResponse answer;
            if (unit == Unit::Write) {
                ConnectionPool::GroupedWrite writer(m_pool);
                apiRequest.moveTo(writer.db());
                answer = runAsUnit(writer.db(), unit, work);
                if (!writer.finish() && answer.status < 400)
                    throw DatabaseError("the write transaction did not commit");
            } else {
                answer = runAsUnit(db, unit, work);
            }
            response.status = answer.status;
            for (const auto& [name, value] : answer.headers)
                response.set_header(name.c_str(), value);
            // Moved, not copied as set_content would: audio answers are megabytes.
            response.body = std::move(answer.body);
            response.set_header("Content-Type", answer.contentType);
        } catch (const ApiError& error) {
            sendMessage(response, error.status(), message(error.key(), language, error.args()));
        } catch (const ValidationError& error) {
            nlohmann::json errors = nlohmann::json::array();
            for (const FieldProblem& problem : error.problems())
                errors.push_back({{problem.field, message(problem.key, language, problem.args)}});
            sendJson(response, 400, {{"message", nullptr}, {"errors", errors}});
        } catch (const nlohmann::json::exception&) {
            // Reading a member with the wrong type slipped past the checks.
            sendMessage(response, 400, message("badRequest", language));
        } catch (const std::exception& error) {
            writeLogLine("error while answering " + request.method + ' ' + request.path + ": " + error.what());
            sendMessage(response, 500, message("internal", language));
        }
    };
}

httplib::Server::HandlerWithContentReader ServiceRouter::bodyFirst(httplib::Server::Handler handler) const
{
    const size_t limit = m_server.limits().maxBodyBytes;
    return [handler = std::move(handler), limit](const httplib::Request& request, httplib::Response& response,
                                                 const httplib::ContentReader& reader) {
        httplib::Request whole;
        const BodyReading reading = readBoundedBody(request, reader, limit, whole);
        if (reading == BodyReading::Complete) {
            handler(whole, response);
            return;
        }
        const std::string language = languageOf(request.get_header_value("Accept-Language"));
        if (reading == BodyReading::TooLarge)
            sendMessage(response, 413, message("payloadTooLarge", language));
        else
            sendMessage(response, 400, message("badRequest", language));
        ServiceHttpServer::closeAfterAnswer(response);
    };
}

std::optional<Account> ServiceRouter::signedInAccount(Database& db, const httplib::Request& request)
{
    const std::string token = bearerToken(request);
    if (token.empty())
        return std::nullopt;
    const std::optional<std::int64_t> accountId = m_sessions.accountOf(db, token, currentTimeMs());
    if (!accountId)
        return std::nullopt;
    {
        std::lock_guard<std::mutex> guard(m_accountsMutex);
        const auto known = m_accounts.find(*accountId);
        if (known != m_accounts.end())
            return known->second;
    }
    Statement query = db.prepare("SELECT id, username, display_name FROM accounts WHERE id = ?");
    query.bind(1, *accountId);
    if (!query.step())
        return std::nullopt;
    const Account account{query.integer(0), query.text(1), query.text(2)};
    std::lock_guard<std::mutex> guard(m_accountsMutex);
    m_accounts.emplace(account.id, account);
    return account;
}

void ServiceRouter::answerUnrouted(const httplib::Request& request, httplib::Response& response) const
{
    const std::string language = languageOf(request.get_header_value("Accept-Language"));
    for (const auto& [method, pattern] : m_routes) {
        if (std::regex_match(request.path, pattern)) {
            sendMessage(response, 405, message("methodNotAllowed", language, {request.method, request.path}));
            return;
        }
    }
    sendMessage(response, 404, message("notFound", language, {request.path}));
}

void ServiceRouter::finish()
{
    const auto unrouted = [this](const httplib::Request& request, httplib::Response& response) {
        answerUnrouted(request, response);
    };
    m_server.Get(".*", unrouted);
    m_server.Post(".*", bodyFirst(unrouted));
    m_server.Put(".*", bodyFirst(unrouted));
    m_server.Delete(".*", bodyFirst(unrouted));
    m_server.Patch(".*", bodyFirst(unrouted));
    m_server.Options(".*", unrouted);

    m_server.set_pre_routing_handler([](const httplib::Request& request, httplib::Response& response) {
        requestStart = SteadyClock::now();
        if (const int refusal = ServiceHttpServer::framingRefusal()) {
            refuseFraming(request, response, refusal);
            return httplib::Server::HandlerResponse::Handled;
        }
        // A path that is not UTF-8 names nothing here, and could not be
        // quoted back in a JSON message.
        if (!isValidUtf8(request.path)) {
            sendMessage(response, 400, message("badRequest", languageOf(request.get_header_value("Accept-Language"))));
            ServiceHttpServer::closeAfterAnswer(response); // its body is left unread
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    // A caller that waits for leave to send its body learns of a refusal
    // instead, without "100 Continue" first.
    const size_t bodyLimit = m_server.limits().maxBodyBytes;
    m_server.set_expect_100_continue_handler([bodyLimit](const httplib::Request& request, httplib::Response& response) {
        int refusal = ServiceHttpServer::framingRefusal();
        if (refusal == 0 && request.has_header("Content-Length") &&
            request.get_header_value<std::uint64_t>("Content-Length") > bodyLimit)
            refusal = 413;
        if (refusal == 0)
            return 100;
        refuseFraming(request, response, refusal);
        // The library adds the length to routed answers only.
        response.set_header("Content-Length", std::to_string(response.body.size()));
        return refusal;
    });
    // Whatever escapes a handler is logged here and answered plainly: the
    // library would otherwise put the exception's text into a header.
    m_server.set_exception_handler(
        [this](const httplib::Request& request, httplib::Response& response, std::exception_ptr thrown) {
            std::string what = "unknown exception";
            try {
                std::rethrow_exception(thrown);
            } catch (const std::exception& error) {
                what = error.what();
            } catch (...) {
            }
            writeLogLine("error while answering " + request.method + ": " + what);
            sendMessage(response, 500, message("internal", languageOf(request.get_header_value("Accept-Language"))));
        });
    // Refusals made by the server itself (413, 400 for a broken request
    // line, ...) get a JSON body like every other refusal.
    m_server.set_error_handler(
        httplib::Server::HandlerWithResponse([](const httplib::Request& request, httplib::Response& response) {
            if (!response.body.empty())
                return httplib::Server::HandlerResponse::Unhandled;
            // The request could not be read: whatever follows on the
            // connection is no request either.
            ServiceHttpServer::closeAfterAnswer(response);
            const std::string language = languageOf(request.get_header_value("Accept-Language"));
            const char* key = response.status == 413   ? "payloadTooLarge"
                              : response.status == 404 ? "notFound"
                              : response.status >= 500 ? "internal"
                                                       : "badRequest";
            sendMessage(response, response.status, message(key, language, {request.path}));
            return httplib::Server::HandlerResponse::Handled;
        }));
    // An answer that closes its connection doesn't offer to keep it.
    m_server.set_post_routing_handler([](const httplib::Request&, httplib::Response& response) {
        if (response.get_header_value("Connection") == "close")
            response.headers.erase("Keep-Alive");
    });
    m_server.set_logger(
        [this](const httplib::Request& request, const httplib::Response& response) { logRequest(request, response); });
}

void ServiceRouter::logRequest(const httplib::Request& request, const httplib::Response& response)
{
    // Only the method, the path (never the query, which may hold search
    // text), the status and the time: no headers, no bodies, no tokens.
    const auto elapsed =
        requestStart == SteadyClock::time_point()
            ? 0
            : std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - requestStart).count();
    requestStart = SteadyClock::time_point();
    writeLogLine(request.method + ' ' + quotedShort(request.path) + ' ' + std::to_string(response.status) + ' ' +
                 std::to_string(elapsed) + " ms");
}

void ServiceRouter::writeLogLine(const std::string& line)
{
    m_log.write(line);
}

} // namespace localservice
