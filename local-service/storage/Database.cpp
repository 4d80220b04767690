#include "storage/Database.h"

#include "storage/TextFolding.h"
#include "storage/WriterTurn.h"

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

// in_key_set(key): whether the key is in the connection's key set.
void inKeySetFunction(sqlite3_context* context, int, sqlite3_value** arguments)
{
    const auto* keys = static_cast<const KeySet*>(sqlite3_user_data(context));
    sqlite3_result_int(context, keys->contains(sqlite3_value_int64(arguments[0])) ? 1 : 0);
}

} // namespace

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
    if (sqlite3_create_function_v2(m_db, "in_key_set", 1, SQLITE_UTF8 | SQLITE_INNOCUOUS, &m_keySet, inKeySetFunction,
                                   nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(m_db, "adding in_key_set");
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
    // Prepared once per connection: parsing them again costs more than a
    // short transaction's work.
    if (m_nested) {
        m_db.prepare("SAVEPOINT nested").run();
        return;
    }
    if (mode == Mode::Read) {
        m_db.prepare("BEGIN DEFERRED").run();
        return;
    }
    if (m_db.m_writerTurn) {
        m_db.m_writerTurn->lock();
        m_heldTurn = m_db.m_writerTurn;
    }
    try {
        m_db.prepare("BEGIN IMMEDIATE").run();
    } catch (...) {
        if (m_heldTurn)
            m_heldTurn->unlock();
        throw;
    }
}

Database::Transaction::~Transaction()
{
    if (m_done)
        return;
    try {
        if (m_nested) {
            m_db.prepare("ROLLBACK TO nested").run();
            m_db.prepare("RELEASE nested").run();
        } else if (m_db.inTransaction()) {
            m_db.prepare("ROLLBACK").run();
        }
    } catch (const DatabaseError&) {
    }
    if (m_heldTurn)
        m_heldTurn->unlock();
}

void Database::Transaction::commit()
{
    m_db.prepare(m_nested ? "RELEASE nested" : "COMMIT").run();
    m_done = true;
    if (m_heldTurn)
        m_heldTurn->unlock();
}

} // namespace localservice
