#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace localservice {

// The service's writers take turns at the database in the order they came:
// one write transaction at a time, first come, first served. Waiting here
// rather than in SQLite, whose busy writers sleep for growing lengths of
// time, lets the next writer start the moment the last one ends; and the
// order keeps a writer that comes back at once (the purge of removed
// recordings, a busy practitioner) from going ahead of those waiting.
class WriterTurn
{
public:
    void lock();
    void unlock();

private:
    std::mutex m_mutex;
    std::condition_variable m_next;
    std::uint64_t m_issued = 0;
    std::uint64_t m_serving = 0;
};

} // namespace localservice
