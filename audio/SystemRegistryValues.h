#pragma once

#include "audio/RegistryValues.h"

// The registry of the Windows system the program runs on, through the
// toolkit's settings class in its 64-bit registry format. Keys of
// HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER; reading changes nothing.
class SystemRegistryValues : public RegistryValues
{
public:
    QVariant value(const QString& key, const QString& name, const QVariant& fallback) const override;
};
