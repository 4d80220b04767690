#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

namespace localservice {

// Slows down guessing the password of one user name: after a few sign-ins
// of the name that did not succeed, its next attempt must wait, twice as
// long after each further one. Other names are not affected, and once the
// pause is over the right password signs in as always.
class SignInThrottle
{
public:
    static constexpr int FreeAttempts = 5;
    static constexpr std::int64_t FirstPauseMs = 1000;
    static constexpr std::int64_t LongestPauseMs = 15 * 60 * 1000;

    // How long the name must still wait, or 0 when this attempt may go on.
    // An attempt that goes on counts as failed until succeeded() is called,
    // so parallel guesses are counted too.
    std::int64_t admit(const std::string& username, std::int64_t nowMs);
    void succeeded(const std::string& username);

private:
    struct Failures
    {
        int count = 0;
        std::int64_t lastAtMs = 0;
        std::int64_t pausedUntilMs = 0;
    };

    void forgetQuietNames(std::int64_t nowMs);

    std::mutex m_mutex;
    std::unordered_map<std::string, Failures> m_failures;
    std::int64_t m_lastSweepMs = 0;
};

} // namespace localservice
