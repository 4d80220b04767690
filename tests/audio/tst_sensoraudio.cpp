#include "audio/SensorAudioFormat.h"
#include "audio/SensorDeviceChoice.h"

#include <QtEndian>
#include <QtTest>

// The sensor format, the WAV header built from it, and the rule that picks the
// sensor among the audio devices.
class TestSensorAudio : public QObject
{
    Q_OBJECT

private slots:
    void formatIsEightBitUnsignedMono22050()
    {
        const QAudioFormat format = sensorAudioFormat();
        QCOMPARE(format.codec(), QStringLiteral("audio/pcm"));
        QCOMPARE(format.sampleRate(), 22050);
        QCOMPARE(format.channelCount(), 1);
        QCOMPARE(format.sampleSize(), 8);
        QCOMPARE(format.sampleType(), QAudioFormat::UnSignedInt);
        QCOMPARE(format.byteOrder(), QAudioFormat::LittleEndian);
        QCOMPARE(sensorBytesPerSecond(), 22050);
        QCOMPARE(kRecordingLimit, 3 * sensorBytesPerSecond());
    }

    void wavHeaderOfARecording()
    {
        const QByteArray header = wavHeader(kRecordingLimit);
        QCOMPARE(header.size(), 44);
        QCOMPARE(header.mid(0, 4), QByteArray("RIFF"));
        QCOMPARE(qFromLittleEndian<quint32>(header.constData() + 4), 66186u);
        QCOMPARE(header.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(qFromLittleEndian<quint32>(header.constData() + 16), 16u);
        QCOMPARE(qFromLittleEndian<quint16>(header.constData() + 20), quint16(1));
        QCOMPARE(qFromLittleEndian<quint16>(header.constData() + 22), quint16(1));
        QCOMPARE(qFromLittleEndian<quint32>(header.constData() + 24), 22050u);
        QCOMPARE(qFromLittleEndian<quint32>(header.constData() + 28), 22050u);
        QCOMPARE(qFromLittleEndian<quint16>(header.constData() + 32), quint16(1));
        QCOMPARE(qFromLittleEndian<quint16>(header.constData() + 34), quint16(8));
        QCOMPARE(header.mid(36, 4), QByteArray("data"));
        QCOMPARE(qFromLittleEndian<quint32>(header.constData() + 40), 66150u);
    }

    void wavHeaderSizes_data()
    {
        QTest::addColumn<qint64>("dataSize");
        QTest::addColumn<quint32>("riffSize");
        QTest::addColumn<quint32>("chunkSize");
        QTest::newRow("empty") << qint64(0) << 36u << 0u;
        QTest::newRow("one sample") << qint64(1) << 37u << 1u;
        QTest::newRow("ten hours") << qint64(793800000) << 793800036u << 793800000u;
        QTest::newRow("past 2 GiB") << qint64(0x80000000) << 0x80000024u << 0x80000000u;
        QTest::newRow("largest, the file 4 GiB") << kMaxWavDataSize << 0xfffffff8u << 0xffffffd4u;
        QTest::newRow("past the largest") << kMaxWavDataSize + 1000 << 0xfffffff8u << 0xffffffd4u;
        QTest::newRow("negative counts as none") << qint64(-5) << 36u << 0u;
    }

    void wavHeaderSizes()
    {
        QFETCH(qint64, dataSize);
        QFETCH(quint32, riffSize);
        QFETCH(quint32, chunkSize);
        const QByteArray header = wavHeader(dataSize);
        QCOMPARE(header.size(), 44);
        QCOMPARE(qFromLittleEndian<quint32>(header.constData() + 4), riffSize);
        QCOMPARE(qFromLittleEndian<quint32>(header.constData() + 40), chunkSize);
    }

    void deviceChoice_data()
    {
        QTest::addColumn<QStringList>("descriptions");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("entry");
        const QString other = QStringLiteral("Built-in Audio Analog Stereo");
        const QString sensor = QStringLiteral("Microphone (Sonvera USB v1.01)");
        const QString cmedia = QStringLiteral("Speakers (C-Media USB Headphone Set)");
        QTest::newRow("sensor before C-Media") << QStringList{other, sensor, cmedia} << 1 << "Sonvera USB v";
        QTest::newRow("C-Media alone") << QStringList{other, cmedia} << 1 << "C-Media USB Headphone Set";
        QTest::newRow("C-Media first in list") << QStringList{cmedia, sensor} << 0 << "C-Media USB Headphone Set";
        QTest::newRow("first entry wins within one device")
            << QStringList{QStringLiteral("C-Media USB Headphone Set / Sonvera USB v2")} << 0 << "Sonvera USB v";
        QTest::newRow("none matches") << QStringList{other, QStringLiteral("HDMI")} << -1 << "";
        QTest::newRow("no devices") << QStringList{} << -1 << "";
        QTest::newRow("case differs") << QStringList{QStringLiteral("sonvera usb v1.01")} << -1 << "";
        QTest::newRow("sound server name")
            << QStringList{QStringLiteral("default"),
                           QStringLiteral("alsa_input.usb-Maker_Sonvera_USB_v1.01_0001-00.mono-fallback")}
            << 1 << "Sonvera USB v";
        QTest::newRow("sound server name of C-Media")
            << QStringList{QStringLiteral("alsa_output.usb-C-Media_USB_Headphone_Set-00.analog-stereo")} << 0
            << "C-Media USB Headphone Set";
        QTest::newRow("underscores only stand for blanks")
            << QStringList{QStringLiteral("alsa_input.usb-Sonvera-USB-v1.01")} << -1 << "";
    }

    void deviceChoice()
    {
        QFETCH(QStringList, descriptions);
        QFETCH(int, index);
        QFETCH(QString, entry);
        const SensorDeviceMatch match = chooseSensorDevice(descriptions);
        QCOMPARE(match.index, index);
        QCOMPARE(match.entry, entry);
        QCOMPARE(match.found(), index >= 0);
    }

    void noMatchKeepsTheFallbackDevice()
    {
        const QAudioDeviceInfo fallback = QAudioDeviceInfo::defaultOutputDevice();
        const SensorAudioDevice chosen = chooseSensorAudioDevice(QList<QAudioDeviceInfo>{}, fallback);
        QVERIFY(!chosen.match.found());
        QCOMPARE(chosen.device, fallback);
    }

    void sensorDeviceNamesAreFixed()
    {
        QCOMPARE(sensorDeviceNames(),
                 (QStringList{QStringLiteral("Sonvera USB v"), QStringLiteral("C-Media USB Headphone Set")}));
    }
};

QTEST_GUILESS_MAIN(TestSensorAudio)
#include "tst_sensoraudio.moc"
