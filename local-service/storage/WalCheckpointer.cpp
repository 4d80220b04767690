#include "storage/WalCheckpointer.h"

#include "storage/Database.h"
#include "storage/WriterTurn.h"

#include <utility>

namespace localservice {

namespace {

// A log this many times over the threshold means the thread can't keep up;
// the commit then copies it itself, as SQLite would, so the log stays
// bounded.
constexpr int CommitCopiesAbove = 16;
// A log this many times over the threshold is not starting afresh: readers
// always hold an older snapshot.
constexpr int RestartAbove = 4;

} // namespace

WalCheckpointer::WalCheckpointer(std::string path, int pagesPerCheckpoint, WriterTurn& writerTurn)
    : m_path(std::move(path))
    , m_pagesPerCheckpoint(pagesPerCheckpoint)
    , m_writerTurn(writerTurn)
    , m_thread([this] { run(); })
{}

WalCheckpointer::~WalCheckpointer()
{
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void WalCheckpointer::watch(sqlite3* db)
{
    sqlite3_wal_autocheckpoint(db, 0);
    sqlite3_wal_hook(db, &WalCheckpointer::onCommit, this);
}

int WalCheckpointer::onCommit(void* self, sqlite3* db, const char* schema, int walPages)
{
    auto* checkpointer = static_cast<WalCheckpointer*>(self);
    if (walPages < checkpointer->m_pagesPerCheckpoint)
        return SQLITE_OK;
    if (walPages >= checkpointer->m_pagesPerCheckpoint * CommitCopiesAbove)
        sqlite3_wal_checkpoint_v2(db, schema, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    {
        std::lock_guard<std::mutex> guard(checkpointer->m_mutex);
        checkpointer->m_due = true;
        // A log this long has not started afresh for a while.
        if (walPages >= checkpointer->m_pagesPerCheckpoint * RestartAbove)
            checkpointer->m_restartDue = true;
    }
    checkpointer->m_wake.notify_one();
    return SQLITE_OK;
}

void WalCheckpointer::run()
{
    std::unique_ptr<Database> db;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_due || m_stopping; });
        if (m_stopping)
            return;
        m_due = false;
        const bool restart = std::exchange(m_restartDue, false);
        lock.unlock();
        try {
            if (!db) {
                db = std::make_unique<Database>(m_path);
                // Writers wait while readers are waited for: not for long.
                sqlite3_busy_timeout(db->handle(), 10);
            }
            // Passive: readers and writers go on while the log is copied.
            // Only when the log keeps growing is the rest copied with writers
            // held back, and the readers of older snapshots waited for: they
            // are short, and the next write then starts the log afresh.
            db->execute("PRAGMA wal_checkpoint(PASSIVE)");
            if (restart) {
                std::lock_guard<WriterTurn> turn(m_writerTurn);
                db->execute("PRAGMA wal_checkpoint(RESTART)");
            }
        } catch (const DatabaseError&) {
            // Copied by the next round, or by a commit once the log is long.
        }
        lock.lock();
    }
}

} // namespace localservice
