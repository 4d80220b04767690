#include "ServiceOptions.h"

namespace localservice {

namespace {

bool parseNumber(const std::string& text, int lowest, int highest, int& value)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::stoi(text);
    return value >= lowest && value <= highest;
}

} // namespace

std::string usageText()
{
    return "Usage: sonvera-local-service --port N --db FILE [--command-seconds S] [--latest-version V]\n"
           "                            [--token-idle-seconds S] [--request-seconds S] [--max-connections N]\n"
           "  --port N             port on 127.0.0.1 to listen on; 0 picks a free one\n"
           "  --db FILE            SQLite database; a missing file is created with demo data\n"
           "  --command-seconds S  seconds a remote device takes to report a command done (default 8)\n"
           "  --latest-version V   newest client version, for the update check (default 2021.3.0)\n"
           "  --token-idle-seconds S  seconds without use after which a sign-in ends (default 43200)\n"
           "  --request-seconds S  seconds a caller has to send one whole request (default 10)\n"
           "  --max-connections N  connections open at once; beyond them the longest idle is closed\n"
           "                       (default: what the open-file limit allows, at most 10000)\n"
           "The first line written to standard output is the service's base URL.\n";
}

ParsedOptions parseServiceOptions(const std::vector<std::string>& arguments)
{
    ServiceOptions options;
    bool portGiven = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--help" || name == "-h")
            return {std::nullopt, {}, true};
        if (i + 1 >= arguments.size())
            return {std::nullopt, "the option " + name + " needs a value", false};
        const std::string& value = arguments[++i];
        if (name == "--port") {
            if (!parseNumber(value, 0, 65535, options.port))
                return {std::nullopt, "the port must be a number from 0 to 65535", false};
            portGiven = true;
        } else if (name == "--db") {
            options.databasePath = value;
        } else if (name == "--command-seconds") {
            if (!parseNumber(value, 0, 3600, options.commandSeconds))
                return {std::nullopt, "--command-seconds must be a number from 0 to 3600", false};
        } else if (name == "--token-idle-seconds") {
            if (!parseNumber(value, 1, 31536000, options.tokenIdleSeconds))
                return {std::nullopt, "--token-idle-seconds must be a number from 1 to 31536000", false};
        } else if (name == "--request-seconds") {
            if (!parseNumber(value, 1, 3600, options.requestSeconds))
                return {std::nullopt, "--request-seconds must be a number from 1 to 3600", false};
        } else if (name == "--max-connections") {
            if (!parseNumber(value, 1, 1000000, options.maxConnections))
                return {std::nullopt, "--max-connections must be a number from 1 to 1000000", false};
        } else if (name == "--latest-version") {
            options.latestVersion = value;
        } else {
            return {std::nullopt, "unknown option " + name, false};
        }
    }
    if (!portGiven || options.databasePath.empty())
        return {std::nullopt, "both --port and --db are required", false};
    return {options, {}, false};
}

} // namespace localservice
