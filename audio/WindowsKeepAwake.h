#pragma once

#include "audio/KeepAwake.h"

// Windows: SetThreadExecutionState of kernel32.dll, looked up at run time.
// While sound plays or is paused every call renews the request to keep the
// system and away mode up; otherwise it withdraws it. A system without the
// function is left alone.
class WindowsKeepAwake : public KeepAwake
{
public:
    void setAwake(bool playingOrPaused) override;
};
