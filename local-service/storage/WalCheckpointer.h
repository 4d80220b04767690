#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <sqlite3.h>
#include <string>
#include <thread>

namespace localservice {

class Database;
class WriterTurn;

// Copies the write-ahead log back into the database file on a thread of its
// own. SQLite would otherwise do it inside the commit that crosses the
// threshold, syncing the files while every other writer queues behind that
// one. Under steady reads a copy alone seldom lets the log start again from
// its beginning (some reader always holds an older snapshot), and the log
// grows without end; so once it has grown long, a copy ends by waiting, in
// the writers' turn, for the readers of old snapshots to finish, after which
// the next write starts the log afresh.
class WalCheckpointer
{
public:
    WalCheckpointer(std::string path, int pagesPerCheckpoint, WriterTurn& writerTurn);
    ~WalCheckpointer();
    WalCheckpointer(const WalCheckpointer&) = delete;
    WalCheckpointer& operator=(const WalCheckpointer&) = delete;

    // From now on the connection's commits leave the copying to this thread.
    void watch(sqlite3* db);

private:
    static int onCommit(void* self, sqlite3* db, const char* schema, int walPages);
    void run();

    const std::string m_path;
    const int m_pagesPerCheckpoint;
    WriterTurn& m_writerTurn;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_due = false;
    bool m_restartDue = false;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace localservice
