#include "storage/KeyListCache.h"

namespace localservice {

KeyListCache::Keys KeyListCache::find(const std::string& name, std::int64_t version)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    const auto found = m_entries.find(name);
    if (found == m_entries.end() || found->second.version != version)
        return nullptr;
    m_uses.splice(m_uses.begin(), m_uses, found->second.use);
    return found->second.keys;
}

void KeyListCache::store(const std::string& name, std::int64_t version, Keys keys)
{
    if (!keys || keys->size() > m_maxKeys)
        return;
    std::lock_guard<std::mutex> guard(m_mutex);
    const auto found = m_entries.find(name);
    if (found != m_entries.end()) {
        m_keyCount -= found->second.keys->size();
        m_uses.erase(found->second.use);
        m_entries.erase(found);
    }
    evictBeyond(m_maxKeys - keys->size());
    m_uses.push_front(name);
    m_keyCount += keys->size();
    m_entries.emplace(name, Entry{version, std::move(keys), m_uses.begin()});
}

void KeyListCache::evictBeyond(std::size_t maxKeys)
{
    while (m_keyCount > maxKeys && !m_uses.empty()) {
        const auto oldest = m_entries.find(m_uses.back());
        m_keyCount -= oldest->second.keys->size();
        m_entries.erase(oldest);
        m_uses.pop_back();
    }
}

} // namespace localservice
