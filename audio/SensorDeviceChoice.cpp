#include "audio/SensorDeviceChoice.h"

const QStringList& sensorDeviceNames()
{
    static const QStringList names{QStringLiteral("Sonvera USB v"), QStringLiteral("C-Media USB Headphone Set")};
    return names;
}

namespace {

bool descriptionHolds(const QString& description, const QString& entry)
{
    if (description.contains(entry, Qt::CaseSensitive))
        return true;
    QString blanks = description;
    blanks.replace(QLatin1Char('_'), QLatin1Char(' '));
    return blanks.contains(entry, Qt::CaseSensitive);
}

} // namespace

SensorDeviceMatch chooseSensorDevice(const QStringList& descriptions)
{
    for (int i = 0; i < descriptions.size(); ++i) {
        for (const QString& entry : sensorDeviceNames()) {
            if (descriptionHolds(descriptions.at(i), entry))
                return {i, entry};
        }
    }
    return {};
}

SensorAudioDevice chooseSensorAudioDevice(const QList<QAudioDeviceInfo>& devices, const QAudioDeviceInfo& fallback)
{
    QStringList names;
    names.reserve(devices.size());
    for (const QAudioDeviceInfo& device : devices)
        names.append(device.deviceName());
    const SensorDeviceMatch match = chooseSensorDevice(names);
    return {match.found() ? devices.at(match.index) : fallback, match};
}

SensorAudioDevice chooseSensorAudioDevice(QAudio::Mode mode)
{
    const QAudioDeviceInfo fallback =
        mode == QAudio::AudioInput ? QAudioDeviceInfo::defaultInputDevice() : QAudioDeviceInfo::defaultOutputDevice();
    return chooseSensorAudioDevice(QAudioDeviceInfo::availableDevices(mode), fallback);
}
