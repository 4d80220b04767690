#include "audio/WindowsSensorRegistry.h"

#include "audio/RegistryValues.h"

#include <utility>

namespace {

// Backslashes are the registry's separators; the paths are read as they stand.
const QString kUsbAudioKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Services\\usbaudio\\Enum\\");
const QString kDeviceKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Enum\\");
const QString kCompositeKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Services\\usbccgp\\Enum\\");

constexpr int kMissingValue = 1024;

} // namespace

WindowsSensorRegistry::WindowsSensorRegistry(std::shared_ptr<const RegistryValues> registry)
    : m_registry(std::move(registry))
{}

QStringList WindowsSensorRegistry::enumeratedInstancePaths(const QString& key) const
{
    const int count = m_registry->value(key, QStringLiteral("Count"), kMissingValue).toInt();
    QStringList paths;
    for (int i = 0; i < count; ++i)
        paths.append(m_registry->value(key, QString::number(i), kMissingValue).toString());
    return paths;
}

QStringList WindowsSensorRegistry::usbAudioInstancePaths() const
{
    return enumeratedInstancePaths(kUsbAudioKey);
}

QString WindowsSensorRegistry::friendlyName(const QString& instancePath) const
{
    return m_registry->value(kDeviceKey + instancePath, QStringLiteral("FriendlyName"), kMissingValue).toString();
}

QStringList WindowsSensorRegistry::compositeInstancePaths() const
{
    return enumeratedInstancePaths(kCompositeKey);
}
