#include "audio/WindowsKeepAwake.h"

#include <QLibrary>

namespace {

// ES_CONTINUOUS, ES_SYSTEM_REQUIRED and ES_AWAYMODE_REQUIRED.
constexpr unsigned long continuous = 0x80000000UL;
constexpr unsigned long systemRequired = 0x00000001UL;
constexpr unsigned long awayModeRequired = 0x00000040UL;

using SetThreadExecutionStateFunction = unsigned long(__stdcall*)(unsigned long);

} // namespace

void WindowsKeepAwake::setAwake(bool playingOrPaused)
{
    // The library is loaded and unloaded for every call, which is cheap: the
    // process has kernel32 loaded anyway.
    QLibrary kernel(QStringLiteral("kernel32.dll"));
    if (!kernel.load())
        return;
    const auto setThreadExecutionState =
        reinterpret_cast<SetThreadExecutionStateFunction>(kernel.resolve("SetThreadExecutionState"));
    if (setThreadExecutionState)
        setThreadExecutionState(playingOrPaused ? continuous | systemRequired | awayModeRequired : continuous);
    kernel.unload();
}
