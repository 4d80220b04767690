#pragma once

#include "storage/WalCheckpointer.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace localservice {

class DatabaseError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Raw bytes to bind as a BLOB (text binds as TEXT).
struct Blob
{
    std::string_view bytes;
};

class StatementShelf;

class Statement
{
public:
    Statement(sqlite3* db, const char* sql, StatementShelf* shelf = nullptr);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement& operator=(Statement&&) = delete;

    // Parameters are numbered from 1, as SQLite does.
    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, int value) { return bind(index, static_cast<std::int64_t>(value)); }
    Statement& bind(int index, double value);
    Statement& bind(int index, std::string_view text);
    Statement& bind(int index, const std::string& text) { return bind(index, std::string_view(text)); }
    Statement& bind(int index, const char* text) { return bind(index, std::string_view(text)); }
    Statement& bind(int index, Blob blob);
    Statement& bindNull(int index);

    // True while a row is available.
    bool step();
    // Runs a statement that returns no rows.
    void run();
    // Makes the statement ready to run again, with its bindings kept.
    void reset();

    // Columns are numbered from 0.
    std::int64_t integer(int column) const;
    double real(int column) const;
    std::string text(int column) const;
    std::string blob(int column) const;
    bool isNull(int column) const;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
    StatementShelf* m_shelf = nullptr;
    std::string m_sql;
};

// A connection's prepared statements, kept for the next request that runs
// the same SQL: preparing costs more than most of the service's queries.
class StatementShelf
{
public:
    ~StatementShelf() { clear(); }
    // A kept statement of this SQL, reset and unbound, or null.
    sqlite3_stmt* take(const std::string& sql);
    // Keeps the statement, or finalizes it when the shelf is full.
    void give(const std::string& sql, sqlite3_stmt* statement);
    void clear();

private:
    std::unordered_map<std::string, std::vector<sqlite3_stmt*>> m_kept;
    size_t m_count = 0;
};

// One SQLite connection, used by one thread at a time (ConnectionPool lends
// them out). The database is in WAL mode: readers never wait, and writers
// take turns at SQLite's write lock, waiting for it up to the busy timeout.
class Database
{
public:
    explicit Database(const std::string& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    Statement prepare(const char* sql) { return Statement(m_db, sql, &m_shelf); }
    void execute(const char* sql);
    std::int64_t changes() const;
    bool inTransaction() const;
    sqlite3* handle() const { return m_db; }

    // Rolls back unless committed, so an error inside a request leaves
    // nothing half-written. A write transaction holds the write lock from
    // its start, so what it read stays true until it commits; a read
    // transaction sees one snapshot throughout. Inside another transaction
    // it is a savepoint of that one.
    class Transaction
    {
    public:
        enum class Mode
        {
            Write,
            Read
        };
        explicit Transaction(Database& db, Mode mode = Mode::Write);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        void commit();

    private:
        Database& m_db;
        bool m_nested;
        bool m_done = false;
    };

private:
    sqlite3* m_db = nullptr;
    StatementShelf m_shelf;
};

// Lends connections to the server's threads: each request works on one of
// its own, so requests of different accounts no longer wait for each other.
// Connections are opened when first needed and kept for the next request.
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
    // Before the connections: they report their commits to it until they
    // are closed.
    WalCheckpointer m_checkpointer;
    std::mutex m_mutex;
    std::vector<std::unique_ptr<Database>> m_idle;
};

} // namespace localservice
