#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <list>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace localservice {

// Connections waiting for their next request, watched together by one
// thread instead of holding a worker each: any number of idle callers then
// leave every worker free for those who send requests. A connection whose
// next request arrives is handed back to be served; one idle for longer than
// the idle timeout is closed, and so is the longest-idle one when the server
// needs room for a new connection.
class IdleConnections
{
public:
    using Clock = std::chrono::steady_clock;
    // Called on the watching thread with the socket and the number of
    // requests it has served.
    using Resume = std::function<void(int socket, std::size_t served)>;
    using Close = std::function<void(int socket)>;

    IdleConnections(std::chrono::milliseconds idleTimeout, Resume resume, Close close);
    ~IdleConnections();
    IdleConnections(const IdleConnections&) = delete;
    IdleConnections& operator=(const IdleConnections&) = delete;

    // Watches the connection until it has something to read or times out.
    // Once stopped, closes it at once.
    void park(int socket, std::size_t served);
    // Closes the connection idle the longest; false when none is parked.
    bool closeLongestIdle();
    // Closes every parked connection and ends the watching thread; nothing is
    // resumed afterwards.
    void stop();

private:
    struct Parked
    {
        int socket;
        std::size_t served;
        std::uint32_t generation;
        Clock::time_point deadline;
    };
    using Queue = std::list<Parked>; // oldest first: every deadline is park time + timeout

    void run();
    // Takes the connection out of the watch; the caller then owns it.
    Parked unwatch(Queue::iterator entry);
    int waitMs();

    const std::chrono::milliseconds m_idleTimeout;
    const Resume m_resume;
    const Close m_close;
    int m_epoll = -1;
    int m_wake = -1; // an eventfd that ends the watching thread's wait
    std::mutex m_mutex;
    Queue m_queue;
    std::unordered_map<int, Queue::iterator> m_bySocket;
    std::uint32_t m_generation = 0;
    bool m_stopped = false;
    std::thread m_thread;
};

} // namespace localservice
