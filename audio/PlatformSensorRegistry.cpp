#include "audio/SensorId.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include "audio/SystemRegistryValues.h"
#include "audio/WindowsSensorRegistry.h"
#else
#include "audio/SysfsSensorRegistry.h"
#endif

std::unique_ptr<SensorRegistry> platformSensorRegistry()
{
#ifdef Q_OS_WIN
    return std::make_unique<WindowsSensorRegistry>(std::make_shared<SystemRegistryValues>());
#else
    return std::make_unique<SysfsSensorRegistry>();
#endif
}
