#include "api/SignInThrottle.h"

#include <algorithm>

namespace localservice {

namespace {

// Failures this old no longer count: the series of attempts has ended.
constexpr std::int64_t QuietMs = 60 * 60 * 1000;

} // namespace

std::int64_t SignInThrottle::admit(const std::string& username, std::int64_t nowMs)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    forgetQuietNames(nowMs);
    Failures& failures = m_failures[username];
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

void SignInThrottle::succeeded(const std::string& username)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_failures.erase(username);
}

void SignInThrottle::forgetQuietNames(std::int64_t nowMs)
{
    // At most once a minute, so guesses over many names cost no more than
    // the names themselves.
    if (nowMs - m_lastSweepMs < 60 * 1000)
        return;
    m_lastSweepMs = nowMs;
    for (auto it = m_failures.begin(); it != m_failures.end();) {
        if (nowMs - it->second.lastAtMs > QuietMs && it->second.pausedUntilMs <= nowMs)
            it = m_failures.erase(it);
        else
            ++it;
    }
}

} // namespace localservice
