#pragma once

#include "signal/Spectrum.h"

#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace localservice {

// Spectra of stored records by record id. A record's samples never change
// once stored, and computing its spectrum costs more than everything else an
// analysis does, while clients ask about the same records again and again.
// Holds at most `capacity` spectra, dropping the least recently used first.
class SpectrumCache
{
public:
    using SampleLoader = std::function<std::string()>;

    explicit SpectrumCache(size_t capacity);

    // The record's spectrum; on a miss it is computed from the samples the
    // loader reads. Callers check first that the record exists and is theirs.
    std::shared_ptr<const Spectrum> spectrum(const std::string& recordId, const SampleLoader& loadSamples);
    // Call when the record is deleted.
    void drop(const std::string& recordId);

private:
    using Recency = std::list<std::string>; // most recently used first
    struct Entry
    {
        std::shared_ptr<const Spectrum> spectrum;
        Recency::iterator place;
    };

    const size_t m_capacity;
    std::mutex m_mutex;
    Recency m_recency;
    std::unordered_map<std::string, Entry> m_entries;
};

} // namespace localservice
