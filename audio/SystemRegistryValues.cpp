#include "audio/SystemRegistryValues.h"

#include <QSettings>

QVariant SystemRegistryValues::value(const QString& key, const QString& name, const QVariant& fallback) const
{
    // Opening a key that does not exist creates nothing: the settings are
    // only read.
    const QSettings settings(key, QSettings::Registry64Format);
    return settings.value(name, fallback);
}
