#pragma once

#include "http/TransportLimits.h"

#include <array>
#include <atomic>
#include <chrono>
#include <httplib.h>
#include <string>

namespace localservice {

// One accepted connection as the library's request parser reads it, with the
// service's deadlines: a whole request must arrive within its deadline, and
// no read or write may stall longer than the stall timeout. Reads are
// buffered, since the parser asks for the request line byte by byte.
class ConnectionStream : public httplib::Stream
{
public:
    using Clock = std::chrono::steady_clock;

    ConnectionStream(socket_t socket, const TransportLimits& limits, const std::atomic<socket_t>& listening);

    enum class Next
    {
        Request, // its first byte is there (or the caller has closed)
        Silence, // nothing within the wait
        Stopped  // the server stops
    };
    // Waits up to `wait` for the first byte of the next request.
    Next awaitRequest(std::chrono::milliseconds wait);
    // Starts the deadline of the request about to be read.
    void beginRequest() { m_requestDeadline = Clock::now() + m_limits.requestDeadline; }
    // True once a read or write gave up on a deadline: the connection is
    // then in an unknown state and is closed.
    bool timedOut() const { return m_timedOut; }
    // Sends what the answer left waiting; false when the connection failed.
    bool flush();

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return m_socket; }

private:
    enum class Wait
    {
        Ready,
        Expired,
        Stopped
    };
    Wait waitFor(short events, Clock::time_point until) const;
    // True when a read may be tried before waiting for it.
    bool mayTryAtOnce() const;
    // Reads what is there, waiting within the deadlines when nothing is.
    ssize_t receive(char* ptr, size_t size);
    size_t buffered() const { return m_end - m_begin; }
    // Sends the bytes whole, waiting within the stall timeout.
    bool sendAll(const char* first, size_t firstSize, const char* second, size_t secondSize);

    socket_t m_socket;
    const TransportLimits& m_limits;
    const std::atomic<socket_t>& m_listening;
    Clock::time_point m_requestDeadline = Clock::time_point::max();
    bool m_timedOut = false;
    std::array<char, 16 * 1024> m_buffer{};
    size_t m_begin = 0;
    size_t m_end = 0;
    // An answer's head waits here for its body, so that both leave in one
    // send and one packet.
    std::string m_pending;
    // The two ends' addresses, asked for once: the library asks on every request.
    mutable std::string m_remoteIp;
    mutable int m_remotePort = -1;
    mutable std::string m_localIp;
    mutable int m_localPort = -1;
};

} // namespace localservice
