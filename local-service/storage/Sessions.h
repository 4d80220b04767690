#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace localservice {

class Database;

// Sign-in sessions: bearer tokens stored as their digests, each ending after
// a period without use. Expired tokens are removed whenever one is seen and
// whenever someone signs in.
class Sessions
{
public:
    explicit Sessions(std::int64_t idleLimitMs);

    // A new token of the account; the caller keeps it, the database only
    // its digest.
    std::string open(Database& db, std::int64_t accountId, std::int64_t nowMs) const;
    // The account of a live token, marked as used now; nullopt for an
    // unknown or expired one.
    std::optional<std::int64_t> accountOf(Database& db, const std::string& token, std::int64_t nowMs) const;
    void closeAllOf(Database& db, std::int64_t accountId) const;
    void removeExpired(Database& db, std::int64_t nowMs) const;

private:
    std::int64_t m_idleLimitMs;
    // A use is written down only when the last one written is this old:
    // every request would otherwise be a write.
    std::int64_t m_useGranularityMs;
};

} // namespace localservice
