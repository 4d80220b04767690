#pragma once

#include "audio/KeepAwake.h"

#include <QString>

// Windows: SetThreadExecutionState, looked up by name in kernel32.dll at run
// time and called on the player's thread. While sound plays or is paused
// every call renews the request to keep the system and away mode up;
// otherwise it withdraws it. A library or function that can't be found is
// left alone. Built on every platform, so that its tests run against a
// stand-in library too.
class WindowsKeepAwake : public KeepAwake
{
public:
    // ES_CONTINUOUS with ES_SYSTEM_REQUIRED and ES_AWAYMODE_REQUIRED, and
    // ES_CONTINUOUS alone, which clears the request.
    static constexpr unsigned long awakeFlags = 0x80000041UL;
    static constexpr unsigned long releasedFlags = 0x80000000UL;

    // The library that holds the function: the system's, or a test's stand-in.
    explicit WindowsKeepAwake(QString library = QStringLiteral("kernel32.dll"));

    void setAwake(bool playingOrPaused) override;

private:
    QString m_library;
};
