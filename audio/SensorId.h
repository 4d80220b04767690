#pragma once

#include "audio/SensorRegistry.h"

#include <QString>

#include <memory>

// The identifier of the attached sensor (36 characters, as the system holds
// it), or an empty text when no sensor is found. Asked afresh on every call,
// so a sensor plugged in or out between two actions is seen at the next one.
QString sensorId();
QString sensorId(const SensorRegistry& registry);

// The registry of the platform the program runs on.
std::unique_ptr<SensorRegistry> platformSensorRegistry();
