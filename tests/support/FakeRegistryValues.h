#pragma once

#include "audio/RegistryValues.h"

#include <QHash>

// A registry held in memory, read as the Windows registry reads: key paths
// and value names without regard to letter case or a trailing separator, a
// DWORD as a signed integer, a string as text.
class FakeRegistryValues : public RegistryValues
{
public:
    // An unsigned number is stored as a DWORD, anything else as a string.
    void set(const QString& key, const QString& name, const QVariant& data)
    {
        m_values.insert(slot(key, name),
                        data.userType() == QMetaType::UInt ? QVariant(int(data.toUInt())) : QVariant(data.toString()));
    }

    QVariant value(const QString& key, const QString& name, const QVariant& fallback) const override
    {
        return m_values.value(slot(key, name), fallback);
    }

private:
    static QString slot(QString key, const QString& name)
    {
        while (key.endsWith(QLatin1Char('\\')))
            key.chop(1);
        return key.toCaseFolded() + QLatin1Char('\n') + name.toCaseFolded();
    }

    QHash<QString, QVariant> m_values;
};
