#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

namespace localservice {

// Slows down guessing the password of a user name: after a few sign-ins of
// the name from one address that did not succeed, the next attempt of that
// name from that address must wait, twice as long after each further one.
// The same name from another address is not affected, so a stranger's
// guesses never lock the practitioner's own computer out; other names are
// not affected either, and once the pause is over the right password signs
// in as always. At most MaxTracked name and address pairs are remembered:
// beyond that the one whose last failure is oldest is forgotten.
class SignInThrottle
{
public:
    static constexpr int FreeAttempts = 5;
    static constexpr std::int64_t FirstPauseMs = 1000;
    static constexpr std::int64_t LongestPauseMs = 15 * 60 * 1000;
    static constexpr std::size_t MaxTracked = 10000;

    // How long the name must still wait at this address, or 0 when this
    // attempt may go on. An attempt that goes on counts as failed until
    // succeeded() is called, so parallel guesses are counted too.
    std::int64_t admit(const std::string& username, const std::string& address, std::int64_t nowMs);
    void succeeded(const std::string& username, const std::string& address);

    std::size_t tracked() const;

private:
    struct Failures
    {
        int count = 0;
        std::int64_t lastAtMs = 0;
        std::int64_t pausedUntilMs = 0;
    };

    void forgetQuietAttempts(std::int64_t nowMs, bool evenIfSweptLately);
    void makeRoom(std::int64_t nowMs);

    mutable std::mutex m_mutex;
    std::unordered_map<std::string, Failures> m_failures; // by name and address
    std::int64_t m_lastSweepMs = 0;
};

} // namespace localservice
