// The local service's patient list over HTTP at 1,000, 10,000 and 100,000
// patients of one account: every request the client can send (each order and
// direction, either search field with its box empty or holding needles of
// one, two and more characters, common and rare; first, middle and last
// page), against a bare indexed query of one page on the same database; and
// a deep page asked for right after a change of the list.
#include "BenchFigures.h"
#include "LocalService.h"
#include "storage/Clock.h"
#include "storage/Database.h"
#include "storage/PasswordHasher.h"
#include "storage/Samples.h"
#include "storage/TextFolding.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <httplib.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>
#include <vector>

using namespace localservice;

namespace {

constexpr int runs = 7;
constexpr double goalMs = 20;
const int sizes[] = {1000, 10000, 100000};

const char* const givenNames[] = {"Anna",  "Boris", "Clara", "David", "Elena", "Fedor",   "Greta", "Hans",
                                  "Irina", "Jonas", "Katja", "Lukas", "Maria", "Nikolai", "Olga",  "Pavel"};
const char* const familyNames[] = {"Schmidt", "Ivanova", "Keller", "Smirnov",  "Clarke", "Novak",  "Weber",   "Popova",
                                   "Fischer", "Morozov", "Wagner", "Lebedeva", "Becker", "Kozlov", "Hoffmann"};
const char* const noteWords[] = {"migraine", "back pain", "insomnia", "check-up", "hypertension", "asthma", "", ""};

// Adds patients to the account until it has `target`, directly in the
// tables the service reads; about one in ten has a recording.
void fillTo(Database& db, std::int64_t accountId, int target, std::uint32_t& seed)
{
    const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    Statement count = db.prepare("SELECT patient_count FROM accounts WHERE id = ?");
    count.bind(1, accountId);
    count.step();
    const int existing = static_cast<int>(count.integer(0));
    Database::Transaction transaction(db);
    const std::int64_t now = currentTimeMs();
    for (int i = existing; i < target; ++i) {
        const std::string name =
            std::string(givenNames[next() >> 28]) + " " + familyNames[(next() >> 16) % 15] + " " + std::to_string(i);
        const std::string notes = noteWords[(next() >> 8) % 8];
        char birth[16];
        std::snprintf(birth, sizeof birth, "%04u-%02u-%02u", 1930 + (next() >> 8) % 90, 1 + (next() >> 8) % 12,
                      1 + (next() >> 8) % 28);
        const std::string id = newUuid();
        db.prepare("INSERT INTO patients (id, account_id, name, name_folded, birth_date, gender, notes, notes_folded, "
                   "phone, created_at) VALUES (?, ?, ?, ?, ?, ?, ?, ?, '', ?)")
            .bind(1, id)
            .bind(2, accountId)
            .bind(3, name)
            .bind(4, foldCase(name))
            .bind(5, birth)
            .bind(6, (next() >> 8) % 2 ? "MALE" : "FEMALE")
            .bind(7, notes)
            .bind(8, foldCase(notes))
            .bind(9, now + i)
            .run();
        if ((next() >> 8) % 10 == 0) {
            const std::int64_t samplesId = storeSamples(db, "\x80");
            db.prepare("INSERT INTO records (id, patient_id, doctor_name, recorded_at, sensor_id, editable, "
                       "samples_id) VALUES (?, ?, 'Dr. Bench', ?, 'bench', 1, ?)")
                .bind(1, newUuid())
                .bind(2, id)
                .bind(3, now - static_cast<std::int64_t>(next() % 1000000000u))
                .bind(4, samplesId)
                .run();
        }
    }
    transaction.commit();
}

std::string needle(const std::string& text)
{
    static const char* const alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._";
    std::string out;
    int bits = 0;
    unsigned value = 0;
    for (const unsigned char c : text) {
        value = (value << 8) | c;
        bits += 8;
        while (bits >= 6) {
            out += alphabet[(value >> (bits - 6)) & 63];
            bits -= 6;
        }
    }
    if (bits > 0)
        out += alphabet[(value << (6 - bits)) & 63];
    while (out.size() % 4)
        out += '-';
    return out;
}

// The median of the times that `timed` reports of its runs, after one more
// run to warm up.
double medianOfTimed(const std::function<double()>& timed)
{
    std::vector<double> times;
    for (int run = -1; run < runs; ++run) {
        const double ms = timed();
        if (run >= 0)
            times.push_back(ms);
    }
    return median(times);
}

double medianOf(const std::function<void()>& work)
{
    return medianOfTimed([&work] {
        QElapsedTimer timer;
        timer.start();
        work();
        return millisecondsSince(timer);
    });
}

// One list request the client can send: an order (none, or a column and a
// direction), the search field (the client always names one), a needle (none
// while the search box is empty) and a page.
struct ListCase
{
    std::string label;
    std::string query; // without the page
};

enum class Page
{
    First,
    Middle,
    Last
};

std::vector<ListCase> listCases()
{
    std::vector<std::pair<std::string, std::string>> orders{{"default order", "&sortby=&direction="}};
    for (const char* sortBy : {"name", "age", "gender", "record", "notes"}) {
        for (const char* direction : {"asc", "desc"})
            orders.push_back(
                {std::string(sortBy) + " " + direction, std::string("&sortby=") + sortBy + "&direction=" + direction});
    }
    // Needles of one, two and more characters, common and rare.
    const std::vector<std::pair<std::string, std::vector<std::string>>> searches{
        {"name", {"", "a", "ov", "smirnov", "4242"}},
        {"notes", {"", "p", "in", "migraine", "zzz"}},
    };
    std::vector<ListCase> cases;
    for (const auto& [field, needles] : searches) {
        for (const std::string& text : needles) {
            for (const auto& [orderLabel, orderQuery] : orders) {
                const std::string search = text.empty() ? field + " search box empty" : field + " \"" + text + "\"";
                cases.push_back(
                    {orderLabel + ", " + search, orderQuery + "&searchby=" + field + "&needle=" + needle(text)});
            }
        }
    }
    return cases;
}

const char* pageLabel(Page page)
{
    return page == Page::First ? "first page" : page == Page::Middle ? "middle page" : "last page";
}

} // namespace

