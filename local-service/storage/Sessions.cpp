#include "storage/Sessions.h"

#include "storage/Database.h"
#include "storage/PasswordHasher.h"

#include <algorithm>
#include <iterator>

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
    std::optional<Known> known;
    std::uint64_t forgettings = 0;
    {
        std::lock_guard<std::mutex> guard(m_memory->mutex);
        const auto found = m_memory->sessions.find(digest);
        if (found != m_memory->sessions.end())
            known = found->second;
        forgettings = m_memory->forgettings;
    }
    if (!known) {
        Statement query = db.prepare("SELECT account_id, last_used_at FROM tokens WHERE digest = ?");
        query.bind(1, digest);
        if (!query.step())
            return std::nullopt;
        known = Known{query.integer(0), query.integer(1)};
        std::lock_guard<std::mutex> guard(m_memory->mutex);
        if (m_memory->forgettings == forgettings)
            m_memory->sessions.emplace(digest, *known);
    }
    // Writes wait for their turn like every other.
    if (nowMs - known->lastUsedMs >= m_idleLimitMs) {
        Database::Transaction transaction(db);
        removeExpired(db, nowMs);
        transaction.commit();
        return std::nullopt;
    }
    if (nowMs - known->lastUsedMs >= m_useGranularityMs) {
        Database::Transaction transaction(db);
        db.prepare("UPDATE tokens SET last_used_at = ?1 WHERE digest = ?2 AND last_used_at < ?1")
            .bind(1, nowMs)
            .bind(2, digest)
            .run();
        transaction.commit();
        std::lock_guard<std::mutex> guard(m_memory->mutex);
        const auto found = m_memory->sessions.find(digest);
        if (found != m_memory->sessions.end())
            found->second.lastUsedMs = std::max(found->second.lastUsedMs, nowMs);
    }
    return known->accountId;
}

void Sessions::closeAllOf(Database& db, std::int64_t accountId) const
{
    db.prepare("DELETE FROM tokens WHERE account_id = ?").bind(1, accountId).run();
    forgetAccount(accountId);
}

void Sessions::forgetAccount(std::int64_t accountId) const
{
    std::lock_guard<std::mutex> guard(m_memory->mutex);
    ++m_memory->forgettings;
    for (auto it = m_memory->sessions.begin(); it != m_memory->sessions.end();)
        it = it->second.accountId == accountId ? m_memory->sessions.erase(it) : std::next(it);
}

void Sessions::removeExpired(Database& db, std::int64_t nowMs) const
{
    db.prepare("DELETE FROM tokens WHERE last_used_at <= ?").bind(1, nowMs - m_idleLimitMs).run();
    std::lock_guard<std::mutex> guard(m_memory->mutex);
    for (auto it = m_memory->sessions.begin(); it != m_memory->sessions.end();)
        it = nowMs - it->second.lastUsedMs >= m_idleLimitMs ? m_memory->sessions.erase(it) : std::next(it);
}

} // namespace localservice
