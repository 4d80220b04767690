#include "storage/Samples.h"

#include "storage/ConnectionPool.h"

#include <chrono>
#include <vector>

namespace localservice {

namespace {

// How often the purge looks for removed samples; a removal is rare, and its
// samples wait harmlessly.
constexpr std::chrono::milliseconds LookEvery{500};

bool anyRemoved(Database& db)
{
    Statement query = db.prepare("SELECT EXISTS (SELECT 1 FROM samples_removed)");
    return query.step() && query.integer(0) != 0;
}

} // namespace

std::int64_t storeSamples(Database& db, std::string_view samples)
{
    db.prepare("INSERT INTO samples (bytes) VALUES (?)").bind(1, Blob{samples}).run();
    return sqlite3_last_insert_rowid(db.handle());
}

bool purgeRemovedSamples(Database& db, std::size_t byteBudget)
{
    Database::Transaction transaction(db);
    std::vector<std::int64_t> ids;
    {
        Statement queued = db.prepare("SELECT q.samples_id, coalesce(length(s.bytes), 0) FROM samples_removed q "
                                      "LEFT JOIN samples s ON s.id = q.samples_id ORDER BY q.samples_id LIMIT 256");
        std::size_t bytes = 0;
        while (bytes < byteBudget && queued.step()) {
            ids.push_back(queued.integer(0));
            bytes += static_cast<std::size_t>(queued.integer(1));
        }
    }
    for (const std::int64_t id : ids) {
        db.prepare("DELETE FROM samples WHERE id = ?").bind(1, id).run();
        db.prepare("DELETE FROM samples_removed WHERE samples_id = ?").bind(1, id).run();
    }
    const bool more = anyRemoved(db);
    transaction.commit();
    return more;
}

SamplesPurge::SamplesPurge(ConnectionPool& pool) : m_pool(pool), m_thread([this] { run(); }) {}

SamplesPurge::~SamplesPurge()
{
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void SamplesPurge::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopping) {
        lock.unlock();
        const bool more = purgeAll();
        lock.lock();
        if (!more)
            m_wake.wait_for(lock, LookEvery, [this] { return m_stopping; });
    }
}

bool SamplesPurge::purgeAll()
{
    try {
        const ConnectionPool::Lease connection = m_pool.lease();
        Database& db = connection.db();
        if (!anyRemoved(db))
            return false;
        // One round at a time, so that the service stops soon even in the
        // middle of a long purge.
        return purgeRemovedSamples(db, BytesPerRound);
    } catch (const DatabaseError&) {
        // Tried again at the next look.
        return false;
    }
}

} // namespace localservice
