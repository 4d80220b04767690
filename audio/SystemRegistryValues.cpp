#include "audio/SystemRegistryValues.h"

#include <QSettings>

#include <windows.h>

namespace {

// The toolkit's settings open a key for writing when they may, and so make a
// key that is missing when the program runs as an administrator: reading must
// leave the registry as it was, so a missing key never reaches them.
bool keyExists(const QString& key)
{
    static const QString machine = QStringLiteral("HKEY_LOCAL_MACHINE\\");
    static const QString user = QStringLiteral("HKEY_CURRENT_USER\\");
    HKEY root = nullptr;
    QString path;
    if (key.startsWith(machine, Qt::CaseInsensitive)) {
        root = HKEY_LOCAL_MACHINE;
        path = key.mid(machine.size());
    } else if (key.startsWith(user, Qt::CaseInsensitive)) {
        root = HKEY_CURRENT_USER;
        path = key.mid(user.size());
    } else {
        return false;
    }
    while (path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, reinterpret_cast<const wchar_t*>(path.utf16()), 0, KEY_READ | KEY_WOW64_64KEY, &handle) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

} // namespace

QVariant SystemRegistryValues::value(const QString& key, const QString& name, const QVariant& fallback) const
{
    if (!keyExists(key))
        return fallback;
    const QSettings settings(key, QSettings::Registry64Format);
    return settings.value(name, fallback);
}
