#pragma once

#include <cstdint>
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

} // namespace localservice
