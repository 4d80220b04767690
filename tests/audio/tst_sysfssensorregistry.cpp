#include "audio/SensorId.h"
#include "audio/SysfsSensorRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kAudio = 0x01;
constexpr int kHid = 0x03;
constexpr int kHub = 0x09;

const QString kSensorId = QStringLiteral("1a2b3c4d-5e6f-7a8b-9c0d-1E2F3A4B5C6D");
const QString kOtherId = QStringLiteral("99999999-8888-7777-6666-555555555555");

using Interfaces = QList<QPair<int, int>>; // interface number, class

struct FakeDevice
{
    QString busId;
    QString vendor;
    QString product;
    QString productName; // null: no "product" attribute
    QString serial;      // null: no "serial" attribute
    Interfaces interfaces;
};

// A USB device tree laid out as the kernel does: devices and their interfaces
// nested under <root>/devices, each linked by name from <root>/bus/usb/devices.
// Attribute files end in a line feed, as the kernel writes them.
class FakeSysfs
{
public:
    FakeSysfs() { QDir(m_dir.path()).mkpath(QStringLiteral("bus/usb/devices")); }

    QString root() const { return m_dir.path(); }

    void add(const FakeDevice& device)
    {
        const QString devicePath = m_dir.path() + QStringLiteral("/devices/pci0000:00/usb1/") + device.busId;
        QDir().mkpath(devicePath);
        link(devicePath, device.busId);
        write(devicePath, QStringLiteral("idVendor"), device.vendor + '\n');
        write(devicePath, QStringLiteral("idProduct"), device.product + '\n');
        if (!device.productName.isNull())
            write(devicePath, QStringLiteral("product"), device.productName + '\n');
        if (!device.serial.isNull())
            write(devicePath, QStringLiteral("serial"), device.serial + '\n');
        // A root hub "usb1" names its interface after the bus: "1-0:1.0".
        const QString stem =
            device.busId.startsWith(QStringLiteral("usb")) ? device.busId.mid(3) + QStringLiteral("-0") : device.busId;
        for (const auto& interface : device.interfaces) {
            const QString name = stem + QStringLiteral(":1.%1").arg(interface.first);
            const QString interfacePath = devicePath + '/' + name;
            QDir().mkpath(interfacePath);
            link(interfacePath, name);
            write(interfacePath, QStringLiteral("bInterfaceNumber"),
                  QStringLiteral("%1\n").arg(interface.first, 2, 16, QLatin1Char('0')));
            write(interfacePath, QStringLiteral("bInterfaceClass"),
                  QStringLiteral("%1\n").arg(interface.second, 2, 16, QLatin1Char('0')));
        }
    }

private:
    void link(const QString& target, const QString& name)
    {
        QVERIFY(QFile::link(target, m_dir.path() + QStringLiteral("/bus/usb/devices/") + name));
    }

    static void write(const QString& folder, const QString& name, const QString& text)
    {
        QFile file(folder + '/' + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }

    QTemporaryDir m_dir;
};

FakeDevice rootHub()
{
    return {QStringLiteral("usb1"), "1d6b", "0002", "xHCI Host Controller", "0000:00:14.0", {{0, kHub}}};
}

FakeDevice plainSensor(const QString& busId, const QString& serial)
{
    return {busId, "0d8c", "0014", "Sonvera USB v1.01", serial, {{0, kAudio}, {1, kAudio}, {2, kAudio}}};
}

FakeDevice compositeSensor(const QString& busId)
{
    return {busId, "0d8c", "0014", "Sonvera USB v1.0", kSensorId, {{0, kAudio}, {1, kAudio}, {2, kAudio}, {3, kHid}}};
}

// A keyboard with a second HID interface: composite, no audio.
FakeDevice keyboard(const QString& busId)
{
    return {busId, "0a12", "0014", "Keyboard", kOtherId, {{0, kHid}, {1, kHid}}};
}

} // namespace

