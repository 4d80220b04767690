// The local service under 32 clients on reused connections running the
// client's mix of calls (list, search, records, analysis, upload, create,
// edit, recipe), against a bare HTTP server of the same library answering a
// fixed body of the same mean size to the same calls from the same clients.
// The two take turns three times and the medians are compared: on a shared
// machine a single run of either can be off by a factor of two or more.
// Clients connect before the clock starts, to either server.
// Afterwards the service's data is checked: every patient created is there
// once, and no upload is lost.
#include "BenchFigures.h"
#include "local-service/ServiceClient.h"
#include "support/LocalServiceProcess.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <httplib.h>
#include <thread>
#include <vector>

namespace {

constexpr int Clients = 32;
constexpr int RoundsPerClient = 25;
constexpr int Passes = 3;
constexpr double Goal = 0.5;

using Clock = std::chrono::steady_clock;

struct Call
{
    std::string method;
    std::string path;
    std::string body;
    std::string contentType;
    httplib::MultipartFormDataItems form;
    bool creates = false;
    bool uploads = false;
};

// What one client works on: its own patient with one record.
struct Workspace
{
    std::string patientId;
    std::string recordId;
};

struct RunFigures
{
    double seconds = 0;
    int requests = 0;
    int failures = 0; // non-2xx answers or none at all
    double p50Ms = 0;
    double p99Ms = 0;
    double meanAnswerBytes = 0;
    double serverMicrosecondsPerRequest = 0; // the server's processor time
    double rate() const { return requests / seconds; }
};

// What the clients wrote over every pass, for the check afterwards.
struct Written
{
    QMap<int, QList<QString>> createdNames; // per client
    QMap<int, int> uploads;                 // per client
};

std::string json(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

std::string needle(const QString& text)
{
    return QString::fromLatin1(text.toUtf8().toBase64().replace('+', '.').replace('/', '_').replace('=', '-'))
        .toStdString();
}

std::string wav()
{
    static const std::string bytes = sensorWav(sineSamples(440)).toStdString();
    return bytes;
}

// One round of the client's day: mostly reading, some writing.
std::vector<Call> round(int pass, int client, int index, const Workspace& space)
{
    const std::string patient = space.patientId;
    const QString name = QStringLiteral("Bench %1-%2-%3").arg(pass).arg(client).arg(index);
    std::vector<Call> calls;
    const auto get = [&](std::string path) { calls.push_back({"GET", std::move(path), {}, {}, {}, false, false}); };
    get("/patient/filter?sortby=name&direction=asc&size=20&current=" + std::to_string(index % 3));
    get("/patient/filter?size=20&current=0&searchby=name&needle=" + needle(QStringLiteral("an")));
    get("/record/" + patient);
    calls.push_back({"POST",
                     "/analysis/summary",
                     json({{"patientId", QString::fromStdString(patient)},
                           {"storageId", ""},
                           {"records", QJsonArray{QString::fromStdString(space.recordId)}}}),
                     "application/json",
                     {},
                     false,
                     false});
    calls.push_back({"POST",
                     "/record",
                     {},
                     {},
                     {{"patientId", patient, "", ""}, {"record", wav(), "record", "application/octet-stream"}},
                     false,
                     true});
    calls.push_back({"POST",
                     "/patient",
                     json({{"name", name}, {"birthDate", "1970-01-01"}, {"gender", "FEMALE"}}),
                     "application/json",
                     {},
                     true,
                     false});
    calls.push_back({"PUT",
                     "/patient",
                     json({{"id", QString::fromStdString(patient)},
                           {"name", QStringLiteral("Bench workspace %1 edit %2").arg(client).arg(index)},
                           {"birthDate", "1971-02-02"},
                           {"gender", "MALE"}}),
                     "application/json",
                     {},
                     false,
                     false});
    get("/recipe/" + patient + "/" + space.recordId);
    get("/patient/filter?sortby=name&direction=desc&size=20&current=1");
    get("/record/" + patient);
    return calls;
}

httplib::Result perform(httplib::Client& client, const Call& call, const httplib::Headers& headers)
{
    if (call.method == "GET")
        return client.Get(call.path.c_str(), headers);
    if (!call.form.empty())
        return client.Post(call.path.c_str(), headers, call.form);
    if (call.method == "PUT")
        return client.Put(call.path.c_str(), headers, call.body, call.contentType.c_str());
    return client.Post(call.path.c_str(), headers, call.body, call.contentType.c_str());
}

// `serverPid` is the serving process, whose processor time is counted; 0
// when it is this one, whose time the clients share.
RunFigures run(const std::string& host, int port, const std::string& token, const std::vector<Workspace>& spaces,
               int pass, Written& written, qint64 serverPid)
{
    RunFigures figures;
    std::vector<std::vector<double>> latencies(Clients);
    std::vector<int> failures(Clients, 0);
    std::vector<size_t> bytes(Clients, 0);
    std::vector<QList<QString>> created(Clients);
    std::vector<int> uploaded(Clients, 0);
    std::atomic<int> ready{0};
    std::atomic<int> finished{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int c = 0; c < Clients; ++c) {
        threads.emplace_back([&, c] {
            httplib::Client client(host, port);
            client.set_keep_alive(true);
            client.set_tcp_nodelay(true); // as the desktop client's network stack does
            client.set_read_timeout(60, 0);
            const httplib::Headers headers{{"Authorization", "Bearer " + token}, {"Accept-Language", "en-US"}};
            std::vector<std::vector<Call>> plan;
            for (int r = 0; r < RoundsPerClient; ++r)
                plan.push_back(round(pass, c, r, spaces[size_t(c)]));
            // Connected before the clock starts: 32 connections coming at
            // once overflow the bare server's listen queue of 5, and a
            // connection whose opening is dropped waits a second to try
            // again, which would be timed as the server's work.
            if (!client.Get(("/record/" + spaces[size_t(c)].patientId).c_str(), headers))
                ++failures[size_t(c)];
            ++ready;
            while (!go)
                std::this_thread::yield();
            for (const auto& calls : plan) {
                for (const Call& call : calls) {
                    const auto start = Clock::now();
                    const httplib::Result answer = perform(client, call, headers);
                    latencies[size_t(c)].push_back(
                        std::chrono::duration<double, std::milli>(Clock::now() - start).count());
                    const bool ok = answer && answer->status >= 200 && answer->status < 300;
                    if (!ok) {
                        ++failures[size_t(c)];
                        continue;
                    }
                    bytes[size_t(c)] += answer->body.size();
                    if (call.creates)
                        created[size_t(c)].append(
                            QJsonDocument::fromJson(QByteArray::fromStdString(call.body))["name"].toString());
                    if (call.uploads)
                        ++uploaded[size_t(c)];
                }
            }
            ++finished;
        });
    }
    while (ready < Clients)
        std::this_thread::yield();
    const double serverSecondsBefore = processorSeconds(serverPid);
    const auto start = Clock::now();
    go = true;
    // The service logs a line per request into a pipe read by this thread's
    // event loop; a full pipe would stall the service.
    QTimer wakeUp;
    wakeUp.start(10);
    while (finished < Clients)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    for (std::thread& thread : threads)
        thread.join();
    figures.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double serverSeconds = processorSeconds(serverPid) - serverSecondsBefore;

    std::vector<double> all;
    size_t totalBytes = 0;
    for (int c = 0; c < Clients; ++c) {
        all.insert(all.end(), latencies[size_t(c)].begin(), latencies[size_t(c)].end());
        figures.failures += failures[size_t(c)];
        totalBytes += bytes[size_t(c)];
        written.createdNames[c] += created[size_t(c)];
        written.uploads[c] += uploaded[size_t(c)];
    }
    std::sort(all.begin(), all.end());
    figures.requests = int(all.size());
    figures.p50Ms = all[all.size() / 2];
    figures.p99Ms = all[std::min(all.size() - 1, all.size() * 99 / 100)];
    const int answered = figures.requests - figures.failures;
    figures.meanAnswerBytes = answered > 0 ? double(totalBytes) / answered : 0;
    if (serverPid != 0)
        figures.serverMicrosecondsPerRequest = serverSeconds * 1e6 / figures.requests;
    return figures;
}

// Every name created exactly once, and each workspace's records: its first
// one plus every upload answered 201.
QString consistencyProblem(ServiceClient& service, const Written& figures, const std::vector<Workspace>& spaces)
{
    QMap<QString, int> seen;
    const QString query = QStringLiteral("/patient/filter?sortby=name&direction=asc&size=100&searchby=name&needle=") +
                          QString::fromStdString(needle(QStringLiteral("Bench "))) + QStringLiteral("&current=");
    const int pages = service.get(query + QLatin1Char('0')).object().value(QStringLiteral("pages")).toInt();
    for (int page = 0; page < pages; ++page) {
        const QJsonArray found =
            service.get(query + QString::number(page)).object().value(QStringLiteral("data")).toArray();
        for (const QJsonValue& patient : found)
            ++seen[patient.toObject().value(QStringLiteral("name")).toString()];
    }
    int expected = 0;
    for (int c = 0; c < Clients; ++c) {
        for (const QString& name : figures.createdNames.value(c)) {
            ++expected;
            if (seen.value(name) != 1)
                return QStringLiteral("%1 found %2 times").arg(name).arg(seen.value(name));
        }
        const QString records = QStringLiteral("/record/") + QString::fromStdString(spaces[size_t(c)].patientId);
        const int stored = service.get(records).array().size();
        if (stored != 1 + figures.uploads.value(c))
            return QStringLiteral("client %1: %2 records stored, %3 expected")
                .arg(c)
                .arg(stored)
                .arg(1 + figures.uploads.value(c));
    }
    int benchNamed = 0;
    for (auto it = seen.cbegin(); it != seen.cend(); ++it)
        benchNamed += it.key().startsWith(QStringLiteral("Bench workspace")) ? 0 : it.value();
    if (benchNamed != expected)
        return QStringLiteral("%1 created patients listed, %2 created").arg(benchNamed).arg(expected);
    return {};
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);

    LocalServiceProcess service;
    if (!service.start()) {
        std::fprintf(stderr, "service throughput: %s\n", qPrintable(service.errorText()));
        return 1;
    }
    ServiceClient setup(service.baseUrl());
    if (setup.signIn(QStringLiteral("demo"), QStringLiteral("demo")).status != 200) {
        std::fprintf(stderr, "service throughput: signing in failed\n");
        return 1;
    }
    std::vector<Workspace> spaces;
    for (int c = 0; c < Clients; ++c) {
        const ServiceAnswer patient = setup.post(
            QStringLiteral("/patient"),
            {{"name", QStringLiteral("Bench workspace %1").arg(c)}, {"birthDate", "1970-01-01"}, {"gender", "MALE"}});
        const QString id = patient.object().value(QStringLiteral("id")).toString();
        const ServiceAnswer record = setup.upload(id, sensorWav(sineSamples(300 + 10 * c)));
        if (patient.status != 201 || record.status != 201) {
            std::fprintf(stderr, "service throughput: preparing client %d failed\n", c);
            return 1;
        }
        spaces.push_back({id.toStdString(), record.object().value(QStringLiteral("id")).toString().toStdString()});
    }

    const QUrl url(service.baseUrl());
    const std::string token = setup.token().toStdString();
    Written written;
    Written discarded; // what the bare server was sent
    std::vector<RunFigures> served{
        run(url.host().toStdString(), url.port(), token, spaces, 0, written, service.processId())};

    // The bare server: the same library, a pool as large as the clients, no
    // handler work at all, answering the mean size of the first pass.
    httplib::Server bare;
    bare.new_task_queue = [] { return new httplib::ThreadPool(Clients + 4); };
    bare.set_tcp_nodelay(true);
    bare.set_keep_alive_max_count(100000);
    const std::string fixed(size_t(served.front().meanAnswerBytes), 'x');
    const auto answer = [&fixed](const httplib::Request&, httplib::Response& response) {
        response.set_content(fixed, "application/json");
    };
    bare.Get(".*", answer);
    bare.Post(".*", answer);
    bare.Put(".*", answer);
    const int barePort = bare.bind_to_any_port("127.0.0.1");
    std::thread listener([&bare] { bare.listen_after_bind(); });
    std::vector<RunFigures> baseline;
    for (int pass = 0; pass < Passes; ++pass) {
        if (pass > 0)
            served.push_back(
                run(url.host().toStdString(), url.port(), token, spaces, pass, written, service.processId()));
        baseline.push_back(run("127.0.0.1", barePort, token, spaces, pass, discarded, 0));
        std::printf("pass %d: sonvera %.0f requests/s (p50 %.2f ms, p99 %.2f ms, %.0f us of processor time a request), "
                    "bare server %.0f requests/s (p50 %.2f ms, p99 %.2f ms)\n",
                    pass + 1, served.back().rate(), served.back().p50Ms, served.back().p99Ms,
                    served.back().serverMicrosecondsPerRequest, baseline.back().rate(), baseline.back().p50Ms,
                    baseline.back().p99Ms);
    }
    bare.stop();
    listener.join();
    const QString problem = consistencyProblem(setup, written, spaces);

    const auto median = [](std::vector<RunFigures> runs) {
        std::sort(runs.begin(), runs.end(),
                  [](const RunFigures& a, const RunFigures& b) { return a.rate() < b.rate(); });
        return runs[runs.size() / 2];
    };
    const RunFigures sonvera = median(served);
    const RunFigures bareMedian = median(baseline);
    int failures = 0;
    int bareFailures = 0;
    for (int pass = 0; pass < Passes; ++pass) {
        failures += served[size_t(pass)].failures;
        bareFailures += baseline[size_t(pass)].failures;
    }
    std::printf("service throughput, %d clients on reused connections, %d passes of %d requests of the client's mix, "
                "medians: sonvera %.0f requests/s (p50 %.2f ms, p99 %.2f ms, %.0f us of processor time a request), "
                "baseline bare server with a fixed "
                "%.0f-byte answer %.0f requests/s (p50 %.2f ms, p99 %.2f ms), ratio %.2f (goal >= %.1f); non-2xx "
                "answers %d (goal 0); consistency %s\n",
                Clients, Passes, sonvera.requests, sonvera.rate(), sonvera.p50Ms, sonvera.p99Ms,
                sonvera.serverMicrosecondsPerRequest, served.front().meanAnswerBytes, bareMedian.rate(),
                bareMedian.p50Ms, bareMedian.p99Ms, sonvera.rate() / bareMedian.rate(), Goal, failures,
                problem.isEmpty() ? "every created patient listed once, no upload lost" : qPrintable(problem));
    return problem.isEmpty() && failures == 0 && bareFailures == 0 ? 0 : 1;
}
