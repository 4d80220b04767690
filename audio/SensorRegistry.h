#pragma once

#include <QString>
#include <QStringList>

// What the operating system knows about the attached USB audio devices, in
// the three look-ups that recognising the sensor needs. Instance paths have
// the form USB\VID_vvvv&PID_pppp\instance; the audio function of a composite
// device adds &MI_nn after the product number.
class SensorRegistry
{
public:
    virtual ~SensorRegistry() = default;

    // Instance paths of the USB audio functions, in the system's order.
    virtual QStringList usbAudioInstancePaths() const = 0;
    // The display name of the device with that instance path.
    virtual QString friendlyName(const QString& instancePath) const = 0;
    // Instance paths of the composite USB devices, in the system's order.
    virtual QStringList compositeInstancePaths() const = 0;
};
