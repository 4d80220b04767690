#include "api/AuthApi.h"

#include "ServiceOptions.h"
#include "api/SignInThrottle.h"
#include "http/ApiError.h"
#include "http/Messages.h"
#include "http/ServiceRouter.h"
#include "storage/Clock.h"
#include "storage/Database.h"
#include "storage/PasswordHasher.h"
#include "storage/TextFolding.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <sstream>

namespace localservice {

namespace {

constexpr size_t MinPasswordLength = 4;
constexpr size_t MaxPasswordLength = 128;

struct Credentials
{
    std::string username;
    std::string password;
};

// The user name and the password come in the form body only: a query
// string ends up in logs and browser histories.
Credentials credentialsOf(const httplib::Request& http)
{
    const size_t queryStart = http.target.find('?');
    if (queryStart != std::string::npos) {
        httplib::Params query;
        httplib::detail::parse_query_text(http.target.substr(queryStart + 1), query);
        if (query.count("password"))
            throw ApiError(400, "badQuery", {"password"});
    }
    httplib::Params form;
    if (http.get_header_value("Content-Type").rfind("application/x-www-form-urlencoded", 0) == 0)
        httplib::detail::parse_query_text(http.body, form);
    const auto value = [&form](const char* name) {
        const auto found = form.find(name);
        return found == form.end() ? std::string() : found->second;
    };
    Credentials credentials{value("username"), value("password")};
    if (credentials.username.empty() || credentials.password.empty())
        throw ApiError(400, "credentialsRequired");
    return credentials;
}

ApiResponse tooManyAttempts(const ApiRequest& request, std::int64_t waitMs)
{
    const std::string seconds = std::to_string((waitMs + 999) / 1000);
    ApiResponse answer =
        ApiResponse::json({{"message", message("tooManySignIns", request.language(), {seconds})}}, 429);
    answer.headers.emplace("Retry-After", seconds);
    return answer;
}

struct StoredAccount
{
    std::int64_t id = 0;
    std::string passwordHash;
    std::string language;
    std::string country;
};

std::optional<StoredAccount> accountNamed(Database& db, const std::string& username)
{
    Statement query = db.prepare("SELECT id, password_hash, language, country FROM accounts WHERE username = ?");
    query.bind(1, username);
    if (!query.step())
        return std::nullopt;
    return StoredAccount{query.integer(0), query.text(1), query.text(2), query.text(3)};
}

// The password hash is still the one that was checked, read inside the
// write transaction that depends on it.
bool passwordUnchanged(Database& db, std::int64_t accountId, const std::string& checkedHash)
{
    Statement query = db.prepare("SELECT password_hash FROM accounts WHERE id = ?");
    query.bind(1, accountId);
    return query.step() && query.text(0) == checkedHash;
}

// Hashing takes a noticeable time; it happens outside of any transaction so
// that nobody waits for it but the caller.
ApiResponse signIn(ApiRequest& request, const Sessions& sessions, SignInThrottle& throttle)
{
    const Credentials credentials = credentialsOf(request.http());
    const std::string& address = request.http().remote_addr;
    if (const std::int64_t waitMs = throttle.admit(credentials.username, address, currentTimeMs()))
        return tooManyAttempts(request, waitMs);

    Database& db = request.db();
    const std::optional<StoredAccount> account = accountNamed(db, credentials.username);
    // An unknown name costs as much time as a wrong password, so timing
    // doesn't tell which names exist.
    static const std::string decoy = PasswordHasher::hash("decoy");
    const bool verified = PasswordHasher::verify(credentials.password, account ? account->passwordHash : decoy);
    if (!verified || !account)
        throw ApiError(401, "wrongCredentials");
    throttle.succeeded(credentials.username, address);

    const std::int64_t now = currentTimeMs();
    Database::Transaction transaction(db);
    // A password changed meanwhile ended every session, this one too.
    if (!passwordUnchanged(db, account->id, account->passwordHash))
        throw ApiError(401, "wrongCredentials");
    sessions.removeExpired(db, now);
    const std::string token = sessions.open(db, account->id, now);
    transaction.commit();
    return ApiResponse::json({{"accessToken", token},
                              {"tokenType", "Bearer"},
                              {"language", account->language},
                              {"country", account->country}});
}

ApiResponse changePassword(ApiRequest& request, const Sessions& sessions)
{
    const nlohmann::json& body = request.jsonObject();
    const std::string oldPassword = field::text(body, "oldPassword");
    const std::string newPassword = field::text(body, "newPassword");
    const std::string repeatPassword = field::text(body, "repeatPassword");
    Database& db = request.db();
    const Account& account = request.account();

    std::string storedHash;
    {
        Statement stored = db.prepare("SELECT password_hash FROM accounts WHERE id = ?");
        stored.bind(1, account.id);
        if (stored.step())
            storedHash = stored.text(0);
    }
    if (storedHash.empty() || !PasswordHasher::verify(oldPassword, storedHash))
        throw ApiError(400, "wrongOldPassword");
    if (newPassword != repeatPassword)
        throw ApiError(400, "passwordsDiffer");
    const size_t length = utf8Length(newPassword);
    if (length < MinPasswordLength || length > MaxPasswordLength)
        throw ApiError(400, "passwordLength", {std::to_string(MinPasswordLength), std::to_string(MaxPasswordLength)});
    const std::string newHash = PasswordHasher::hash(newPassword);

    Database::Transaction transaction(db);
    // Of two changes made at once with the same old password, the second
    // finds it no longer current.
    if (!passwordUnchanged(db, account.id, storedHash))
        throw ApiError(400, "wrongOldPassword");
    db.prepare("UPDATE accounts SET password_hash = ? WHERE id = ?").bind(1, newHash).bind(2, account.id).run();
    // Every session of the account ends; the caller goes on with a new token.
    sessions.closeAllOf(db, account.id);
    const std::string token = sessions.open(db, account.id, currentTimeMs());
    transaction.commit();
    // Again now that the old sessions are gone for good: a request that read
    // one of them meanwhile doesn't keep it.
    sessions.forgetAccount(account.id);
    return ApiResponse::json({{"accessToken", token}});
}

ApiResponse changeLocale(ApiRequest& request)
{
    const nlohmann::json& body = request.jsonObject();
    std::string language = field::text(body, "locale");
    std::string country = field::text(body, "country");
    std::transform(language.begin(), language.end(), language.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::transform(country.begin(), country.end(), country.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const std::string name = language + "_" + country;
    if (name != "en_US" && name != "ru_RU")
        throw ApiError(400, "unsupportedLocale", {name});
    request.db()
        .prepare("UPDATE accounts SET language = ?, country = ? WHERE id = ?")
        .bind(1, language)
        .bind(2, country)
        .bind(3, request.account().id)
        .run();
    return ApiResponse::ok();
}

std::vector<long> versionParts(const std::string& version)
{
    std::vector<long> parts;
    std::stringstream stream(version);
    std::string part;
    while (std::getline(stream, part, '.')) {
        const bool numeric =
            !part.empty() && part.size() < 10 && part.find_first_not_of("0123456789") == std::string::npos;
        parts.push_back(numeric ? std::stol(part) : -1);
    }
    return parts;
}

} // namespace

bool isOlderVersion(const std::string& a, const std::string& b)
{
    std::vector<long> left = versionParts(a);
    std::vector<long> right = versionParts(b);
    const size_t size = std::max(left.size(), right.size());
    left.resize(size, 0);
    right.resize(size, 0);
    return left < right;
}

void addAuthApi(ServiceRouter& router, const ServiceOptions& options)
{
    const Sessions& sessions = router.sessions();
    auto throttle = std::make_shared<SignInThrottle>();
    router.post(
        "/auth/login", Access::Public,
        [&sessions, throttle](ApiRequest& request) { return signIn(request, sessions, *throttle); },
        Unit::OwnTransactions);
    router.post(
        "/auth/password", Access::SignedIn,
        [&sessions](ApiRequest& request) { return changePassword(request, sessions); }, Unit::OwnTransactions);
    router.put("/auth/locale", Access::SignedIn, changeLocale);
    const std::string latest = options.latestVersion;
    router.get("/auth/updates/?", Access::SignedIn, [latest](ApiRequest& request) {
        const std::string version = request.http().get_param_value("version");
        if (versionParts(version).empty() || versionParts(version).front() < 0)
            throw ApiError(400, "badQuery", {"version"});
        return ApiResponse::json({{"update", isOlderVersion(version, latest)}, {"version", latest}});
    });
}

} // namespace localservice
