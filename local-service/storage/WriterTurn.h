#pragma once

#include <condition_variable>
#include <cstddef>
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
    void lock() { take(false); }
    void unlock();

    // The turn of a request's unit of work, which may go on in the open
    // transaction of the units before it (ConnectionPool::GroupedWrite).
    void lockJoiningGroup() { take(true); }
    // True when the next in line takes the turn with lockJoiningGroup(): the
    // holder may then hand the turn over with its transaction still open.
    bool nextJoinsGroup();
    // How many wait for the turn.
    std::size_t waiting();

private:
    struct Waiter
    {
        std::condition_variable wake;
        bool turn = false;
        bool joinsGroup = false;
    };

    void take(bool joinsGroup);

    std::mutex m_mutex;
    bool m_taken = false;
    std::deque<Waiter*> m_waiting;
};

} // namespace localservice
