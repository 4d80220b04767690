#include "http/ConnectionWorkers.h"

#include <utility>

namespace localservice {

ConnectionWorkers::ConnectionWorkers(size_t maxWorkers, std::function<void()> beforeShutdown)
    : m_maxWorkers(maxWorkers == 0 ? 1 : maxWorkers), m_beforeShutdown(std::move(beforeShutdown))
{}

ConnectionWorkers::~ConnectionWorkers()
{
    shutdown();
}

void ConnectionWorkers::enqueue(std::function<void()> job)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_jobs.push_back(std::move(job));
    // Idle workers already woken for earlier jobs are not free for this one.
    if (m_jobs.size() > m_idle && m_workers.size() < m_maxWorkers)
        m_workers.emplace_back(&ConnectionWorkers::work, this);
    m_jobReady.notify_one();
}

void ConnectionWorkers::shutdown()
{
    if (m_beforeShutdown)
        std::exchange(m_beforeShutdown, nullptr)();
    std::vector<std::thread> workers;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_stopping = true;
        workers.swap(m_workers);
    }
    m_jobReady.notify_all();
    for (std::thread& worker : workers)
        worker.join();
}

void ConnectionWorkers::work()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            ++m_idle;
            m_jobReady.wait(lock, [this] { return !m_jobs.empty() || m_stopping; });
            --m_idle;
            if (m_jobs.empty())
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job();
    }
}

} // namespace localservice
