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
    size_t requestsPerConnection = 1000;
    // Connections served at the same time; more wait for a free worker.
    // Kept below FD_SETSIZE, which the library still checks.
    size_t maxWorkers = 512;
    // Recordings are about 66 kB; nothing the client sends comes near this.
    size_t maxBodyBytes = 4 * 1024 * 1024;
};

} // namespace localservice
