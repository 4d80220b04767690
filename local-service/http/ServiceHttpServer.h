#pragma once

#include "http/TransportLimits.h"

#include <atomic>
#include <httplib.h>
#include <memory>

namespace localservice {

class ConnectionWorkers;
class IdleConnections;

// The service's HTTP server: the library's request parsing and routing over
// connections the service runs itself, so that every accepted socket sends
// small answers at once (TCP_NODELAY), every request has a deadline, idle
// connections wait in one watch instead of holding a worker each, a new
// connection beyond the limit closes the one idle the longest, and bursts of
// connection attempts queue in the system's full listen backlog. A "Range"
// header is ignored: every answer is whole.
class ServiceHttpServer : public httplib::Server
{
public:
    explicit ServiceHttpServer(const TransportLimits& limits);
    ~ServiceHttpServer() override;

    // Binds 127.0.0.1 at the port (0: any free one); the port, or -1.
    int bindLoopback(int port);
    const TransportLimits& limits() const { return m_limits; }
    // Stops listening, from any thread and at any moment: the library's own
    // stop() does nothing until its listening loop has started, so a stop
    // that comes first would be lost and the loop would run for ever.
    void stopListening();

    // Closes the connection once the answer being made is sent: for
    // refusals that leave the rest of the request unread.
    static void closeAfterAnswer(httplib::Response& response);
    // The status that refuses the framing of the request being answered on
    // this thread, or 0 (see http/RequestFraming).
    static int framingRefusal();

private:
    bool process_and_close_socket(socket_t sock) override;
    // Serves the connection's requests until it is idle, then leaves it to
    // the idle watch.
    void serve(socket_t sock, size_t served);
    void closeConnection(socket_t sock);

    TransportLimits m_limits;
    std::atomic<size_t> m_open{0};
    std::atomic<ConnectionWorkers*> m_workers{nullptr};
    std::unique_ptr<IdleConnections> m_idle;
};

} // namespace localservice
