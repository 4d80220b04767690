#include "audio/WindowsSensorRegistry.h"

#include <QSettings>

namespace {

// Backslashes are the registry's separators; the paths are read as they stand.
const QString kUsbAudioKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Services\\usbaudio\\Enum\\");
const QString kDeviceKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Enum\\");
const QString kCompositeKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Services\\usbccgp\\Enum\\");

constexpr int kMissingValue = 1024;

// A driver's Enum key lists the instance paths it serves as the values "0",
// "1", ... up to "Count" minus 1.
QStringList enumeratedInstancePaths(const QString& key)
{
    const QSettings settings(key, QSettings::Registry64Format);
    const int count = settings.value(QStringLiteral("Count"), kMissingValue).toInt();
    QStringList paths;
    for (int i = 0; i < count; ++i)
        paths.append(settings.value(QString::number(i), kMissingValue).toString());
    return paths;
}

} // namespace

QStringList WindowsSensorRegistry::usbAudioInstancePaths() const
{
    return enumeratedInstancePaths(kUsbAudioKey);
}

QString WindowsSensorRegistry::friendlyName(const QString& instancePath) const
{
    const QSettings settings(kDeviceKey + instancePath, QSettings::Registry64Format);
    return settings.value(QStringLiteral("FriendlyName"), kMissingValue).toString();
}

QStringList WindowsSensorRegistry::compositeInstancePaths() const
{
    return enumeratedInstancePaths(kCompositeKey);
}
