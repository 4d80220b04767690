#include "LocalService.h"

#include "api/AnalysisApi.h"
#include "api/AuthApi.h"
#include "api/DeviceApi.h"
#include "api/ExportApi.h"
#include "api/PatientApi.h"
#include "api/QuestionnaireApi.h"
#include "api/RecipeApi.h"
#include "api/RecordApi.h"
#include "http/ServiceRouter.h"
#include "storage/Clock.h"
#include "storage/Database.h"
#include "storage/Schema.h"
#include "storage/Seeder.h"
#include "storage/Sessions.h"

#include <httplib.h>

namespace localservice {

namespace {

// Recordings are about 66 kB; nothing the client sends comes near this.
constexpr size_t MaxRequestBytes = 4 * 1024 * 1024;

bool hasAccounts(Database& db)
{
    Statement query = db.prepare("SELECT EXISTS (SELECT 1 FROM accounts)");
    return query.step() && query.integer(0) != 0;
}

} // namespace

struct LocalService::Parts
{
    Parts(const ServiceOptions& options, std::ostream& log)
        : pool(options.databasePath)
        , router(server, pool, Sessions(static_cast<std::int64_t>(options.tokenIdleSeconds) * 1000), log)
    {}

    ConnectionPool pool;
    httplib::Server server;
    ServiceRouter router;
};

LocalService::LocalService(const ServiceOptions& options, std::ostream& log)
    : m_options(options), m_parts(std::make_unique<Parts>(options, log))
{
    const ConnectionPool::Lease connection = m_parts->pool.lease();
    Database& db = connection.db();
    // Seeding is one transaction; a first start stopped before it committed
    // leaves the tables without accounts, and the next start seeds again.
    const bool created = ensureSchema(db);
    if (created || !hasAccounts(db)) {
        log << (created ? "new database " : "database without accounts ") << options.databasePath
            << ": adding the demonstration data" << std::endl;
        seedDemoData(db);
    }
    m_parts->router.sessions().removeExpired(db, currentTimeMs());
    ServiceRouter& router = m_parts->router;
    addAuthApi(router, options);
    addPatientApi(router, options);
    addQuestionnaireApi(router);
    addDeviceApi(router, options);
    addRecordApi(router);
    addRecipeApi(router, options);
    addAnalysisApi(router);
    addExportApi(router);
    router.finish();
    m_parts->server.set_payload_max_length(MaxRequestBytes);
}

LocalService::~LocalService() = default;

int LocalService::bind()
{
    httplib::Server& server = m_parts->server;
    if (m_options.port == 0)
        return server.bind_to_any_port("127.0.0.1");
    return server.bind_to_port("127.0.0.1", m_options.port) ? m_options.port : -1;
}

bool LocalService::serve()
{
    return m_parts->server.listen_after_bind();
}

void LocalService::stop()
{
    m_parts->server.stop();
}

} // namespace localservice
