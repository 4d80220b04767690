#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string_view>
#include <thread>

namespace localservice {

class ConnectionPool;
class Database;

// The samples of recordings live in a table of their own: a removed record
// leaves its samples queued, and they are purged afterwards a few at a time,
// so that no removal holds other writers up for long (see the schema's
// version 5).

// Stores the samples; the id the record refers to them by.
std::int64_t storeSamples(Database& db, std::string_view samples);

// Purges queued samples in one write transaction, at least one of them and
// no more than about `byteBudget` bytes; true while more are queued.
bool purgeRemovedSamples(Database& db, std::size_t byteBudget);

// Purges the queued samples on a thread of its own, from the start (what a
// stopped service left queued) and whenever records have been removed. Each
// round is one short write transaction; writers waiting meanwhile take their
// turn between two rounds.
class SamplesPurge
{
public:
    // About 13 ms of work with SQLite's secure deletion, which overwrites
    // what it removes.
    static constexpr std::size_t BytesPerRound = 1024 * 1024;

    explicit SamplesPurge(ConnectionPool& pool);
    ~SamplesPurge();
    SamplesPurge(const SamplesPurge&) = delete;
    SamplesPurge& operator=(const SamplesPurge&) = delete;

private:
    void run();
    bool purgeAll();

    ConnectionPool& m_pool;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace localservice
