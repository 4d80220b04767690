#pragma once

#include "audio/SensorRegistry.h"

#include <QString>

#include <functional>
#include <memory>

// The identifier of the attached sensor (36 characters, as the system holds
// it), or an empty text when no sensor is found. Asked afresh on every call,
// so a sensor plugged in or out between two actions is seen at the next one.
QString sensorId();
QString sensorId(const SensorRegistry& registry);

// The registry of the platform the program runs on.
std::unique_ptr<SensorRegistry> platformSensorRegistry();

// Where sensorId() without arguments looks. The program reads the platform's
// registry; a test puts in a function that returns a registry of its own, so
// the screens that ask for the sensor can be driven with or without one.
class SensorRegistryFactory
{
public:
    using Function = std::function<std::unique_ptr<SensorRegistry>()>;

    static std::unique_ptr<SensorRegistry> create();
    // An empty function restores the platform's registry.
    static void set(Function function);

private:
    static Function& current();
};
