#pragma once

#include <chrono>
#include <cstddef>

namespace localservice {

// How long and how much the service's HTTP server waits for and takes from
// one caller.
struct TransportLimits
{
    // From the first byte of a request to its last byte (request line,
    // headers and body): a caller that trickles its request is cut off.
    std::chrono::milliseconds requestDeadline{10000};
    // The longest silence while a request or an answer is under way.
    std::chrono::milliseconds stallTimeout{5000};
    // How long a connection may wait idle for its next request.
    std::chrono::milliseconds keepAliveTimeout{5000};
    // How long a worker waits for the next request itself before it leaves
    // the connection to the idle watch: a client that is busy sends it
    // within a moment, and a hop through the watch costs more than that.
    std::chrono::milliseconds lingerBeforeParking{10};
    size_t requestsPerConnection = 1000;
    // Requests served at the same time; more wait for a free worker. Idle
    // connections don't count: the idle watch holds them.
    size_t maxWorkers = 512;
    // Connections open at once, idle ones included; a new one beyond this
    // closes the connection idle the longest, or is closed at once when
    // none is idle.
    size_t maxConnections = 10000;
    // Recordings are about 66 kB; nothing the client sends comes near this.
    size_t maxBodyBytes = 4 * 1024 * 1024;
};

} // namespace localservice
