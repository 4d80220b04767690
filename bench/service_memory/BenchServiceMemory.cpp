// The local service's peak memory while 24 callers at once send it 4 MB JSON
// bodies of hostile shapes (brackets nested two million deep, two million
// empty arrays side by side, a million small members), against the bytes
// they send: what a request costs above the body it brings. The peak is the
// service's VmHWM (/proc/PID/status) above its footprint before the bodies
// (VmRSS), after clearing the peak through /proc/PID/clear_refs; a new
// service for each shape, as memory freed stays with the process.
// SONVERA_SERVICE_PROGRAM names another build of the service to measure.
#include "BenchFigures.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdio>
#include <httplib.h>
#include <nlohmann/json.hpp>
#include <thread>
#include <vector>

namespace {

constexpr int Callers = 24;
constexpr size_t BodyBytes = 4000000;

std::string nested()
{
    return std::string(BodyBytes / 2, '[') + std::string(BodyBytes / 2, ']');
}

std::string wide()
{
    std::string body = "{\"name\": [";
    while (body.size() + 4 < BodyBytes)
        body += "[],";
    return body + "[]]}";
}

std::string members()
{
    std::string body = "{";
    for (int i = 0; body.size() + 16 < BodyBytes; ++i)
        body += "\"m" + std::to_string(i) + "\":0,";
    return body + "\"name\":0}";
}

} // namespace

// A running service with a signed-in token.
struct Service
{
    QTemporaryDir folder;
    QProcess process;
    QUrl url;
    std::string token;

    bool start(const QString& program)
    {
        process.setStandardErrorFile(QProcess::nullDevice()); // one line per request
        process.start(program, {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--db"),
                                folder.filePath(QStringLiteral("service.db"))});
        while (!process.canReadLine() && process.waitForReadyRead(30000)) {
        }
        url = QUrl(QString::fromUtf8(process.readLine()).trimmed());
        if (!url.isValid() || url.port() <= 0)
            return false;
        httplib::Client setup(url.host().toStdString(), url.port());
        const auto signedIn = setup.Post("/auth/login", httplib::Params{{"username", "demo"}, {"password", "demo"}});
        if (!signedIn || signedIn->status != 200)
            return false;
        token = nlohmann::json::parse(signedIn->body)["accessToken"].get<std::string>();
        return true;
    }

    ~Service()
    {
        process.terminate();
        process.waitForFinished(10000);
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString program = qEnvironmentVariableIsSet("SONVERA_SERVICE_PROGRAM")
                                ? qEnvironmentVariable("SONVERA_SERVICE_PROGRAM")
                                : QStringLiteral(SONVERA_LOCAL_SERVICE_PROGRAM);
    int failures = 0;
    const std::vector<std::pair<const char*, std::string>> shapes = {{"brackets nested 2,000,000 deep", nested()},
                                                                     {"2,000,000 empty arrays", wide()},
                                                                     {"1,000,000 members", members()}};
    for (const auto& [shape, body] : shapes) {
        Service service;
        if (!service.start(program)) {
            std::fprintf(stderr, "service memory: the service did not start, or signing in failed\n");
            return 1;
        }
        const qint64 pid = service.process.processId();
        const qint64 idle = statusBytes("VmRSS", pid);
        if (!resetPeak(pid)) {
            std::fprintf(stderr, "service memory: can't reset the service's peak\n");
            return 1;
        }
        std::vector<int> statuses(Callers, 0);
        std::vector<std::thread> callers;
        for (int c = 0; c < Callers; ++c) {
            callers.emplace_back([&, c] {
                httplib::Client client(service.url.host().toStdString(), service.url.port());
                client.set_read_timeout(120, 0);
                const auto answer =
                    client.Post("/patient", {{"Authorization", "Bearer " + service.token}}, body, "application/json");
                statuses[size_t(c)] = answer ? answer->status : 0;
            });
        }
        for (std::thread& caller : callers)
            caller.join();
        const qint64 peak = statusBytes("VmHWM", pid);
        const qint64 sent = qint64(Callers) * qint64(body.size());
        const int refused = int(std::count(statuses.begin(), statuses.end(), 400));
        failures += refused == Callers ? 0 : 1;
        std::printf("service memory, %d callers at once each sending %s (%.1f MB): sonvera peak %.1f MB above its "
                    "footprint of %.1f MB, baseline the bytes sent %.1f MB, ratio %.2f; %d of %d refused with 400\n",
                    Callers, shape, double(body.size()) / 1e6, double(peak - idle) / 1e6, double(idle) / 1e6,
                    double(sent) / 1e6, double(peak - idle) / double(sent), refused, Callers);
        std::fflush(stdout);
    }
    return failures == 0 ? 0 : 1;
}
