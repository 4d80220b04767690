#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace localservice {

class Database;

// Sign-in sessions: bearer tokens stored as their digests, each ending after
// a period without use. Expired tokens are removed whenever one is seen and
// whenever someone signs in. The sessions seen are remembered in memory as
// well, so that a request's token costs no read of the database: every
// change of the stored sessions goes through this class.
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
    // Ends every session of the account; once the transaction that does so
    // has committed, call forgetAccount().
    void closeAllOf(Database& db, std::int64_t accountId) const;
    void forgetAccount(std::int64_t accountId) const;
    void removeExpired(Database& db, std::int64_t nowMs) const;

private:
    struct Known
    {
        std::int64_t accountId;
        std::int64_t lastUsedMs; // as stored
    };
    // By token digest; shared by the copies of the object.
    struct Memory
    {
        std::mutex mutex;
        std::unordered_map<std::string, Known> sessions;
        // Counts forgotten accounts: a session read from the database while
        // it changed is not remembered, as it may be one just ended.
        std::uint64_t forgettings = 0;
    };

    std::int64_t m_idleLimitMs;
    // A use is written down only when the last one written is this old:
    // every request would otherwise be a write.
    std::int64_t m_useGranularityMs;
    std::shared_ptr<Memory> m_memory = std::make_shared<Memory>();
};

} // namespace localservice
