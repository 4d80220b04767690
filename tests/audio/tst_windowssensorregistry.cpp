// The sensor's look-ups in the Windows registry, one table of registry
// layouts. Under Windows (or wine) each layout is written into the registry
// itself and read back through the system's registry and sensorId(); elsewhere
// it is held by a registry in memory that reads the same way.
#include "audio/SensorId.h"
#include "audio/WindowsSensorRegistry.h"
#include "support/FakeRegistryValues.h"

#include <QtTest>

#include <algorithm>

#ifdef Q_OS_WIN
#include "audio/SystemRegistryValues.h"

#include <windows.h>
#endif

namespace {

// A value below HKEY_LOCAL_MACHINE\SYSTEM\ControlSet001: a DWORD when its data
// is an unsigned number, else a string.
struct RegistryValue
{
    QString key;
    QString name;
    QVariant data;
};
using Layout = QVector<RegistryValue>;

const QString kRoot = QStringLiteral("HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\");
const QString kUsbAudio = QStringLiteral("Services\\usbaudio\\Enum");
const QString kComposite = QStringLiteral("Services\\usbccgp\\Enum");

RegistryValue usbAudio(const QString& name, const QVariant& data)
{
    return {kUsbAudio, name, data};
}

RegistryValue composite(const QString& name, const QVariant& data)
{
    return {kComposite, name, data};
}

RegistryValue friendlyName(const QString& instancePath, const QString& name)
{
    return {QStringLiteral("Enum\\") + instancePath, QStringLiteral("FriendlyName"), name};
}

// What a driver key that is not there lists: "Count" reads as 1024, and so
// does every entry.
const QStringList kMissingList = QVector<QString>(1024, QStringLiteral("1024")).toList();

#ifdef Q_OS_WIN
const wchar_t* wide(const QString& text)
{
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

bool exists(const QString& key)
{
    HKEY handle = nullptr;
    const QString path = QStringLiteral("SYSTEM\\ControlSet001\\") + key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide(path), 0, KEY_READ | KEY_WOW64_64KEY, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

// Writes a layout into the registry and removes, afterwards, every key it
// made. A registry with USB audio or composite devices of its own (a real
// machine's) is left alone.
class RegistryHoldingLayout
{
public:
    explicit RegistryHoldingLayout(const Layout& layout) : m_layout(layout)
    {
        if (exists(kUsbAudio) || exists(kComposite))
            return;
        m_writable = true;
        for (const RegistryValue& value : layout)
            write(value);
    }
    ~RegistryHoldingLayout()
    {
        for (auto made = m_made.crbegin(); made != m_made.crend(); ++made)
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, wide(QStringLiteral("SYSTEM\\ControlSet001\\") + *made));
    }
    RegistryHoldingLayout(const RegistryHoldingLayout&) = delete;
    RegistryHoldingLayout& operator=(const RegistryHoldingLayout&) = delete;

    bool writable() const { return m_writable; }
    std::shared_ptr<const RegistryValues> values() const { return std::make_shared<SystemRegistryValues>(); }

    // Reading must make no key: a driver's list or a device that the layout
    // does not hold is still missing afterwards.
    QStringList keysMadeByReading() const
    {
        QStringList made;
        for (const QString& key : {kUsbAudio, kComposite, QStringLiteral("Enum\\1024")}) {
            const bool written = std::any_of(m_layout.cbegin(), m_layout.cend(), [&key](const RegistryValue& value) {
                return value.key.compare(key, Qt::CaseInsensitive) == 0;
            });
            if (!written && exists(key))
                made.append(key);
        }
        return made;
    }

private:
    void write(const RegistryValue& value)
    {
        // The outermost key of the path that is not there yet: removing it
        // removes everything made below it.
        const QStringList parts = value.key.split(QLatin1Char('\\'));
        for (int depth = 1; depth <= parts.size(); ++depth) {
            const QString outer = parts.mid(0, depth).join(QLatin1Char('\\'));
            if (!exists(outer)) {
                m_made.append(outer);
                break;
            }
        }
        HKEY handle = nullptr;
        const QString path = QStringLiteral("SYSTEM\\ControlSet001\\") + value.key;
        QCOMPARE(RegCreateKeyExW(HKEY_LOCAL_MACHINE, wide(path), 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY, nullptr,
                                 &handle, nullptr),
                 LONG(ERROR_SUCCESS));
        const DWORD number = value.data.toUInt();
        const QString text = value.data.toString();
        const bool dword = value.data.userType() == QMetaType::UInt;
        const LONG written =
            dword ? RegSetValueExW(handle, wide(value.name), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                   sizeof number)
                  : RegSetValueExW(handle, wide(value.name), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide(text)),
                                   DWORD((text.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(handle);
        QCOMPARE(written, LONG(ERROR_SUCCESS));
    }

    Layout m_layout;
    QStringList m_made;
    bool m_writable = false;
};
#else
class RegistryHoldingLayout
{
public:
    explicit RegistryHoldingLayout(const Layout& layout)
    {
        for (const RegistryValue& value : layout)
            m_registry->set(kRoot + value.key, value.name, value.data);
    }

    bool writable() const { return true; }
    std::shared_ptr<const RegistryValues> values() const { return m_registry; }
    QStringList keysMadeByReading() const { return {}; }

private:
    std::shared_ptr<FakeRegistryValues> m_registry = std::make_shared<FakeRegistryValues>();
};
#endif

} // namespace

Q_DECLARE_METATYPE(Layout)

class WindowsSensorRegistryTest : public QObject
{
    Q_OBJECT

private slots:
    void layouts_data()
    {
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<QStringList>("audioPaths");
        QTest::addColumn<QStringList>("compositePaths");
        QTest::addColumn<QString>("expectedId");

        const QString id = QStringLiteral("1A2B3C4D-5E6F-7A8B-9C0D-1E2F3A4B5C6D");
        const QString webcam = QStringLiteral("USB\\VID_046D&PID_0825&MI_02\\6&1B0E2A&0&0002");
        const QString plain = QStringLiteral("USB\\VID_0D8C&PID_0014\\") + id;
        const QString function = QStringLiteral("USB\\VID_0D8C&PID_0014&MI_00\\7&2F1C3A5&0&0000");
        const QString hub = QStringLiteral("USB\\VID_05E3&PID_0610\\5&3A2B1C&0&2");
        const QString kPlainName = QStringLiteral("Sonvera USB v1.01");

        QTest::newRow("plain sensor after another device") << Layout{usbAudio("Count", 2u),
                                                                     usbAudio("0", webcam),
                                                                     usbAudio("1", plain),
                                                                     friendlyName(webcam, "USB Audio Device"),
                                                                     friendlyName(plain, kPlainName),
                                                                     composite("Count", 0u)}
                                                           << QStringList{webcam, plain} << QStringList{} << id;
        QTest::newRow("composite sensor found through its parent")
            << Layout{usbAudio("Count", 1u),  usbAudio("0", function), friendlyName(function, "Sonvera USB v1.0"),
                      composite("Count", 2u), composite("0", hub),     composite("1", plain)}
            << QStringList{function} << QStringList{hub, plain} << id;
        QTest::newRow("no keys at all") << Layout{} << kMissingList << kMissingList << QString();
        QTest::newRow("count above the entries") << Layout{usbAudio("Count", 3u), usbAudio("0", plain),
                                                           friendlyName(plain, kPlainName), composite("Count", 0u)}
                                                 << QStringList{plain, "1024", "1024"} << QStringList{} << id;
        QTest::newRow("count written as text") << Layout{usbAudio("Count", "1"), usbAudio("0", plain),
                                                         friendlyName(plain, kPlainName), composite("Count", 0u)}
                                               << QStringList{plain} << QStringList{} << id;
        QTest::newRow("count of all ones reads as -1")
            << Layout{usbAudio("Count", 0xFFFFFFFFu), usbAudio("0", plain), friendlyName(plain, kPlainName),
                      composite("Count", 0u)}
            << QStringList{} << QStringList{} << QString();
        QTest::newRow("keys and names in other letter cases")
            << Layout{{"services\\USBAUDIO\\enum", "count", 1u},
                      {"services\\USBAUDIO\\enum", "0", plain},
                      {"ENUM\\" + plain.toLower(), "friendlyname", kPlainName},
                      composite("COUNT", 0u)}
            << QStringList{plain} << QStringList{} << id;
        QTest::newRow("sensor without a friendly name")
            << Layout{usbAudio("Count", 1u), usbAudio("0", plain), composite("Count", 0u)} << QStringList{plain}
            << QStringList{} << QString();
    }

    void layouts()
    {
        QFETCH(Layout, layout);
        QFETCH(QStringList, audioPaths);
        QFETCH(QStringList, compositePaths);
        QFETCH(QString, expectedId);

        const RegistryHoldingLayout registry(layout);
        if (!registry.writable())
            QSKIP("this registry lists devices of its own");
        const WindowsSensorRegistry sensors(registry.values());
        QCOMPARE(sensors.usbAudioInstancePaths(), audioPaths);
        QCOMPARE(sensors.compositeInstancePaths(), compositePaths);
        QCOMPARE(sensorId(sensors), expectedId);
#ifdef Q_OS_WIN
        // What the screens ask: the platform's registry.
        QCOMPARE(sensorId(), expectedId);
#endif
        QCOMPARE(registry.keysMadeByReading(), QStringList());
    }
};

QTEST_GUILESS_MAIN(WindowsSensorRegistryTest)
#include "tst_windowssensorregistry.moc"
