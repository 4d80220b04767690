#pragma once

#include "audio/SensorRegistry.h"

#include <QHash>

// Look-ups from lists set by the test. Like the Windows registry, a path
// without a name set reads as the default "1024".
class FakeSensorRegistry : public SensorRegistry
{
public:
    QStringList audioPaths;
    QHash<QString, QString> names;
    QStringList compositePaths;

    void addAudio(const QString& path, const QString& name)
    {
        audioPaths.append(path);
        names.insert(path, name);
    }

    QStringList usbAudioInstancePaths() const override { return audioPaths; }

    QString friendlyName(const QString& instancePath) const override
    {
        return names.value(instancePath, QStringLiteral("1024"));
    }

    QStringList compositeInstancePaths() const override { return compositePaths; }
};