int main()
{
    QTemporaryDir folder;
    ServiceOptions options;
    options.databasePath = folder.filePath(QStringLiteral("bench.db")).toStdString();
    std::ostringstream quiet;
    LocalService service(options, quiet);
    const int port = service.bind();
    std::thread server([&service] { service.serve(); });

    httplib::Client client("127.0.0.1", port);
    const auto signedIn = client.Post("/auth/login", httplib::Params{{"username", "demo"}, {"password", "demo"}});
    if (!signedIn || signedIn->status != 200) {
        std::fprintf(stderr, "service lists: signing in failed\n");
        return 1;
    }
    const httplib::Headers authorization{
        {"Authorization", "Bearer " + nlohmann::json::parse(signedIn->body)["accessToken"].get<std::string>()}};

    Database db(options.databasePath);
    // Read in a statement of its own that ends here: one left open would hold
    // its snapshot, and this connection's writes would fail once the
    // service has written.
    const std::int64_t accountId = [&db] {
        Statement account = db.prepare("SELECT id FROM accounts WHERE username = 'demo'");
        account.step();
        return account.integer(0);
    }();
    std::uint32_t seed = 20211;

    int failures = 0;
    for (const int size : sizes) {
        fillTo(db, accountId, size, seed);
        // The baseline: the bare indexed query of a page of names.
        Statement bare =
            db.prepare("SELECT id, name FROM patients WHERE account_id = ? ORDER BY name_folded, id LIMIT 20");
        const double baseline = medianOf([&] {
            bare.bind(1, accountId);
            while (bare.step()) {
            }
            bare.reset();
        });
        std::vector<double> all;
        std::string slowest;
        for (const ListCase& list : listCases()) {
            const std::string path = "/patient/filter?size=20" + list.query;
            const auto first = client.Get((path + "&current=0").c_str(), authorization);
            if (!first || first->status != 200) {
                std::fprintf(stderr, "service lists: %s failed\n", list.label.c_str());
                return 1;
            }
            const int pages = nlohmann::json::parse(first->body)["pages"].get<int>();
            for (const Page page : {Page::First, Page::Middle, Page::Last}) {
                const int index = page == Page::First ? 0 : page == Page::Middle ? pages / 2 : std::max(pages - 1, 0);
                const std::string paged = path + "&current=" + std::to_string(index);
                bool answered = true;
                const double ours = medianOf([&] {
                    const auto reply = client.Get(paged.c_str(), authorization);
                    answered = answered && reply && reply->status == 200;
                });
                if (!answered) {
                    std::fprintf(stderr, "service lists: %s failed\n", list.label.c_str());
                    return 1;
                }
                if (ours > (all.empty() ? 0 : *std::max_element(all.begin(), all.end())))
                    slowest = list.label + ", " + pageLabel(page);
                all.push_back(ours);
                // Every combination at the largest size; the smaller ones in the summary only.
                if (size == sizes[std::size(sizes) - 1]) {
                    failures += ours > goalMs;
                    std::printf("patient list of %d patients, %s, %s (%d pages): sonvera %.2f ms, baseline bare "
                                "indexed query %.3f ms, ratio %.1f (goal <= %.0f ms)\n",
                                size, list.label.c_str(), pageLabel(page), pages, ours, baseline, ours / baseline,
                                goalMs);
                }
            }
        }
        const auto over = std::count_if(all.begin(), all.end(), [](double ms) { return ms >= goalMs; });
        // A deep page reads its order (and a search its matches) once per
        // change of the list; the requests above find them kept. Here each
        // request comes right after a change: a birth date, which moves the
        // list on for every order and search.
        for (const auto& [label, query] : std::vector<std::pair<std::string, std::string>>{
                 {"name asc, name search box empty", "sortby=name&direction=asc&searchby=name&needle="},
                 {"age desc, name \"a\"", "sortby=age&direction=desc&searchby=name&needle=" + needle("a")},
                 {"notes desc, notes \"migraine\"",
                  "sortby=notes&direction=desc&searchby=notes&needle=" + needle("migraine")}}) {
            const std::string path = "/patient/filter?size=20&" + query;
            const auto first = client.Get((path + "&current=0").c_str(), authorization);
            const int pages = first ? nlohmann::json::parse(first->body)["pages"].get<int>() : 0;
            const std::string middle = path + "&current=" + std::to_string(pages / 2);
            int change = 0;
            const double afterChange = medianOfTimed([&] {
                db.prepare("UPDATE patients SET birth_date = ?1 WHERE account_id = ?2 AND search_key = "
                           "(SELECT min(search_key) FROM patients WHERE account_id = ?2)")
                    .bind(1, ++change % 2 ? "1950-01-01" : "1960-01-01")
                    .bind(2, accountId)
                    .run();
                QElapsedTimer timer;
                timer.start();
                client.Get(middle.c_str(), authorization);
                return millisecondsSince(timer);
            });
            std::printf("patient list of %d patients, %s, middle page, first request after a change of the list: "
                        "sonvera %.2f ms, baseline bare indexed query %.3f ms, ratio %.1f\n",
                        size, label.c_str(), afterChange, baseline, afterChange / baseline);
        }
        std::printf("patient list of %d patients, all %zu combinations: median %.2f ms, slowest %.2f ms (%s), "
                    "baseline bare indexed query %.3f ms, ratio of the slowest %.1f; %ld of them at %.0f ms or more\n",
                    size, all.size(), median(all), *std::max_element(all.begin(), all.end()), slowest.c_str(), baseline,
                    *std::max_element(all.begin(), all.end()) / baseline, long(over), goalMs);
    }
    service.stop();
    server.join();
    return failures == 0 ? 0 : 1;
}
