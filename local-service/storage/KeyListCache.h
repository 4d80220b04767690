#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace localservice {

// Lists of search keys that cost a pass over many rows to read (an account's
// patients in one order, the matches of one needle), kept for the requests
// that follow. Each list is stored under a name with the version of the data
// it was read from; a lookup with another version finds nothing, so a list
// outlives no change of what it was read from. The connections of one
// database share one cache; the least recently used lists go first once
// their keys add up to more than the bound.
class KeyListCache
{
public:
    using Keys = std::shared_ptr<const std::vector<std::int64_t>>;

    explicit KeyListCache(std::size_t maxKeys = 4'000'000) : m_maxKeys(maxKeys) {}

    // The list stored under the name for this version, or null.
    Keys find(const std::string& name, std::int64_t version);
    void store(const std::string& name, std::int64_t version, Keys keys);

private:
    struct Entry
    {
        std::int64_t version;
        Keys keys;
        std::list<std::string>::iterator use;
    };
    void evictBeyond(std::size_t maxKeys);

    const std::size_t m_maxKeys;
    std::mutex m_mutex;
    std::map<std::string, Entry> m_entries;
    std::list<std::string> m_uses; // the most recently used first
    std::size_t m_keyCount = 0;
};

} // namespace localservice
