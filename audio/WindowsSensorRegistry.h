#pragma once

#include "audio/SensorRegistry.h"

#include <memory>

class RegistryValues;

// The three look-ups read from the Windows device registry. Every value is
// read with the integer 1024 as its default, as the scan has always done: a
// missing "Count" gives 1024 entries, a missing entry or "FriendlyName" reads
// as the text "1024", which matches no sensor. Nothing is cached. Built on
// every platform, so that its tests run against registries of their own.
class WindowsSensorRegistry : public SensorRegistry
{
public:
    explicit WindowsSensorRegistry(std::shared_ptr<const RegistryValues> registry);

    QStringList usbAudioInstancePaths() const override;
    QString friendlyName(const QString& instancePath) const override;
    QStringList compositeInstancePaths() const override;

private:
    // A driver's Enum key lists the instance paths it serves as the values
    // "0", "1", ... up to "Count" minus 1.
    QStringList enumeratedInstancePaths(const QString& key) const;

    std::shared_ptr<const RegistryValues> m_registry;
};
