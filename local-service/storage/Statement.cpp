#include "storage/Statement.h"

namespace localservice {

namespace {

[[noreturn]] void fail(sqlite3* db, const std::string& what)
{
    throw DatabaseError(what + ": " + sqlite3_errmsg(db));
}

} // namespace

void StatementShelf::clear()
{
    for (auto& [sql, statements] : m_kept)
        for (sqlite3_stmt* statement : statements)
            sqlite3_finalize(statement);
    m_kept.clear();
    m_count = 0;
}

sqlite3_stmt* StatementShelf::take(const std::string& sql)
{
    const auto found = m_kept.find(sql);
    if (found == m_kept.end() || found->second.empty())
        return nullptr;
    sqlite3_stmt* statement = found->second.back();
    found->second.pop_back();
    --m_count;
    return statement;
}

void StatementShelf::give(const std::string& sql, sqlite3_stmt* statement)
{
    constexpr size_t Capacity = 128;
    if (m_count >= Capacity) {
        sqlite3_finalize(statement);
        return;
    }
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    m_kept[sql].push_back(statement);
    ++m_count;
}

Statement::Statement(sqlite3* db, const char* sql, StatementShelf* shelf) : m_db(db), m_shelf(shelf)
{
    if (m_shelf) {
        m_sql = sql;
        m_statement = m_shelf->take(m_sql);
        if (m_statement)
            return;
    }
    if (sqlite3_prepare_v3(db, sql, -1, m_shelf ? SQLITE_PREPARE_PERSISTENT : 0, &m_statement, nullptr) != SQLITE_OK)
        fail(db, std::string("preparing ") + sql);
}

Statement::~Statement()
{
    if (m_shelf && m_statement)
        m_shelf->give(m_sql, m_statement);
    else
        sqlite3_finalize(m_statement);
}

Statement::Statement(Statement&& other) noexcept
    : m_db(other.m_db), m_statement(other.m_statement), m_shelf(other.m_shelf), m_sql(std::move(other.m_sql))
{
    other.m_statement = nullptr;
}

Statement& Statement::bind(int index, std::int64_t value)
{
    if (sqlite3_bind_int64(m_statement, index, value) != SQLITE_OK)
        fail(m_db, "binding");
    return *this;
}

Statement& Statement::bind(int index, double value)
{
    if (sqlite3_bind_double(m_statement, index, value) != SQLITE_OK)
        fail(m_db, "binding");
    return *this;
}

Statement& Statement::bind(int index, std::string_view text)
{
    if (sqlite3_bind_text64(m_statement, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8) != SQLITE_OK)
        fail(m_db, "binding");
    return *this;
}

Statement& Statement::bind(int index, Blob blob)
{
    // A zero-length blob still binds as a blob, not as NULL.
    if (sqlite3_bind_blob64(m_statement, index, blob.bytes.empty() ? "" : blob.bytes.data(), blob.bytes.size(),
                            SQLITE_TRANSIENT) != SQLITE_OK)
        fail(m_db, "binding");
    return *this;
}

Statement& Statement::bindNull(int index)
{
    if (sqlite3_bind_null(m_statement, index) != SQLITE_OK)
        fail(m_db, "binding");
    return *this;
}

bool Statement::step()
{
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW)
        return true;
    if (result == SQLITE_DONE)
        return false;
    fail(m_db, "stepping");
}

void Statement::run()
{
    while (step()) {
    }
}

void Statement::reset()
{
    sqlite3_reset(m_statement);
}

std::int64_t Statement::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

double Statement::real(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

std::string Statement::text(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return data ? std::string(data, static_cast<size_t>(sqlite3_column_bytes(m_statement, column))) : std::string();
}

std::string Statement::blob(int column) const
{
    const auto* data = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
    return data ? std::string(data, static_cast<size_t>(sqlite3_column_bytes(m_statement, column))) : std::string();
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

} // namespace localservice
