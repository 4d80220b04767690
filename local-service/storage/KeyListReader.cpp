#include "storage/KeyListReader.h"

#include "storage/Database.h"

#include <algorithm>

namespace localservice {

namespace {

constexpr std::size_t MaxWaiting = 8;

} // namespace

KeyListReader::KeyListReader(std::string path) : m_path(std::move(path)), m_thread(&KeyListReader::run, this) {}

KeyListReader::~KeyListReader()
{
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void KeyListReader::readLater(const std::string& name, Read read)
{
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        const bool asked =
            name == m_reading || std::any_of(m_waiting.begin(), m_waiting.end(),
                                             [&name](const auto& waiting) { return waiting.first == name; });
        if (asked || m_waiting.size() >= MaxWaiting)
            return;
        m_waiting.emplace_back(name, std::move(read));
    }
    m_wake.notify_one();
}

void KeyListReader::run()
{
    std::unique_ptr<Database> db;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
        if (m_stopping)
            return;
        auto [name, read] = std::move(m_waiting.front());
        m_waiting.pop_front();
        m_reading = name;
        lock.unlock();
        try {
            if (!db)
                db = std::make_unique<Database>(m_path);
            read(*db);
        } catch (const std::exception&) {
            // Nothing kept: the list is read along its index until a later
            // request asks again.
            db.reset();
        }
        lock.lock();
        m_reading.clear();
    }
}

} // namespace localservice
