#include "audio/KeepAwake.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include "audio/WindowsKeepAwake.h"
#else
#include "audio/DBusKeepAwake.h"
#endif

std::unique_ptr<KeepAwake> KeepAwakeFactory::create()
{
    if (current())
        return current()();
#ifdef Q_OS_WIN
    return std::make_unique<WindowsKeepAwake>();
#else
    return std::make_unique<DBusKeepAwake>();
#endif
}

void KeepAwakeFactory::set(Function function)
{
    current() = std::move(function);
}

KeepAwakeFactory::Function& KeepAwakeFactory::current()
{
    static Function function;
    return function;
}
