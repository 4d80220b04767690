#include "audio/WindowsKeepAwake.h"

#include <QLibrary>

#include <utility>

namespace {

#ifdef Q_OS_WIN
using SetThreadExecutionStateFunction = unsigned long(__stdcall*)(unsigned long);
#else
using SetThreadExecutionStateFunction = unsigned long (*)(unsigned long);
#endif

} // namespace

WindowsKeepAwake::WindowsKeepAwake(QString library) : m_library(std::move(library)) {}

void WindowsKeepAwake::setAwake(bool playingOrPaused)
{
    // The library is loaded and unloaded for every call, which is cheap: the
    // process has kernel32 loaded anyway.
    QLibrary kernel(m_library);
    if (!kernel.load())
        return;
    const auto setThreadExecutionState =
        reinterpret_cast<SetThreadExecutionStateFunction>(kernel.resolve("SetThreadExecutionState"));
    if (setThreadExecutionState)
        setThreadExecutionState(playingOrPaused ? awakeFlags : releasedFlags);
    kernel.unload();
}