// The USB device tree mapped onto the look-ups of the sensor scan, and the
// scan itself on such trees.
class TestSysfsSensorRegistry : public QObject
{
    Q_OBJECT

private slots:
    void plainSensor()
    {
        FakeSysfs sysfs;
        sysfs.add(rootHub());
        sysfs.add(::plainSensor(QStringLiteral("1-1"), kSensorId));
        const SysfsSensorRegistry registry(sysfs.root());

        const QString path = QStringLiteral("USB\\VID_0D8C&PID_0014\\") + kSensorId;
        QCOMPARE(registry.usbAudioInstancePaths(), QStringList{path});
        QCOMPARE(registry.friendlyName(path), QStringLiteral("Sonvera USB v1.01"));
        QCOMPARE(registry.compositeInstancePaths(), QStringList());
        QCOMPARE(sensorId(registry), kSensorId);
    }

    void compositeSensor()
    {
        FakeSysfs sysfs;
        sysfs.add(rootHub());
        sysfs.add(keyboard(QStringLiteral("1-1")));
        sysfs.add(::compositeSensor(QStringLiteral("1-2")));
        const SysfsSensorRegistry registry(sysfs.root());

        const QString function = QStringLiteral("USB\\VID_0D8C&PID_0014&MI_00\\1-2");
        QCOMPARE(registry.usbAudioInstancePaths(), QStringList{function});
        QCOMPARE(registry.friendlyName(function), QStringLiteral("Sonvera USB v1.0"));
        QCOMPARE(registry.compositeInstancePaths(),
                 (QStringList{QStringLiteral("USB\\VID_0A12&PID_0014\\") + kOtherId,
                              QStringLiteral("USB\\VID_0D8C&PID_0014\\") + kSensorId}));
        QCOMPARE(sensorId(registry), kSensorId);
    }

    void audioFunctionNumber_data()
    {
        QTest::addColumn<Interfaces>("interfaces");
        QTest::addColumn<QString>("function");
        QTest::newRow("after a HID interface")
            << Interfaces{{0, kHid}, {1, kAudio}, {2, kAudio}} << QStringLiteral("USB\\VID_0D8C&PID_0014&MI_01\\3-4.1");
        QTest::newRow("hexadecimal, upper case") << Interfaces{{0, kHid}, {10, kAudio}, {11, kAudio}}
                                                 << QStringLiteral("USB\\VID_0D8C&PID_0014&MI_0A\\3-4.1");
        // Entry names sort "1.10" before "1.2"; the lowest number still counts.
        QTest::newRow("lowest audio interface") << Interfaces{{16, kAudio}, {0, kHid}, {2, kAudio}}
                                                << QStringLiteral("USB\\VID_0D8C&PID_0014&MI_02\\3-4.1");
    }

    void audioFunctionNumber()
    {
        QFETCH(Interfaces, interfaces);
        QFETCH(QString, function);
        FakeSysfs sysfs;
        sysfs.add({QStringLiteral("3-4.1"), "0d8c", "0014", "Sonvera USB v1.0", kSensorId, interfaces});
        const SysfsSensorRegistry registry(sysfs.root());

        QCOMPARE(registry.usbAudioInstancePaths(), QStringList{function});
        QCOMPARE(registry.compositeInstancePaths(),
                 QStringList{QStringLiteral("USB\\VID_0D8C&PID_0014\\") + kSensorId});
        QCOMPARE(sensorId(registry), kSensorId);
    }

    // Without a serial the bus id stands in, and it holds no identifier.
    void missingSerial()
    {
        FakeSysfs sysfs;
        sysfs.add(::plainSensor(QStringLiteral("1-1"), QString()));
        FakeDevice composite = ::compositeSensor(QStringLiteral("1-2"));
        composite.serial = QString();
        sysfs.add(composite);
        const SysfsSensorRegistry registry(sysfs.root());

        QCOMPARE(registry.usbAudioInstancePaths(), (QStringList{QStringLiteral("USB\\VID_0D8C&PID_0014\\1-1"),
                                                                QStringLiteral("USB\\VID_0D8C&PID_0014&MI_00\\1-2")}));
        QCOMPARE(registry.compositeInstancePaths(), QStringList{QStringLiteral("USB\\VID_0D8C&PID_0014\\1-2")});
        QCOMPARE(sensorId(registry), QString());
    }

