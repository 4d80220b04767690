#pragma once

#include "ServiceOptions.h"

#include <memory>
#include <ostream>

namespace localservice {

class Database;

// The whole service: its database, the HTTP server on 127.0.0.1 and every
// endpoint.
class LocalService
{
public:
    // Opens (and on first use creates and seeds) the database.
    LocalService(const ServiceOptions& options, std::ostream& log);
    ~LocalService();

    // Binds the port; returns the port, or -1 when it can't be had.
    int bind();
    // Serves until stop() is called from another thread.
    bool serve();
    void stop();

private:
    struct Parts;
    ServiceOptions m_options;
    std::unique_ptr<Parts> m_parts;
};

} // namespace localservice
