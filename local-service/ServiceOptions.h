#pragma once

#include <optional>
#include <string>
#include <vector>

namespace localservice {

// What the service is told on its command line.
struct ServiceOptions
{
    int port = 0; // 0 picks a free port
    std::string databasePath;
    // How long a remote device takes to report a command done.
    int commandSeconds = 8;
    // The newest client version; an older client is told to update.
    std::string latestVersion = "2021.3.0";
    // A token not used for this long is no longer accepted.
    int tokenIdleSeconds = 12 * 3600;
    // How long a caller has to send one whole request.
    int requestSeconds = 10;
    // Connections open at once; 0 takes as many as the open-file limit
    // leaves room for, at most 10,000.
    int maxConnections = 0;
};

struct ParsedOptions
{
    std::optional<ServiceOptions> options; // absent when the program should stop
    std::string problem;                   // why, when it is an error
    bool helpRequested = false;
};

ParsedOptions parseServiceOptions(const std::vector<std::string>& arguments);
std::string usageText();

} // namespace localservice
