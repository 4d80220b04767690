#pragma once

#include "audio/SensorRegistry.h"

#include <QString>

// The three look-ups answered from the kernel's USB device tree, so that the
// rules that recognise the sensor apply unchanged on Linux. Each look-up reads
// <root>/bus/usb/devices afresh; entries are taken in the order of their names.
//
// A device entry ("1-1") has idVendor and idProduct and, when the device has
// them, product and serial; its interface entries ("1-1:1.0") have
// bInterfaceClass (01 = audio) and bInterfaceNumber. A device maps onto the
// instance paths Windows would give it:
// - all its interfaces audio: a plain audio device, listed among the USB audio
//   functions as USB\VID_vvvv&PID_pppp\<serial>;
// - audio and other interfaces: a composite device; its audio function is
//   listed as USB\VID_vvvv&PID_pppp&MI_nn\<bus id> (nn: the first audio
//   interface, two hexadecimal digits) and the device itself among the
//   composite devices as USB\VID_vvvv&PID_pppp\<serial>;
// - several interfaces, none audio: only among the composite devices;
// - one interface that is not audio, or none: not listed.
// Vendor and product numbers are in upper case, as Windows writes them. A
// device without a serial uses its bus id ("1-1") instead, which holds no
// sensor identifier. The product text, without its line end, stands for the
// friendly name of the audio function; friendlyName() of any other path is
// empty.
class SysfsSensorRegistry : public SensorRegistry
{
public:
    explicit SysfsSensorRegistry(const QString& sysfsRoot = QStringLiteral("/sys"));

    QStringList usbAudioInstancePaths() const override;
    QString friendlyName(const QString& instancePath) const override;
    QStringList compositeInstancePaths() const override;

private:
    QString m_devicesPath;
};
