#pragma once

#include "audio/SensorRegistry.h"

// The three look-ups read from the Windows device registry, 64-bit view. Every
// value is read with the integer 1024 as its default, as the scan has always
// done: a missing "Count" gives 1024 entries, a missing entry or "FriendlyName"
// reads as the text "1024", which matches no sensor. Nothing is cached.
class WindowsSensorRegistry : public SensorRegistry
{
public:
    QStringList usbAudioInstancePaths() const override;
    QString friendlyName(const QString& instancePath) const override;
    QStringList compositeInstancePaths() const override;
};
