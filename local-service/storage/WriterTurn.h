#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>

namespace localservice {

// The service's writers take turns at the database in the order they came:
// one write transaction at a time, first come, first served. Waiting here
// rather than in SQLite, whose busy writers sleep for growing lengths of
// time, lets the next writer start the moment the last one ends; and the
// order keeps a writer that comes back at once (the purge of removed
// recordings, a busy practitioner) from going ahead of those waiting. Each
// waiter is woken alone when its turn comes.
class WriterTurn
{
public:
    void lock();
    void unlock();

private:
    struct Waiter
    {
        std::condition_variable wake;
        bool turn = false;
    };

    std::mutex m_mutex;
    bool m_taken = false;
    std::deque<Waiter*> m_waiting;
};

} // namespace localservice
