#pragma once

#include "storage/Database.h"
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

private:
    void giveBack(std::unique_ptr<Database> db);

    std::string m_path;
    WriterTurn m_writerTurn;
    // Before the connections: they report their commits to it until they
    // are closed.
    WalCheckpointer m_checkpointer;
    std::mutex m_mutex;
    std::vector<std::unique_ptr<Database>> m_idle;
};

} // namespace localservice
