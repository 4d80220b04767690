#include "audio/SensorId.h"
#include "support/FakeSensorRegistry.h"
#include "support/ScopedSensor.h"

#include <QtTest>

namespace {

using AudioEntries = QVector<QPair<QString, QString>>;

const QString kPlain = QStringLiteral("Sonvera USB v1.01");
const QString kComposite = QStringLiteral("Sonvera USB v1.0");

const QString kIdA = QStringLiteral("1A2B3C4D-5E6F-7A8B-9C0D-1E2F3A4B5C6D");
const QString kIdB = QStringLiteral("0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0");
const QString kMixedCase = QStringLiteral("aB3dE5f7-9aBc-dEf0-1a2B-3c4D5e6F7a8b");
const QString kOtherVendorId = QStringLiteral("99999999-8888-7777-6666-555555555555");

QString plainPath(const QString& instance)
{
    return QStringLiteral("USB\\VID_0D8C&PID_0014\\") + instance;
}

// The audio function of the composite sensor, as the USB audio driver lists it.
const QString kCompositeFunction = QStringLiteral("USB\\VID_0D8C&PID_0014&MI_00\\7&2F1C3A5&0&0000");

} // namespace

// The scan over the three look-ups: which entry decides, which names count,
// and when the composite devices are consulted.
class TestSensorId : public QObject
{
    Q_OBJECT

private slots:
    void scan_data()
    {
        QTest::addColumn<AudioEntries>("audio");
        QTest::addColumn<QStringList>("composites");
        QTest::addColumn<QString>("expected");

        const QString webcam = QStringLiteral("USB\\VID_046D&PID_0825&MI_02\\6&1B0E2A&0&0002");
        const QStringList compositeA{plainPath(kIdA)};

        QTest::newRow("nothing attached") << AudioEntries{} << QStringList{} << QString();
        QTest::newRow("plain sensor") << AudioEntries{{webcam, "USB Audio Device"}, {plainPath(kIdA), kPlain}}
                                      << QStringList{} << kIdA;
        QTest::newRow("plain sensor keeps letter case")
            << AudioEntries{{plainPath(kMixedCase), kPlain}} << QStringList{} << kMixedCase;
        QTest::newRow("two plain sensors: lower entry wins")
            << AudioEntries{{plainPath(kIdB), kPlain}, {plainPath(kIdA), kPlain}} << QStringList{} << kIdB;
        QTest::newRow("plain sensor without identifier is skipped")
            << AudioEntries{{plainPath("5&3A2B1C&0&2"), kPlain}, {plainPath(kIdA), kPlain}} << QStringList{} << kIdA;
        QTest::newRow("identifier inside a longer instance part")
            << AudioEntries{{plainPath("X" + kIdA + "&0"), kPlain}} << QStringList{} << kIdA;

        QTest::newRow("composite sensor") << AudioEntries{{kCompositeFunction, kComposite}} << compositeA << kIdA;
        QTest::newRow("composite entry ends the scan before a plain sensor")
            << AudioEntries{{kCompositeFunction, kComposite}, {plainPath(kIdB), kPlain}} << compositeA << kIdA;
        QTest::newRow("composite entry ends the scan even without its parent")
            << AudioEntries{{kCompositeFunction, kComposite}, {plainPath(kIdB), kPlain}} << QStringList{} << QString();
        QTest::newRow("plain sensor before composite entry wins")
            << AudioEntries{{plainPath(kIdB), kPlain}, {kCompositeFunction, kComposite}} << compositeA << kIdB;
        QTest::newRow("composite of another vendor whose number starts alike")
            << AudioEntries{{kCompositeFunction, kComposite}}
            << QStringList{QStringLiteral("USB\\VID_0A12&PID_0014\\") + kOtherVendorId, plainPath(kIdA)} << kIdA;
        QTest::newRow("only a composite of another vendor")
            << AudioEntries{{kCompositeFunction, kComposite}}
            << QStringList{QStringLiteral("USB\\VID_0A12&PID_0014\\") + kOtherVendorId} << QString();
        QTest::newRow("composite of another product")
            << AudioEntries{{kCompositeFunction, kComposite}}
            << QStringList{QStringLiteral("USB\\VID_0D8C&PID_0013\\") + kOtherVendorId} << QString();
        QTest::newRow("composite parent without identifier is skipped")
            << AudioEntries{{kCompositeFunction, kComposite}} << QStringList{plainPath("5&1D2C3B&0&4"), plainPath(kIdA)}
            << kIdA;

        // Without both numbers any composite device would pass the filter.
        QTest::newRow("composite function without vendor number")
            << AudioEntries{{QStringLiteral("USB\\PID_0014&MI_00\\7&2F1C3A5&0&0000"), kComposite}} << compositeA
            << QString();
        QTest::newRow("composite function without product number")
            << AudioEntries{{QStringLiteral("USB\\VID_0D8C&MI_00\\7&2F1C3A5&0&0000"), kComposite}} << compositeA
            << QString();
        QTest::newRow("vendor number shorter than four digits")
            << AudioEntries{{QStringLiteral("USB\\VID_0D8&PID_0014&MI_00\\7&2F1C3A5&0&0000"), kComposite}} << compositeA
            << QString();
        QTest::newRow("no composite sensor entry: composites not consulted")
            << AudioEntries{{webcam, "USB Audio Device"}} << compositeA << QString();
        QTest::newRow("plain sensor without identifier: composites not consulted")
            << AudioEntries{{plainPath("5&3A2B1C&0&2"), kPlain}} << compositeA << QString();

        // A system without the USB audio driver's key reads "Count" as 1024 and
        // every entry and name as "1024": none of them is a sensor.
        const AudioEntries missingEntries(1024, {QStringLiteral("1024"), QStringLiteral("1024")});
        QTest::newRow("no USB audio key") << missingEntries << compositeA << QString();

        for (const QString& name : {QStringLiteral("Sonvera USB v1.02"), QStringLiteral("Sonvera USB v1.010"),
                                    QStringLiteral("sonvera usb v1.01"), QStringLiteral("Sonvera USB V1.01"),
                                    QStringLiteral("Sonvera USB v1.01 "), QStringLiteral(" Sonvera USB v1.01"),
                                    QStringLiteral("Sonvera USB v1.0 "), QStringLiteral("Sonvera USB v1"),
                                    QStringLiteral("Speakers (Sonvera USB v1.01)")}) {
            QTest::addRow("near miss \"%s\"", qPrintable(name))
                << AudioEntries{{plainPath(kIdA), name}, {kCompositeFunction, name}} << compositeA << QString();
        }
    }

    void scan()
    {
        QFETCH(AudioEntries, audio);
        QFETCH(QStringList, composites);
        QFETCH(QString, expected);

        FakeSensorRegistry registry;
        for (const auto& entry : audio)
            registry.addAudio(entry.first, entry.second);
        registry.compositePaths = composites;

        QCOMPARE(sensorId(registry), expected);
    }

    // The screens ask sensorId() without a registry; a test decides what it finds.
    void registryFactoryIsWhatTheScreensRead()
    {
        {
            ScopedSensor sensor(kIdB);
            QCOMPARE(sensorId(), kIdB);
        }
        ScopedSensor none{QString()};
        QCOMPARE(sensorId(), QString());
    }
};

QTEST_GUILESS_MAIN(TestSensorId)
#include "tst_sensorid.moc"
