#include "http/ConnectionStream.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>

namespace localservice {

namespace {

// Waits are cut into slices so that a stopping server is noticed quickly.
constexpr std::chrono::milliseconds WaitSlice{200};

void addressOf(const sockaddr_storage& address, std::string& ip, int& port)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        port = ntohs(v4.sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
        inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        port = ntohs(v6.sin6_port);
    }
    ip = text;
}

} // namespace

ConnectionStream::ConnectionStream(socket_t socket, const TransportLimits& limits,
                                   const std::atomic<socket_t>& listening)
    : m_socket(socket), m_limits(limits), m_listening(listening)
{}

ConnectionStream::Wait ConnectionStream::waitFor(short events, Clock::time_point until) const
{
    for (;;) {
        if (m_listening == INVALID_SOCKET)
            return Wait::Stopped;
        const auto now = Clock::now();
        if (now >= until)
            return Wait::Expired;
        const auto slice = std::min<Clock::duration>(until - now, WaitSlice);
        pollfd watched{m_socket, events, 0};
        const int ready = ::poll(&watched, 1, int(std::chrono::ceil<std::chrono::milliseconds>(slice).count()));
        if (ready > 0)
            return Wait::Ready;
        if (ready < 0 && errno != EINTR)
            return Wait::Ready; // the read or write that follows reports the error
    }
}

ConnectionStream::Next ConnectionStream::awaitRequest(std::chrono::milliseconds wait)
{
    m_requestDeadline = Clock::time_point::max();
    if (buffered() > 0)
        return Next::Request;
    // A busy client's next request is often there already: read it without
    // a poll first.
    if (m_listening != INVALID_SOCKET) {
        const ssize_t received = ::recv(m_socket, m_buffer.data(), m_buffer.size(), MSG_DONTWAIT);
        if (received > 0) {
            m_begin = 0;
            m_end = size_t(received);
            return Next::Request;
        }
        if (received == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            return Next::Request; // the read that follows finds the end or the error
    }
    switch (waitFor(POLLIN, Clock::now() + wait)) {
    case Wait::Ready:
        return Next::Request;
    case Wait::Expired:
        return Next::Silence;
    case Wait::Stopped:
        break;
    }
    return Next::Stopped;
}

bool ConnectionStream::is_readable() const
{
    return buffered() > 0 ||
           waitFor(POLLIN, std::min(m_requestDeadline, Clock::now() + m_limits.stallTimeout)) == Wait::Ready;
}

bool ConnectionStream::is_writable() const
{
    return waitFor(POLLOUT, Clock::now() + m_limits.stallTimeout) == Wait::Ready;
}

bool ConnectionStream::mayTryAtOnce() const
{
    return m_listening != INVALID_SOCKET && Clock::now() < m_requestDeadline;
}

ssize_t ConnectionStream::receive(char* ptr, size_t size)
{
    // Most reads find their bytes already there: trying first spares a
    // poll per read. Within the deadline only, so that a late request still
    // meets the same checks as before.
    if (mayTryAtOnce()) {
        const ssize_t received = ::recv(m_socket, ptr, size, MSG_DONTWAIT);
        if (received >= 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            return received;
    }
    const Wait waited = waitFor(POLLIN, std::min(m_requestDeadline, Clock::now() + m_limits.stallTimeout));
    if (waited != Wait::Ready) {
        m_timedOut = true;
        return -1;
    }
    return ::recv(m_socket, ptr, size, 0);
}

ssize_t ConnectionStream::read(char* ptr, size_t size)
{
    // A caller may wait for what was written ("100 Continue") before it
    // sends more.
    if (!m_pending.empty() && !flush())
        return -1;
    if (buffered() == 0) {
        if (m_timedOut)
            return -1;
        if (size >= m_buffer.size())
            return receive(ptr, size);
        const ssize_t received = receive(m_buffer.data(), m_buffer.size());
        if (received <= 0)
            return received;
        m_begin = 0;
        m_end = size_t(received);
    }
    const size_t taken = std::min(size, buffered());
    std::memcpy(ptr, m_buffer.data() + m_begin, taken);
    m_begin += taken;
    return ssize_t(taken);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size)
{
    constexpr size_t Gathered = 16 * 1024;
    if (m_timedOut)
        return -1;
    if (m_pending.size() + size <= Gathered) {
        m_pending.append(ptr, size);
        return ssize_t(size);
    }
    const bool sent = sendAll(m_pending.data(), m_pending.size(), ptr, size);
    m_pending.clear();
    return sent ? ssize_t(size) : -1;
}

bool ConnectionStream::flush()
{
    if (m_pending.empty())
        return !m_timedOut;
    const bool sent = sendAll(m_pending.data(), m_pending.size(), nullptr, 0);
    m_pending.clear();
    return sent;
}

bool ConnectionStream::sendAll(const char* first, size_t firstSize, const char* second, size_t secondSize)
{
    while (firstSize + secondSize > 0) {
        iovec parts[2] = {{const_cast<char*>(first), firstSize}, {const_cast<char*>(second), secondSize}};
        msghdr message{};
        message.msg_iov = firstSize > 0 ? parts : parts + 1;
        message.msg_iovlen = firstSize > 0 ? 2 : 1;
        // An answer usually fits in the socket's buffer at once.
        ssize_t sent = ::sendmsg(m_socket, &message, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (waitFor(POLLOUT, Clock::now() + m_limits.stallTimeout) != Wait::Ready) {
                m_timedOut = true;
                return false;
            }
            continue;
        }
        if (sent < 0)
            return false;
        const size_t fromFirst = std::min(size_t(sent), firstSize);
        first += fromFirst;
        firstSize -= fromFirst;
        second += size_t(sent) - fromFirst;
        secondSize -= size_t(sent) - fromFirst;
    }
    return true;
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const
{
    if (m_remotePort < 0) {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        if (::getpeername(m_socket, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            addressOf(address, m_remoteIp, m_remotePort);
    }
    ip = m_remoteIp;
    port = m_remotePort;
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const
{
    if (m_localPort < 0) {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        if (::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            addressOf(address, m_localIp, m_localPort);
    }
    ip = m_localIp;
    port = m_localPort;
}

} // namespace localservice
