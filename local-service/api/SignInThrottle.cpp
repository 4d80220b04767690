#include "api/SignInThrottle.h"

#include <algorithm>

namespace localservice {

namespace {

// Failures this old no longer count: the series of attempts has ended.
constexpr std::int64_t QuietMs = 60 * 60 * 1000;

// Neither part can hold the other's separator: an address has no NUL.
std::string keyOf(const std::string& username, const std::string& address)
{
    return address + '\0' + username;
}

} // namespace

std::int64_t SignInThrottle::admit(const std::string& username, const std::string& address, std::int64_t nowMs)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    forgetQuietAttempts(nowMs, false);
    const std::string key = keyOf(username, address);
    auto found = m_failures.find(key);
    if (found == m_failures.end()) {
        makeRoom(nowMs);
        found = m_failures.emplace(key, Failures{}).first;
    }
    Failures& failures = found->second;
    if (failures.pausedUntilMs > nowMs)
        return failures.pausedUntilMs - nowMs;
    if (nowMs - failures.lastAtMs > QuietMs)
        failures.count = 0;
    ++failures.count;
    failures.lastAtMs = nowMs;
    if (failures.count >= FreeAttempts) {
        const int doublings = std::min(failures.count - FreeAttempts, 30);
        failures.pausedUntilMs = nowMs + std::min(FirstPauseMs << doublings, LongestPauseMs);
    }
    return 0;
}

void SignInThrottle::succeeded(const std::string& username, const std::string& address)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_failures.erase(keyOf(username, address));
}

std::size_t SignInThrottle::tracked() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_failures.size();
}

void SignInThrottle::forgetQuietAttempts(std::int64_t nowMs, bool evenIfSweptLately)
{
    // At most once a minute unless room is needed, so that guesses over many
    // names cost no more than the names themselves.
    if (!evenIfSweptLately && nowMs - m_lastSweepMs < 60 * 1000)
        return;
    m_lastSweepMs = nowMs;
    for (auto it = m_failures.begin(); it != m_failures.end();) {
        if (nowMs - it->second.lastAtMs > QuietMs && it->second.pausedUntilMs <= nowMs)
            it = m_failures.erase(it);
        else
            ++it;
    }
}

void SignInThrottle::makeRoom(std::int64_t nowMs)
{
    if (m_failures.size() < MaxTracked)
        return;
    forgetQuietAttempts(nowMs, true);
    if (m_failures.size() < MaxTracked)
        return;
    const auto oldest = std::min_element(m_failures.begin(), m_failures.end(), [](const auto& a, const auto& b) {
        return a.second.lastAtMs < b.second.lastAtMs;
    });
    m_failures.erase(oldest);
}

} // namespace localservice
