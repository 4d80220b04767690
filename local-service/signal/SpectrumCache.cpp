#include "signal/SpectrumCache.h"

namespace localservice {

SpectrumCache::SpectrumCache(size_t capacity) : m_capacity(capacity == 0 ? 1 : capacity) {}

std::shared_ptr<const Spectrum> SpectrumCache::spectrum(const std::string& recordId, const SampleLoader& loadSamples)
{
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        const auto found = m_entries.find(recordId);
        if (found != m_entries.end()) {
            m_recency.splice(m_recency.begin(), m_recency, found->second.place);
            return found->second.spectrum;
        }
    }
    // Computed outside the lock: other requests go on meanwhile. Two misses
    // of the same record at once compute the same spectrum twice.
    auto computed = std::make_shared<const Spectrum>(loadSamples());
    std::lock_guard<std::mutex> guard(m_mutex);
    const auto found = m_entries.find(recordId);
    if (found != m_entries.end())
        return found->second.spectrum;
    if (m_entries.size() >= m_capacity) {
        m_entries.erase(m_recency.back());
        m_recency.pop_back();
    }
    m_recency.push_front(recordId);
    m_entries.emplace(recordId, Entry{computed, m_recency.begin()});
    return computed;
}

void SpectrumCache::drop(const std::string& recordId)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    const auto found = m_entries.find(recordId);
    if (found == m_entries.end())
        return;
    m_recency.erase(found->second.place);
    m_entries.erase(found);
}

} // namespace localservice
