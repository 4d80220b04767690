#include "api/AuthApi.h"

#include "ServiceOptions.h"
#include "http/ApiError.h"
#include "http/ServiceRouter.h"
#include "storage/Clock.h"
#include "storage/Database.h"
#include "storage/PasswordHasher.h"
#include "storage/TextFolding.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace localservice {

namespace {

constexpr size_t MinPasswordLength = 4;
constexpr size_t MaxPasswordLength = 128;

std::string issueToken(Database& db, std::int64_t accountId)
{
    const std::string token = newAccessToken();
    db.prepare("INSERT INTO tokens (digest, account_id, created_at) VALUES (?, ?, ?)")
        .bind(1, tokenDigest(token))
        .bind(2, accountId)
        .bind(3, currentTimeMs())
        .run();
    return token;
}

ApiResponse signIn(ApiRequest& request)
{
    const httplib::Request& http = request.http();
    const std::string username = http.get_param_value("username");
    const std::string password = http.get_param_value("password");
    if (username.empty() || password.empty())
        throw ApiError(400, "credentialsRequired");

    Statement query =
        request.db().prepare("SELECT id, password_hash, language, country FROM accounts WHERE username = ?");
    query.bind(1, username);
    const bool known = query.step();
    // An unknown name costs as much time as a wrong password, so timing
    // doesn't tell which names exist.
    static const std::string decoy = PasswordHasher::hash("decoy");
    const bool verified = PasswordHasher::verify(password, known ? query.text(1) : decoy) && known;
    if (!verified)
        throw ApiError(401, "wrongCredentials");

    const std::int64_t accountId = query.integer(0);
    return ApiResponse::json({{"accessToken", issueToken(request.db(), accountId)},
                              {"tokenType", "Bearer"},
                              {"language", query.text(2)},
                              {"country", query.text(3)}});
}

ApiResponse changePassword(ApiRequest& request)
{
    const nlohmann::json& body = request.jsonObject();
    const std::string oldPassword = field::text(body, "oldPassword");
    const std::string newPassword = field::text(body, "newPassword");
    const std::string repeatPassword = field::text(body, "repeatPassword");
    Database& db = request.db();
    const Account& account = request.account();

    Statement stored = db.prepare("SELECT password_hash FROM accounts WHERE id = ?");
    stored.bind(1, account.id);
    if (!stored.step() || !PasswordHasher::verify(oldPassword, stored.text(0)))
        throw ApiError(400, "wrongOldPassword");
    if (newPassword != repeatPassword)
        throw ApiError(400, "passwordsDiffer");
    const size_t length = utf8Length(newPassword);
    if (length < MinPasswordLength || length > MaxPasswordLength)
        throw ApiError(400, "passwordLength", {std::to_string(MinPasswordLength), std::to_string(MaxPasswordLength)});

    Database::Transaction transaction(db);
    db.prepare("UPDATE accounts SET password_hash = ? WHERE id = ?")
        .bind(1, PasswordHasher::hash(newPassword))
        .bind(2, account.id)
        .run();
    // Every session of the account ends; the caller goes on with a new token.
    db.prepare("DELETE FROM tokens WHERE account_id = ?").bind(1, account.id).run();
    const std::string token = issueToken(db, account.id);
    transaction.commit();
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
    router.post("/auth/login", Access::Public, signIn);
    router.post("/auth/password", Access::SignedIn, changePassword);
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
