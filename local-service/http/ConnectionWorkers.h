#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <httplib.h>
#include <mutex>
#include <thread>
#include <vector>

namespace localservice {

// The server's task queue: one job per connection, and a new worker whenever
// every worker is busy, up to a ceiling. A fixed pool lets as many idle or
// slow connections as it has workers lock every other caller out. Workers
// stay once started, so a burst pays for its threads only once.
class ConnectionWorkers : public httplib::TaskQueue
{
public:
    // beforeShutdown runs first thing in shutdown(), while the workers still
    // take jobs.
    ConnectionWorkers(size_t maxWorkers, std::function<void()> beforeShutdown = {});
    ~ConnectionWorkers() override;

    void enqueue(std::function<void()> job) override;
    // Lets the queued jobs finish, then joins every worker.
    void shutdown() override;

private:
    void work();

    const size_t m_maxWorkers;
    std::function<void()> m_beforeShutdown;
    std::mutex m_mutex;
    std::condition_variable m_jobReady;
    std::deque<std::function<void()>> m_jobs;
    std::vector<std::thread> m_workers;
    size_t m_idle = 0;
    bool m_stopping = false;
};

} // namespace localservice
