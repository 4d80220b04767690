#include "storage/ConnectionPool.h"

#include <chrono>
#include <condition_variable>

namespace localservice {

ConnectionPool::ConnectionPool(std::string path, int pagesPerCheckpoint)
    : m_path(std::move(path)), m_checkpointer(m_path, pagesPerCheckpoint, m_writerTurn)
{}

ConnectionPool::Lease ConnectionPool::lease()
{
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (!m_idle.empty()) {
            std::unique_ptr<Database> db = std::move(m_idle.back());
            m_idle.pop_back();
            return Lease(*this, std::move(db));
        }
    }
    auto db = std::make_unique<Database>(m_path);
    db->setWriterTurn(&m_writerTurn);
    db->setKeyListCache(&m_keyListCache);
    m_checkpointer.watch(db->handle());
    return Lease(*this, std::move(db));
}

void ConnectionPool::giveBack(std::unique_ptr<Database> db)
{
    // A connection comes back outside any transaction, whatever its
    // borrower left behind.
    if (db->inTransaction()) {
        try {
            db->execute("ROLLBACK");
        } catch (const DatabaseError&) {
            return;
        }
    }
    std::lock_guard<std::mutex> guard(m_mutex);
    m_idle.push_back(std::move(db));
}

ConnectionPool::Lease::Lease(ConnectionPool& pool, std::unique_ptr<Database> db) : m_pool(&pool), m_db(std::move(db)) {}

ConnectionPool::Lease::Lease(Lease&& other) noexcept : m_pool(other.m_pool), m_db(std::move(other.m_db)) {}

ConnectionPool::Lease::~Lease()
{
    if (m_db)
        m_pool->giveBack(std::move(m_db));
}

// The units of work that share a transaction, and how its commit went.
struct WriteGroup
{
    std::chrono::steady_clock::time_point began = std::chrono::steady_clock::now();
    int units = 0;
    std::mutex mutex;
    std::condition_variable stored;
    bool done = false;
    bool committed = false;

    void tell(bool wasCommitted)
    {
        {
            std::lock_guard<std::mutex> guard(mutex);
            done = true;
            committed = wasCommitted;
        }
        stored.notify_all();
    }
};

namespace {

// Enough to share most of a busy moment's pages; few and short enough that
// the first unit's answer does not wait long for the last.
constexpr int MaxUnitsInGroup = 16;
constexpr std::chrono::milliseconds MaxGroupLength{10};

} // namespace

ConnectionPool::GroupedWrite::GroupedWrite(ConnectionPool& pool) : m_pool(pool)
{
    m_pool.m_writerTurn.lockJoiningGroup();
    try {
        if (!m_pool.m_writer) {
            m_pool.m_writer = std::make_unique<Database>(m_pool.m_path);
            m_pool.m_writer->setKeyListCache(&m_pool.m_keyListCache);
            m_pool.m_checkpointer.watch(m_pool.m_writer->handle());
        }
        if (!m_pool.m_openGroup) {
            m_pool.m_writer->prepare("BEGIN IMMEDIATE").run();
            m_pool.m_openGroup = std::make_shared<WriteGroup>();
        }
    } catch (...) {
        m_pool.m_writerTurn.unlock();
        throw;
    }
    m_group = m_pool.m_openGroup;
    ++m_group->units;
}

ConnectionPool::GroupedWrite::~GroupedWrite()
{
    if (!m_finished)
        handOverOrCommit();
}

bool ConnectionPool::GroupedWrite::finish()
{
    handOverOrCommit();
    std::unique_lock<std::mutex> lock(m_group->mutex);
    m_group->stored.wait(lock, [this] { return m_group->done; });
    return m_group->committed;
}

void ConnectionPool::GroupedWrite::handOverOrCommit()
{
    m_finished = true;
    // A transaction SQLite ended itself (a full disk rolls it back) is not
    // handed on: its units are told that nothing of theirs was stored.
    const bool young = std::chrono::steady_clock::now() - m_group->began < MaxGroupLength;
    if (young && m_group->units < MaxUnitsInGroup && m_pool.m_writer->inTransaction() &&
        m_pool.m_writerTurn.nextJoinsGroup()) {
        // The next unit goes on in this transaction.
        m_pool.m_writerTurn.unlock();
        return;
    }
    bool committed = false;
    try {
        if (m_pool.m_writer->inTransaction()) {
            m_pool.m_writer->prepare("COMMIT").run();
            committed = true;
        }
    } catch (const DatabaseError&) {
        try {
            if (m_pool.m_writer->inTransaction())
                m_pool.m_writer->execute("ROLLBACK");
        } catch (const DatabaseError&) {
        }
    }
    m_pool.m_openGroup.reset();
    m_pool.m_writerTurn.unlock();
    m_group->tell(committed);
}

} // namespace localservice
