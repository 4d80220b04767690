#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace localservice {

class Database;

// Reads key lists on a thread of its own, on a connection of its own, so
// that the request that finds a list worth keeping is answered the way it
// would have been without it, and the requests after it find the list kept.
// A list already waiting is not asked for twice; beyond a few waiting, new
// ones are dropped (a later request asks again).
class KeyListReader
{
public:
    using Read = std::function<void(Database&)>;

    explicit KeyListReader(std::string path);
    ~KeyListReader();
    KeyListReader(const KeyListReader&) = delete;
    KeyListReader& operator=(const KeyListReader&) = delete;

    void readLater(const std::string& name, Read read);

private:
    void run();

    const std::string m_path;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::pair<std::string, Read>> m_waiting;
    std::string m_reading;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace localservice
