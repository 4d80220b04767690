#include "audio/SysfsSensorRegistry.h"

#include <QDir>
#include <QFile>
#include <QList>

namespace {

constexpr int kAudioClass = 0x01;

struct UsbInterface
{
    int number = -1;
    bool audio = false;
};

// What the look-ups need of one USB device.
struct UsbDevice
{
    QString busId;
    QString vendor;
    QString product;
    QString productName;
    QString serial;
    QList<UsbInterface> interfaces;

    bool hasAudio() const
    {
        for (const UsbInterface& interface : interfaces) {
            if (interface.audio)
                return true;
        }
        return false;
    }

    bool allAudio() const
    {
        for (const UsbInterface& interface : interfaces) {
            if (!interface.audio)
                return false;
        }
        return !interfaces.isEmpty();
    }

    bool composite() const { return interfaces.size() > 1 && !allAudio(); }

    QString numbers() const { return QStringLiteral("USB\\VID_%1&PID_%2").arg(vendor, product); }

    QString instance() const { return serial.isEmpty() ? busId : serial; }

    QString devicePath() const { return numbers() + QLatin1Char('\\') + instance(); }

    // Where the audio function sits among the USB audio functions, or empty.
    QString audioPath() const
    {
        if (allAudio())
            return devicePath();
        int first = -1;
        for (const UsbInterface& interface : interfaces) {
            if (interface.audio && (first < 0 || interface.number < first))
                first = interface.number;
        }
        if (first < 0)
            return {};
        const QString function = QStringLiteral("%1").arg(first, 2, 16, QLatin1Char('0')).toUpper();
        return numbers() + QStringLiteral("&MI_") + function + QLatin1Char('\\') + busId;
    }
};

// The attribute's text without its line end; empty when the file is missing.
// Blanks are kept: a name is compared exactly as the device gives it.
QString attribute(const QDir& entry, const QString& name)
{
    QFile file(entry.filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    return text;
}

int hexAttribute(const QDir& entry, const QString& name, int fallback)
{
    bool ok = false;
    const int value = attribute(entry, name).trimmed().toInt(&ok, 16);
    return ok ? value : fallback;
}

// The interface number of an entry named "1-1:1.3" is the last number, in
// decimal; bInterfaceNumber says the same in hexadecimal.
UsbInterface readInterface(const QDir& entry)
{
    UsbInterface interface;
    const QString name = entry.dirName();
    interface.number = hexAttribute(entry, QStringLiteral("bInterfaceNumber"),
                                    name.mid(name.lastIndexOf(QLatin1Char('.')) + 1).toInt());
    interface.audio = hexAttribute(entry, QStringLiteral("bInterfaceClass"), -1) == kAudioClass;
    return interface;
}

QList<UsbDevice> readDevices(const QString& devicesPath)
{
    const QDir devices(devicesPath);
    QStringList names = devices.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    names.sort();

    QList<UsbDevice> found;
    for (const QString& name : names) {
        const QDir entry(devices.filePath(name));
        if (name.contains(QLatin1Char(':')) || !entry.exists(QStringLiteral("idVendor")) ||
            !entry.exists(QStringLiteral("idProduct")))
            continue;
        UsbDevice device;
        device.busId = name;
        device.vendor = attribute(entry, QStringLiteral("idVendor")).trimmed().toUpper();
        device.product = attribute(entry, QStringLiteral("idProduct")).trimmed().toUpper();
        device.productName = attribute(entry, QStringLiteral("product"));
        device.serial = attribute(entry, QStringLiteral("serial"));
        // Interface entries are named after their device: "1-1:1.0", "1-1:1.1", ...
        const QString interfacePrefix = name + QLatin1Char(':');
        for (const QString& other : names) {
            if (other.startsWith(interfacePrefix))
                device.interfaces.append(readInterface(QDir(devices.filePath(other))));
        }
        found.append(device);
    }
    return found;
}

} // namespace

SysfsSensorRegistry::SysfsSensorRegistry(const QString& sysfsRoot)
    : m_devicesPath(sysfsRoot + QStringLiteral("/bus/usb/devices"))
{}

QStringList SysfsSensorRegistry::usbAudioInstancePaths() const
{
    QStringList paths;
    for (const UsbDevice& device : readDevices(m_devicesPath)) {
        if (device.hasAudio())
            paths.append(device.audioPath());
    }
    return paths;
}

QString SysfsSensorRegistry::friendlyName(const QString& instancePath) const
{
    for (const UsbDevice& device : readDevices(m_devicesPath)) {
        if (device.hasAudio() && device.audioPath() == instancePath)
            return device.productName;
    }
    return {};
}

QStringList SysfsSensorRegistry::compositeInstancePaths() const
{
    QStringList paths;
    for (const UsbDevice& device : readDevices(m_devicesPath)) {
        if (device.composite())
            paths.append(device.devicePath());
    }
    return paths;
}
