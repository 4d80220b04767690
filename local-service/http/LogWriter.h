#pragma once

#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

namespace localservice {

// The service's log lines, written by a thread of their own a few at a time:
// a write of its own for each request costs the service a system call and
// whoever reads the log a wake-up. Lines keep their order and reach the
// stream within a fiftieth of a second, and all of them before the writer is
// gone.
class LogWriter
{
public:
    explicit LogWriter(std::ostream& stream);
    ~LogWriter();
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    // One line, without its newline.
    void write(const std::string& line);

private:
    void run();

    std::ostream& m_stream;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::string m_pending;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace localservice
