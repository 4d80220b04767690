#pragma once

#include "audio/SensorId.h"
#include "support/FakeSensorRegistry.h"

// For one test scope, sensorId() finds one plain sensor with the given
// identifier, or no sensor at all when it is empty; then the platform's
// registry is read again.
class ScopedSensor
{
public:
    explicit ScopedSensor(const QString& identifier)
    {
        SensorRegistryFactory::set([identifier]() -> std::unique_ptr<SensorRegistry> {
            auto registry = std::make_unique<FakeSensorRegistry>();
            if (!identifier.isEmpty())
                registry->addAudio(QStringLiteral("USB\\VID_0D8C&PID_0014\\") + identifier,
                                   QStringLiteral("Sonvera USB v1.01"));
            return registry;
        });
    }
    ~ScopedSensor() { SensorRegistryFactory::set({}); }
    ScopedSensor(const ScopedSensor&) = delete;
    ScopedSensor& operator=(const ScopedSensor&) = delete;
};
