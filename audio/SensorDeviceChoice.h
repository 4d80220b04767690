#pragma once

#include <QAudio>
#include <QAudioDeviceInfo>
#include <QList>
#include <QString>
#include <QStringList>

// The name fragments by which the recorder picks its audio input and the
// player its audio output, in the order they are tried.
const QStringList& sensorDeviceNames();

// Which device the rule chose and by which entry of sensorDeviceNames().
struct SensorDeviceMatch
{
    int index = -1; // -1: no device matched, keep the default device
    QString entry;

    bool found() const { return index >= 0; }
};

// The first device whose description contains, case-sensitively, an entry of
// sensorDeviceNames(); for each device the entries are tried in order and the
// first hit ends the search. The sound server of Linux names its devices with
// underscores where the product name has blanks
// ("alsa_input.usb-Maker_Sonvera_USB_v1.01_0001-00.mono-fallback"), so a
// description also matches when its underscores are read as blanks.
SensorDeviceMatch chooseSensorDevice(const QStringList& descriptions);

// The rule applied to the audio system's devices of one direction, compared by
// their names; `device` is the default device when none matched. Inputs that
// are the sound server's monitors of outputs are not candidates.
struct SensorAudioDevice
{
    QAudioDeviceInfo device;
    SensorDeviceMatch match;
};
SensorAudioDevice chooseSensorAudioDevice(QAudio::Mode mode);
SensorAudioDevice chooseSensorAudioDevice(const QList<QAudioDeviceInfo>& devices, const QAudioDeviceInfo& fallback);
