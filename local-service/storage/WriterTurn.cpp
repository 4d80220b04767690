#include "storage/WriterTurn.h"

namespace localservice {

void WriterTurn::take(bool joinsGroup)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_taken && m_waiting.empty()) {
        m_taken = true;
        return;
    }
    Waiter waiter;
    waiter.joinsGroup = joinsGroup;
    m_waiting.push_back(&waiter);
    waiter.wake.wait(lock, [&waiter] { return waiter.turn; });
}

bool WriterTurn::nextJoinsGroup()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return !m_waiting.empty() && m_waiting.front()->joinsGroup;
}

std::size_t WriterTurn::waiting()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_waiting.size();
}

void WriterTurn::unlock()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_waiting.empty()) {
        m_taken = false;
        return;
    }
    // The turn passes straight to the next in line, so no one can slip in.
    Waiter* next = m_waiting.front();
    m_waiting.pop_front();
    next->turn = true;
    next->wake.notify_one();
}

} // namespace localservice
