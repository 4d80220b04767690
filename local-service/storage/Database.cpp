#include "storage/Database.h"

#include "storage/TextFolding.h"

namespace localservice {

namespace {

[[noreturn]] void fail(sqlite3* db, const std::string& what)
{
    throw DatabaseError(what + ": " + sqlite3_errmsg(db));
}

// short_runs(text): the text's runs of one or two code points, each as a
// word of the hexadecimal digits of its bytes, for the short-run index of
// the schema, which splits words at spaces.
void shortRunsFunction(sqlite3_context* context, int, sqlite3_value** arguments)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
    const std::string words =
        hexWords(shortRuns(std::string_view(text ? text : "", static_cast<size_t>(sqlite3_value_bytes(arguments[0])))));
    sqlite3_result_text(context, words.data(), static_cast<int>(words.size()), SQLITE_TRANSIENT);
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

Database::Database(const std::string& path)
{
    if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        const std::string message = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        throw DatabaseError("opening " + path + ": " + message);
    }
    // Writers queue behind each other; a write transaction is short, so
    // waiting this long means something is stuck.
    sqlite3_busy_timeout(m_db, 10000);
    if (sqlite3_create_function_v2(m_db, "short_runs", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                   nullptr, shortRunsFunction, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(m_db, "adding short_runs");
    execute("PRAGMA foreign_keys = ON");
    execute("PRAGMA journal_mode = WAL");
    execute("PRAGMA synchronous = NORMAL");
    // The log is truncated back to this size once it has been copied.
    execute("PRAGMA journal_size_limit = 16777216");
    // No mapped pages: a connection drops its whole mapping whenever another
    // one has committed, and under steady writes remapping and faulting the
    // pages in again cost more than the reads saved.
    execute("PRAGMA mmap_size = 0");
}

Database::~Database()
{
    // A connection with statements left open does not close.
    m_shelf.clear();
    sqlite3_close(m_db);
}

void Database::execute(const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw DatabaseError(std::string("executing ") + sql + ": " + message);
    }
}

std::int64_t Database::changes() const
{
    return sqlite3_changes64(m_db);
}

bool Database::inTransaction() const
{
    return sqlite3_get_autocommit(m_db) == 0;
}

Database::Transaction::Transaction(Database& db, Mode mode) : m_db(db), m_nested(db.inTransaction())
{
    if (m_nested)
        m_db.execute("SAVEPOINT nested");
    else
        m_db.execute(mode == Mode::Write ? "BEGIN IMMEDIATE" : "BEGIN DEFERRED");
}

Database::Transaction::~Transaction()
{
    if (m_done)
        return;
    try {
        if (m_nested)
            m_db.execute("ROLLBACK TO nested; RELEASE nested");
        else if (m_db.inTransaction())
            m_db.execute("ROLLBACK");
    } catch (const DatabaseError&) {
    }
}

void Database::Transaction::commit()
{
    m_db.execute(m_nested ? "RELEASE nested" : "COMMIT");
    m_done = true;
}

ConnectionPool::ConnectionPool(std::string path, int pagesPerCheckpoint)
    : m_path(std::move(path)), m_checkpointer(m_path, pagesPerCheckpoint)
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

} // namespace localservice
