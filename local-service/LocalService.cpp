#include "LocalService.h"

#include "api/AnalysisApi.h"
#include "api/AuthApi.h"
#include "api/DeviceApi.h"
#include "api/ExportApi.h"
#include "api/PatientApi.h"
#include "api/QuestionnaireApi.h"
#include "api/RecipeApi.h"
#include "api/RecordApi.h"
#include "http/ServiceHttpServer.h"
#include "http/ServiceRouter.h"
#include "signal/SpectrumCache.h"
#include "storage/Clock.h"
#include "storage/ConnectionPool.h"
#include "storage/Database.h"
#include "storage/Samples.h"
#include "storage/Schema.h"
#include "storage/Seeder.h"
#include "storage/Sessions.h"

#include <algorithm>
#include <chrono>
#include <sys/resource.h>

namespace localservice {

namespace {

// About 4 KiB each: a few thousand records' spectra in some megabytes.
constexpr size_t CachedSpectra = 2048;

// Half of the open files for connections, the rest for the database's
// files (a few per connection of the pool) and everything else.
size_t connectionsTheFileLimitAllows()
{
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) != 0 || files.rlim_cur == RLIM_INFINITY)
        return 10000;
    return std::clamp<size_t>(size_t(files.rlim_cur) / 2, 64, 10000);
}

TransportLimits transportLimits(const ServiceOptions& options)
{
    TransportLimits limits;
    limits.requestDeadline = std::chrono::seconds(options.requestSeconds);
    limits.maxConnections =
        options.maxConnections > 0 ? size_t(options.maxConnections) : connectionsTheFileLimitAllows();
    limits.maxWorkers = std::min(limits.maxWorkers, limits.maxConnections);
    return limits;
}

bool hasAccounts(Database& db)
{
    Statement query = db.prepare("SELECT EXISTS (SELECT 1 FROM accounts)");
    return query.step() && query.integer(0) != 0;
}

} // namespace

struct LocalService::Parts
{
    Parts(const ServiceOptions& options, std::ostream& log)
        : spectra(CachedSpectra)
        , pool(options.databasePath)
        , server(transportLimits(options))
        , router(server, pool, Sessions(static_cast<std::int64_t>(options.tokenIdleSeconds) * 1000), log)
    {}

    // Before the server: its handlers use it until the server is gone.
    SpectrumCache spectra;
    ConnectionPool pool;
    // Started once the schema is in place.
    std::unique_ptr<SamplesPurge> purge;
    ServiceHttpServer server;
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
    m_parts->purge = std::make_unique<SamplesPurge>(m_parts->pool);
    ServiceRouter& router = m_parts->router;
    addAuthApi(router, options);
    addPatientApi(router, options);
    addQuestionnaireApi(router);
    addDeviceApi(router, options);
    addRecordApi(router, m_parts->spectra);
    addRecipeApi(router, options, m_parts->spectra);
    addAnalysisApi(router, m_parts->spectra);
    addExportApi(router);
    router.finish();
}

LocalService::~LocalService() = default;

int LocalService::bind()
{
    return m_parts->server.bindLoopback(m_options.port);
}

bool LocalService::serve()
{
    return m_parts->server.listen_after_bind();
}

void LocalService::stop()
{
    m_parts->server.stopListening();
}

} // namespace localservice
