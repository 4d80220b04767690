#pragma once

#include "storage/KeySet.h"
#include "storage/Statement.h"

#include <cstdint>
#include <sqlite3.h>
#include <string>

namespace localservice {

class KeyListCache;
class WriterTurn;

// One SQLite connection, used by one thread at a time (ConnectionPool lends
// them out). The database is in WAL mode: readers never wait, and writers
// take turns: at the service's WriterTurn when the connection has one, else
// at SQLite's write lock, waiting for it up to the busy timeout.
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
    // Write transactions of this connection wait for their turn there.
    void setWriterTurn(WriterTurn* turn) { m_writerTurn = turn; }
    // What in_key_set(key) tests in this connection's SQL.
    KeySet& keySet() { return m_keySet; }
    // Key lists shared with the other connections to the same database;
    // null when the connection has none.
    void setKeyListCache(KeyListCache* cache) { m_keyListCache = cache; }
    KeyListCache* keyListCache() const { return m_keyListCache; }

    // Rolls back unless committed, so an error inside a request leaves
    // nothing half-written. A write transaction holds the write lock from
    // its start, so what it read stays true until it commits; a read
    // transaction sees one snapshot throughout. Inside another transaction
    // it is a savepoint of that one. A write transaction waits for the
    // connection's writer turn first and holds it until it ends.
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
        WriterTurn* m_heldTurn = nullptr;
        bool m_done = false;
    };

private:
    sqlite3* m_db = nullptr;
    StatementShelf m_shelf;
    WriterTurn* m_writerTurn = nullptr;
    KeySet m_keySet;
    KeyListCache* m_keyListCache = nullptr;
};

} // namespace localservice
