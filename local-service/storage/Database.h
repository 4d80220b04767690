#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <string_view>

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

class Statement
{
public:
    Statement(sqlite3* db, const char* sql);
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

    // Columns are numbered from 0.
    std::int64_t integer(int column) const;
    double real(int column) const;
    std::string text(int column) const;
    std::string blob(int column) const;
    bool isNull(int column) const;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
};

// One SQLite connection shared by the server's threads. Callers hold the
// lock for the whole of a request, which makes every request one
// consistent unit.
class Database
{
public:
    explicit Database(const std::string& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    std::unique_lock<std::mutex> lock() { return std::unique_lock<std::mutex>(m_mutex); }

    Statement prepare(const char* sql) { return Statement(m_db, sql); }
    void execute(const char* sql);
    std::int64_t changes() const;

    // Rolls back unless committed, so an error inside a request leaves
    // nothing half-written.
    class Transaction
    {
    public:
        explicit Transaction(Database& db);
        ~Transaction();
        void commit();

    private:
        Database& m_db;
        bool m_done = false;
    };

private:
    sqlite3* m_db = nullptr;
    std::mutex m_mutex;
};

} // namespace localservice
