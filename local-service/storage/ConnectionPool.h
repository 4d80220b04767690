#pragma once

#include "storage/Database.h"
#include "storage/KeyListCache.h"
#include "storage/WalCheckpointer.h"
#include "storage/WriterTurn.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace localservice {

// Lends connections to the server's threads: each request works on one of
// its own, so requests of different accounts no longer wait for each other.
// Connections are opened when first needed and kept for the next request;
// their write transactions take turns at the pool's WriterTurn.
class ConnectionPool
{
public:
    // SQLite's own threshold for copying the log back: about 4 MB.
    static constexpr int DefaultPagesPerCheckpoint = 1000;

    explicit ConnectionPool(std::string path, int pagesPerCheckpoint = DefaultPagesPerCheckpoint);

    class Lease
    {
    public:
        Lease(ConnectionPool& pool, std::unique_ptr<Database> db);
        ~Lease();
        Lease(Lease&& other) noexcept;
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        Lease& operator=(Lease&&) = delete;

        Database& db() const { return *m_db; }

    private:
        ConnectionPool* m_pool;
        std::unique_ptr<Database> m_db;
    };

    Lease lease();

    // The one connection kept for the endpoints that write, in the writers'
    // turn: as no other connection writes meanwhile (they wait for the same
    // turn), its cached pages stay valid from one write to the next, where a
    // connection of the pool finds them dropped by every other's commit.
    class WriterLease
    {
    public:
        explicit WriterLease(ConnectionPool& pool);
        // Rolls back what was left open, then gives the turn back.
        ~WriterLease();
        WriterLease(const WriterLease&) = delete;
        WriterLease& operator=(const WriterLease&) = delete;

        // Its write transactions don't wait for the turn: the lease holds it.
        Database& db() const { return *m_pool.m_writer; }

    private:
        ConnectionPool& m_pool;
    };

private:
    void giveBack(std::unique_ptr<Database> db);

    std::string m_path;
    WriterTurn m_writerTurn;
    // Before the connections: they report their commits to it until they
    // are closed.
    WalCheckpointer m_checkpointer;
    // Before the connections, which point to it.
    KeyListCache m_keyListCache;
    std::mutex m_mutex;
    std::vector<std::unique_ptr<Database>> m_idle;
    std::unique_ptr<Database> m_writer; // opened in the first writer's turn
};

} // namespace localservice
