#include "storage/ConnectionPool.h"

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

ConnectionPool::WriterLease::WriterLease(ConnectionPool& pool) : m_pool(pool)
{
    m_pool.m_writerTurn.lock();
    try {
        if (!m_pool.m_writer) {
            m_pool.m_writer = std::make_unique<Database>(m_pool.m_path);
            m_pool.m_writer->setKeyListCache(&m_pool.m_keyListCache);
            m_pool.m_checkpointer.watch(m_pool.m_writer->handle());
        }
    } catch (...) {
        m_pool.m_writerTurn.unlock();
        throw;
    }
}

ConnectionPool::WriterLease::~WriterLease()
{
    if (m_pool.m_writer->inTransaction()) {
        try {
            m_pool.m_writer->execute("ROLLBACK");
        } catch (const DatabaseError&) {
        }
    }
    m_pool.m_writerTurn.unlock();
}

} // namespace localservice
