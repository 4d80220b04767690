#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <sqlite3.h>
#include <string>
#include <thread>

namespace localservice {

class Database;

// Copies the write-ahead log back into the database file on a thread of its
// own. SQLite would otherwise do it inside the commit that crosses the
// threshold, syncing the files while every other writer queues behind that
// one.
class WalCheckpointer
{
public:
    WalCheckpointer(std::string path, int pagesPerCheckpoint);
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
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_due = false;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace localservice
