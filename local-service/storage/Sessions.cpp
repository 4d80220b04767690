#include "storage/Sessions.h"

#include "storage/Database.h"
#include "storage/PasswordHasher.h"

#include <algorithm>

namespace localservice {

Sessions::Sessions(std::int64_t idleLimitMs)
    : m_idleLimitMs(idleLimitMs), m_useGranularityMs(std::min<std::int64_t>(60000, idleLimitMs / 10))
{}

std::string Sessions::open(Database& db, std::int64_t accountId, std::int64_t nowMs) const
{
    const std::string token = newAccessToken();
    db.prepare("INSERT INTO tokens (digest, account_id, created_at, last_used_at) VALUES (?, ?, ?, ?)")
        .bind(1, tokenDigest(token))
        .bind(2, accountId)
        .bind(3, nowMs)
        .bind(4, nowMs)
        .run();
    return token;
}

std::optional<std::int64_t> Sessions::accountOf(Database& db, const std::string& token, std::int64_t nowMs) const
{
    const std::string digest = tokenDigest(token);
    std::int64_t accountId = 0;
    std::int64_t lastUsed = 0;
    {
        Statement query = db.prepare("SELECT account_id, last_used_at FROM tokens WHERE digest = ?");
        query.bind(1, digest);
        if (!query.step())
            return std::nullopt;
        accountId = query.integer(0);
        lastUsed = query.integer(1);
    }
    // Writes wait for their turn like every other.
    if (nowMs - lastUsed >= m_idleLimitMs) {
        Database::Transaction transaction(db);
        removeExpired(db, nowMs);
        transaction.commit();
        return std::nullopt;
    }
    if (nowMs - lastUsed >= m_useGranularityMs) {
        Database::Transaction transaction(db);
        db.prepare("UPDATE tokens SET last_used_at = ?1 WHERE digest = ?2 AND last_used_at < ?1")
            .bind(1, nowMs)
            .bind(2, digest)
            .run();
        transaction.commit();
    }
    return accountId;
}

void Sessions::closeAllOf(Database& db, std::int64_t accountId) const
{
    db.prepare("DELETE FROM tokens WHERE account_id = ?").bind(1, accountId).run();
}

void Sessions::removeExpired(Database& db, std::int64_t nowMs) const
{
    db.prepare("DELETE FROM tokens WHERE last_used_at <= ?").bind(1, nowMs - m_idleLimitMs).run();
}

} // namespace localservice
