#include "http/IdleConnections.h"

#include <stdexcept>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

namespace localservice {

namespace {

// The socket and the generation of its parking in one event: a socket
// closed and reused while its event was on the way is not mistaken for its
// successor.
std::uint64_t tagOf(int socket, std::uint32_t generation)
{
    return std::uint64_t(generation) << 32 | std::uint32_t(socket);
}

} // namespace

IdleConnections::IdleConnections(std::chrono::milliseconds idleTimeout, Resume resume, Close close)
    : m_idleTimeout(idleTimeout), m_resume(std::move(resume)), m_close(std::move(close))
{
    m_epoll = ::epoll_create1(EPOLL_CLOEXEC);
    m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_epoll < 0 || m_wake < 0)
        throw std::runtime_error("IdleConnections: no epoll or eventfd");
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = ~std::uint64_t(0);
    ::epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_wake, &event);
    m_thread = std::thread([this] { run(); });
}

IdleConnections::~IdleConnections()
{
    stop();
    ::close(m_wake);
    ::close(m_epoll);
}

void IdleConnections::park(int socket, std::size_t served)
{
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (!m_stopped) {
            const std::uint32_t generation = ++m_generation;
            const auto entry =
                m_queue.insert(m_queue.end(), {socket, served, generation, Clock::now() + m_idleTimeout});
            m_bySocket[socket] = entry;
            epoll_event event{};
            event.events = EPOLLIN | EPOLLRDHUP | EPOLLONESHOT;
            event.data.u64 = tagOf(socket, generation);
            if (::epoll_ctl(m_epoll, EPOLL_CTL_ADD, socket, &event) == 0) {
                // The first deadline may now be earlier than the thread waits for.
                if (m_queue.size() == 1)
                    ::eventfd_write(m_wake, 1);
                return;
            }
            m_bySocket.erase(socket);
            m_queue.erase(entry);
        }
    }
    m_close(socket);
}

IdleConnections::Parked IdleConnections::unwatch(Queue::iterator entry)
{
    const Parked parked = *entry;
    ::epoll_ctl(m_epoll, EPOLL_CTL_DEL, parked.socket, nullptr);
    m_bySocket.erase(parked.socket);
    m_queue.erase(entry);
    return parked;
}

bool IdleConnections::closeLongestIdle()
{
    int socket = -1;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (m_queue.empty())
            return false;
        socket = unwatch(m_queue.begin()).socket;
    }
    m_close(socket);
    return true;
}

void IdleConnections::stop()
{
    std::vector<int> sockets;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (m_stopped)
            return;
        m_stopped = true;
        while (!m_queue.empty())
            sockets.push_back(unwatch(m_queue.begin()).socket);
    }
    ::eventfd_write(m_wake, 1);
    m_thread.join();
    for (const int socket : sockets)
        m_close(socket);
}

int IdleConnections::waitMs()
{
    if (m_queue.empty())
        return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(m_queue.front().deadline - Clock::now());
    return int(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

void IdleConnections::run()
{
    std::vector<epoll_event> events(256);
    for (;;) {
        int timeout = 0;
        {
            std::lock_guard<std::mutex> guard(m_mutex);
            if (m_stopped)
                return;
            timeout = waitMs();
        }
        const int ready = ::epoll_wait(m_epoll, events.data(), int(events.size()), timeout);
        std::vector<Parked> toResume;
        std::vector<int> toClose;
        {
            std::lock_guard<std::mutex> guard(m_mutex);
            if (m_stopped)
                return;
            for (int i = 0; i < ready; ++i) {
                const std::uint64_t tag = events[size_t(i)].data.u64;
                if (tag == ~std::uint64_t(0)) {
                    eventfd_t drained = 0;
                    ::eventfd_read(m_wake, &drained);
                    continue;
                }
                const auto found = m_bySocket.find(int(std::uint32_t(tag)));
                if (found != m_bySocket.end() && found->second->generation == std::uint32_t(tag >> 32))
                    toResume.push_back(unwatch(found->second));
            }
            const auto now = Clock::now();
            while (!m_queue.empty() && m_queue.front().deadline <= now)
                toClose.push_back(unwatch(m_queue.begin()).socket);
        }
        for (const Parked& parked : toResume)
            m_resume(parked.socket, parked.served);
        for (const int socket : toClose)
            m_close(socket);
    }
}

} // namespace localservice
