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

struct WriteGroup;

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
    std::size_t writersWaiting() { return m_writerTurn.waiting(); }

    // The one connection kept for the endpoints that write, in the writers'
    // turn: as no other connection writes meanwhile (they wait for the same
    // turn), its cached pages stay valid from one write to the next, where a
    // connection of the pool finds them dropped by every other's commit.
    //
    // Units of work that queue for the turn share one transaction: a unit
    // whose successor is already waiting hands the turn over with the
    // transaction open, and the last of them commits for all. Each unit's
    // own work is kept or undone on its own (a savepoint, which the caller
    // opens); what they share is the commit, so that the pages several of
    // them change are written to the log once, and readers find their cached
    // pages dropped once for the whole group.
    class GroupedWrite
    {
    public:
        explicit GroupedWrite(ConnectionPool& pool);
        // Finishes as finish() does, without waiting for the group's commit:
        // a unit that ends by an exception has nothing of its own to store.
        ~GroupedWrite();
        GroupedWrite(const GroupedWrite&) = delete;
        GroupedWrite& operator=(const GroupedWrite&) = delete;

        // Its transaction is open: the caller's transactions nest in it.
        Database& db() const { return *m_pool.m_writer; }

        // Ends the unit: hands the turn to the next unit, or commits the
        // group. Returns once the group is committed, true when it was; false
        // when the commit failed and nothing of the group was stored.
        bool finish();

    private:
        void handOverOrCommit();

        ConnectionPool& m_pool;
        std::shared_ptr<WriteGroup> m_group;
        bool m_finished = false;
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
    // The group whose transaction is open on m_writer; only the turn's
    // holder touches it.
    std::shared_ptr<WriteGroup> m_openGroup;
};

} // namespace localservice
