#include "storage/WriterTurn.h"

namespace localservice {

void WriterTurn::lock()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const std::uint64_t ticket = m_issued++;
    m_next.wait(lock, [this, ticket] { return m_serving == ticket; });
}

void WriterTurn::unlock()
{
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        ++m_serving;
    }
    m_next.notify_all();
}

} // namespace localservice
