#include "audio/SensorDeviceChoice.h"

#include <algorithm>

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

namespace {

bool isOutputMonitor(const QAudioDeviceInfo& device)
{
    return device.deviceName().endsWith(QLatin1String(".monitor"));
}

} // namespace

SensorAudioDevice chooseSensorAudioDevice(QAudio::Mode mode)
{
    if (mode == QAudio::AudioOutput)
        return chooseSensorAudioDevice(QAudioDeviceInfo::availableDevices(mode),
                                       QAudioDeviceInfo::defaultOutputDevice());
    // The sound server lists the monitor of every output among the inputs,
    // named after the output: the sensor's own output monitor comes before its
    // input and would record what the program plays, not the sensor's signal.
    QList<QAudioDeviceInfo> inputs = QAudioDeviceInfo::availableDevices(mode);
    inputs.erase(std::remove_if(inputs.begin(), inputs.end(), isOutputMonitor), inputs.end());
    return chooseSensorAudioDevice(inputs, QAudioDeviceInfo::defaultInputDevice());
}
