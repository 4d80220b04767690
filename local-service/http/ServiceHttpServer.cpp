#include "http/ServiceHttpServer.h"

#include "http/ConnectionStream.h"
#include "http/ConnectionWorkers.h"
#include "http/IdleConnections.h"
#include "http/RequestFraming.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace localservice {

namespace {

// Each request is read, handled and answered on one thread, so a handler's
// wish to close its connection can wait in a thread-local.
thread_local bool closeRequested = false;
thread_local int refusedFraming = 0;

// After a refusal that leaves the request unread, the caller may still be
// sending. Closing at once with its bytes unread would reset the connection
// and could discard the answer before the caller reads it, so the rest is
// read and dropped for a moment (bounded in time and bytes) first.
void closeGently(socket_t sock)
{
    constexpr auto Linger = std::chrono::milliseconds(1000);
    constexpr size_t MaxDropped = 8 * 1024 * 1024;
    ::shutdown(sock, SHUT_WR);
    const auto until = std::chrono::steady_clock::now() + Linger;
    char dropped[16 * 1024];
    size_t total = 0;
    while (total < MaxDropped) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now()).count();
        pollfd watched{sock, POLLIN, 0};
        if (left <= 0 || ::poll(&watched, 1, int(left)) <= 0)
            break;
        const ssize_t received = ::recv(sock, dropped, sizeof dropped, 0);
        if (received <= 0)
            break;
        total += size_t(received);
    }
}

} // namespace

ServiceHttpServer::ServiceHttpServer(const TransportLimits& limits)
    : m_limits(limits)
    , m_idle(std::make_unique<IdleConnections>(
          m_limits.keepAliveTimeout,
          [this](int sock, size_t served) {
              // Back to a worker, on the idle watch's thread: the workers
              // are shut down only after the watch has stopped.
              m_workers.load()->enqueue([this, sock, served] { serve(sock, served); });
          },
          [this](int sock) { closeConnection(sock); }))
{
    new_task_queue = [this] {
        auto* workers = new ConnectionWorkers(m_limits.maxWorkers, [this] { m_idle->stop(); });
        m_workers = workers;
        return workers;
    };
    set_payload_max_length(m_limits.maxBodyBytes);
    const auto seconds = [](std::chrono::milliseconds duration) {
        return std::chrono::duration_cast<std::chrono::seconds>(duration).count();
    };
    // Only shown to callers in the "Keep-Alive" header: the connections
    // below enforce the limits themselves.
    set_keep_alive_timeout(std::max<time_t>(1, seconds(m_limits.keepAliveTimeout)));
    set_keep_alive_max_count(m_limits.requestsPerConnection);
}

ServiceHttpServer::~ServiceHttpServer() = default;

int ServiceHttpServer::bindLoopback(int port)
{
    const int bound = port == 0 ? bind_to_any_port("127.0.0.1") : (bind_to_port("127.0.0.1", port) ? port : -1);
    // The library listens with a backlog of 5, which drops connection
    // attempts in bursts; listening again only widens the queue.
    if (bound > 0 && ::listen(svr_sock_, SOMAXCONN) != 0)
        return -1;
    return bound;
}

void ServiceHttpServer::stopListening()
{
    // The listening loop ends once the socket is gone, whether it is waiting
    // in accept() or yet to start.
    const socket_t listening = svr_sock_.exchange(INVALID_SOCKET);
    if (listening != INVALID_SOCKET) {
        ::shutdown(listening, SHUT_RDWR);
        ::close(listening);
    }
}

void ServiceHttpServer::closeAfterAnswer(httplib::Response& response)
{
    response.set_header("Connection", "close");
    closeRequested = true;
}

int ServiceHttpServer::framingRefusal()
{
    return refusedFraming;
}

bool ServiceHttpServer::process_and_close_socket(socket_t sock)
{
    // Without it an answer written in two pieces waits for the caller's
    // delayed acknowledgement: about 40 ms per request on a reused
    // connection.
    const int on = 1;
    ::setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (++m_open > m_limits.maxConnections && !m_idle->closeLongestIdle()) {
        // Every connection is busy: this one is refused at once rather than
        // kept waiting.
        closeConnection(sock);
        return false;
    }
    serve(sock, 0);
    return true;
}

void ServiceHttpServer::serve(socket_t sock, size_t served)
{
    ConnectionStream stream(sock, m_limits, svr_sock_);
    while (served < m_limits.requestsPerConnection) {
        const ConnectionStream::Next next = stream.awaitRequest(m_limits.lingerBeforeParking);
        if (next == ConnectionStream::Next::Silence) {
            m_idle->park(sock, served);
            return;
        }
        if (next == ConnectionStream::Next::Stopped)
            break;
        ++served;
        closeRequested = false;
        refusedFraming = 0;
        bool callerClosed = false;
        stream.beginRequest();
        const bool answered = process_request(stream, served == m_limits.requestsPerConnection, callerClosed,
                                              [](httplib::Request& request) {
                                                  // Ranges of API answers serve no caller and multiply the
                                                  // answer's size with each range asked for.
                                                  request.ranges.clear();
                                                  refusedFraming = localservice::framingRefusal(request);
                                                  if (refusedFraming == 0)
                                                      completeFraming(request);
                                              });
        if (!stream.flush() || !answered || callerClosed || closeRequested || stream.timedOut())
            break;
    }
    if (closeRequested)
        closeGently(sock);
    closeRequested = false;
    closeConnection(sock);
}

void ServiceHttpServer::closeConnection(socket_t sock)
{
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    --m_open;
}

} // namespace localservice
