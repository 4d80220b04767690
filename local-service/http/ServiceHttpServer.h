#pragma once

#include "http/TransportLimits.h"

#include <httplib.h>

namespace localservice {

// The service's HTTP server: the library's request parsing and routing over
// connections the service runs itself, so that every accepted socket sends
// small answers at once (TCP_NODELAY), every request has a deadline, a
// connection waits for a worker only when hundreds are busy, and bursts of
// connection attempts queue in the system's full listen backlog. A "Range"
// header is ignored: every answer is whole.
class ServiceHttpServer : public httplib::Server
{
public:
    explicit ServiceHttpServer(const TransportLimits& limits);

    // Binds 127.0.0.1 at the port (0: any free one); the port, or -1.
    int bindLoopback(int port);
    const TransportLimits& limits() const { return m_limits; }

    // Closes the connection once the answer being made is sent: for
    // refusals that leave the rest of the request unread.
    static void closeAfterAnswer(httplib::Response& response);

private:
    bool process_and_close_socket(socket_t sock) override;

    TransportLimits m_limits;
};

} // namespace localservice
