#pragma once

#include <QString>
#include <QVariant>

// Values of the Windows registry, read by key path (such as
// "HKEY_LOCAL_MACHINE\SYSTEM\ControlSet001\Enum\USB\...") and value name,
// in the 64-bit view. Key paths and names are compared without regard to
// letter case, as the registry does; a key or value that is missing reads
// as the fallback. A DWORD reads as a signed integer, a string as text.
class RegistryValues
{
public:
    virtual ~RegistryValues() = default;

    virtual QVariant value(const QString& key, const QString& name, const QVariant& fallback) const = 0;
};