    void deviceWithoutAudioInterface()
    {
        FakeSysfs sysfs;
        FakeDevice mouse = ::plainSensor(QStringLiteral("1-1"), kSensorId);
        mouse.interfaces = {{0, kHid}};
        sysfs.add(mouse);
        sysfs.add({QStringLiteral("1-2"), "0d8c", "0014", "Sonvera USB v1.01", kOtherId, {}});
        const SysfsSensorRegistry registry(sysfs.root());

        QCOMPARE(registry.usbAudioInstancePaths(), QStringList());
        QCOMPARE(registry.compositeInstancePaths(), QStringList());
        QCOMPARE(sensorId(registry), QString());
    }

    // Only the line end goes: a name with a trailing blank is another name.
    void attributesLoseOnlyTheirLineEnd()
    {
        FakeSysfs sysfs;
        FakeDevice device = ::plainSensor(QStringLiteral("1-1"), kSensorId);
        device.productName = QStringLiteral("Sonvera USB v1.01 ");
        sysfs.add(device);
        sysfs.add(::plainSensor(QStringLiteral("1-2"), kOtherId));
        const SysfsSensorRegistry registry(sysfs.root());

        QCOMPARE(registry.friendlyName(QStringLiteral("USB\\VID_0D8C&PID_0014\\") + kSensorId),
                 QStringLiteral("Sonvera USB v1.01 "));
        QCOMPARE(sensorId(registry), kOtherId);
    }

    void missingProductNameMatchesNothing()
    {
        FakeSysfs sysfs;
        FakeDevice device = ::plainSensor(QStringLiteral("1-1"), kSensorId);
        device.productName = QString();
        sysfs.add(device);
        const SysfsSensorRegistry registry(sysfs.root());

        QCOMPARE(registry.usbAudioInstancePaths().size(), 1);
        QCOMPARE(registry.friendlyName(registry.usbAudioInstancePaths().constFirst()), QString());
        QCOMPARE(sensorId(registry), QString());
    }

    // Devices come in the order of their names, whatever order they appeared in.
    void devicesInNameOrder()
    {
        FakeSysfs sysfs;
        sysfs.add(::plainSensor(QStringLiteral("2-1"), kOtherId));
        sysfs.add(::plainSensor(QStringLiteral("1-3"), kSensorId));
        const SysfsSensorRegistry registry(sysfs.root());

        QCOMPARE(registry.usbAudioInstancePaths(),
                 (QStringList{QStringLiteral("USB\\VID_0D8C&PID_0014\\") + kSensorId,
                              QStringLiteral("USB\\VID_0D8C&PID_0014\\") + kOtherId}));
        QCOMPARE(sensorId(registry), kSensorId);
    }

    void unknownPathHasNoName()
    {
        FakeSysfs sysfs;
        sysfs.add(::compositeSensor(QStringLiteral("1-2")));
        const SysfsSensorRegistry registry(sysfs.root());

        QCOMPARE(registry.friendlyName(QStringLiteral("USB\\VID_0D8C&PID_0014\\") + kSensorId), QString());
        QCOMPARE(registry.friendlyName(QStringLiteral("USB\\VID_0D8C&PID_0014&MI_00\\9-9")), QString());
        QCOMPARE(registry.friendlyName(QString()), QString());
    }

    void noUsbTree()
    {
        QTemporaryDir empty;
        const SysfsSensorRegistry registry(empty.path());
        QCOMPARE(registry.usbAudioInstancePaths(), QStringList());
        QCOMPARE(registry.compositeInstancePaths(), QStringList());
        QCOMPARE(sensorId(registry), QString());
    }

    // A sensor plugged in after the registry was made is seen at the next scan.
    void nothingIsCached()
    {
        FakeSysfs sysfs;
        const SysfsSensorRegistry registry(sysfs.root());
        QCOMPARE(sensorId(registry), QString());
        sysfs.add(::plainSensor(QStringLiteral("1-1"), kSensorId));
        QCOMPARE(sensorId(registry), kSensorId);
    }
};

QTEST_GUILESS_MAIN(TestSysfsSensorRegistry)
#include "tst_sysfssensorregistry.moc"
