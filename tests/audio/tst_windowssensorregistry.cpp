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
// Writes a layout into the registry and takes away, afterwards, every key and
// value it made. It writes only into a registry that lists no USB audio or
// composite devices of its own: a real machine's are left alone.
class RegistryHoldingLayout
{
public:
    explicit RegistryHoldingLayout(const Layout& layout) : m_layout(layout)
    {
        for (const QString& driver : {kUsbAudio, kComposite}) {
            if (hasValue(driver, QStringLiteral("Count")))
                m_skipReason = QStringLiteral("this registry lists devices of its own under ") + driver;
        }
        if (!m_skipReason.isEmpty())
            return;
        for (const RegistryValue& value : layout)
            write(value);
    }

    ~RegistryHoldingLayout()
    {
        for (const RegistryValue& value : qAsConst(m_valuesInOlderKeys))
            RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, wide(subKey(value.key)), wide(value.name));
        for (auto made = m_madeKeys.crbegin(); made != m_madeKeys.crend(); ++made)
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, wide(subKey(*made)));
    }

    RegistryHoldingLayout(const RegistryHoldingLayout&) = delete;
    RegistryHoldingLayout& operator=(const RegistryHoldingLayout&) = delete;

    QString skipReason() const { return m_skipReason; }
    std::shared_ptr<const RegistryValues> values() const { return std::make_shared<SystemRegistryValues>(); }

    // Keys that reading made: a driver's list or a device that the layout
    // does not hold must still be missing afterwards.
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
    static QString subKey(const QString& key) { return QStringLiteral("SYSTEM\\ControlSet001\\") + key; }
    static const wchar_t* wide(const QString& text) { return reinterpret_cast<const wchar_t*>(text.utf16()); }

    static bool exists(const QString& key)
    {
        HKEY handle = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide(subKey(key)), 0, KEY_READ | KEY_WOW64_64KEY, &handle) !=
            ERROR_SUCCESS)
            return false;
        RegCloseKey(handle);
        return true;
    }

    static bool hasValue(const QString& key, const QString& name)
    {
        return RegGetValueW(HKEY_LOCAL_MACHINE, wide(subKey(key)), wide(name), RRF_RT_ANY | RRF_SUBKEY_WOW6464KEY,
                            nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    }

    // Notes the outermost key of the path that is not there yet (removing it
    // removes everything this test made below it), or else the value itself.
    void noteWhatIsMade(const RegistryValue& value)
    {
        const QStringList parts = value.key.split(QLatin1Char('\\'));
        for (int depth = 1; depth <= parts.size(); ++depth) {
            const QString prefix = parts.mid(0, depth).join(QLatin1Char('\\'));
            if (!exists(prefix)) {
                m_madeKeys.append(prefix);
                return;
            }
        }
        m_valuesInOlderKeys.append(value);
    }

    void write(const RegistryValue& value)
    {
        noteWhatIsMade(value);
        HKEY handle = nullptr;
        QCOMPARE(RegCreateKeyExW(HKEY_LOCAL_MACHINE, wide(subKey(value.key)), 0, nullptr, 0,
                                 KEY_WRITE | KEY_WOW64_64KEY, nullptr, &handle, nullptr),
                 LONG(ERROR_SUCCESS));
        LONG written = ERROR_INVALID_DATA;
        if (value.data.userType() == QMetaType::UInt) {
            const DWORD number = value.data.toUInt();
            written = RegSetValueExW(handle, wide(value.name), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                     sizeof number);
        } else {
            const QString text = value.data.toString();
            written = RegSetValueExW(handle, wide(value.name), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide(text)),
                                     DWORD((text.size() + 1) * sizeof(wchar_t)));
        }
        RegCloseKey(handle);
        QCOMPARE(written, LONG(ERROR_SUCCESS));
    }

    Layout m_layout;
    QStringList m_madeKeys;
    Layout m_valuesInOlderKeys;
    QString m_skipReason;
};
#else
class RegistryHoldingLayout
{
public:
    explicit RegistryHoldingLayout(const Layout& layout)
    {
        for (const RegistryValue& value : layout) {
            if (value.data.userType() == QMetaType::UInt)
                m_registry->setDword(kRoot + value.key, value.name, value.data.toUInt());
            else
                m_registry->setString(kRoot + value.key, value.name, value.data.toString());
        }
    }

    QString skipReason() const { return {}; }
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
        QTest::newRow("no USB audio driver key")
            << Layout{composite("Count", 1u), composite("0", plain)} << kMissingList << QStringList{plain} << QString();
        QTest::newRow("no keys at all") << Layout{} << kMissingList << kMissingList << QString();
        QTest::newRow("count above the entries") << Layout{usbAudio("Count", 3u), usbAudio("0", plain),
                                                           friendlyName(plain, kPlainName), composite("Count", 0u)}
                                                 << QStringList{plain, "1024", "1024"} << QStringList{} << id;
        QTest::newRow("count zero hides the entries") << Layout{usbAudio("Count", 0u), usbAudio("0", plain),
                                                                friendlyName(plain, kPlainName), composite("Count", 0u)}
                                                      << QStringList{} << QStringList{} << QString();
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
        if (!registry.skipReason().isEmpty())
            QSKIP(qPrintable(registry.skipReason()));
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
