#include "http/LogWriter.h"

#include <chrono>

namespace localservice {

namespace {

constexpr std::chrono::milliseconds Gathering{20};
// Written at once when this much is waiting.
constexpr std::size_t Plenty = 32 * 1024;

} // namespace

LogWriter::LogWriter(std::ostream& stream) : m_stream(stream), m_thread([this] { run(); }) {}

LogWriter::~LogWriter()
{
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void LogWriter::write(const std::string& line)
{
    bool plenty = false;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_pending += line;
        m_pending += '\n';
        plenty = m_pending.size() >= Plenty;
    }
    if (plenty)
        m_wake.notify_one();
}

void LogWriter::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait_for(lock, Gathering, [this] { return m_stopping || m_pending.size() >= Plenty; });
        std::string lines;
        lines.swap(m_pending);
        const bool stopping = m_stopping;
        lock.unlock();
        if (!lines.empty()) {
            m_stream.write(lines.data(), std::streamsize(lines.size()));
            m_stream.flush();
        }
        if (stopping)
            return;
        lock.lock();
    }
}

} // namespace localservice
