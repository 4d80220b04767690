#include "audio/SensorAudioFormat.h"
#include "audio/SensorDeviceChoice.h"
#include "support/PulseAudioSandbox.h"

#include <QAudioInput>
#include <QAudioOutput>
#include <QBuffer>
#include <QtTest>

// Real sound through a private sound server whose devices look like the
// sensor: the device rule must find them among the server's devices, and
// what is recorded or played must be the very samples.
class TestRealSound : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!m_sandbox.start())
            QSKIP(qPrintable(QStringLiteral("No private sound server here: ") + m_sandbox.whyNot()));
        m_running = true;
    }

    void init()
    {
        if (!m_running)
            QSKIP("No private sound server here");
    }

    void deviceRuleFindsTheSensorAmongTheServersDevices()
    {
        const SensorAudioDevice input = chooseSensorAudioDevice(QAudio::AudioInput);
        QVERIFY(input.match.found());
        QCOMPARE(input.match.entry, QStringLiteral("Sonvera USB v"));
        QCOMPARE(input.device.deviceName(), PulseAudioSandbox::sensorSourceName());

        const SensorAudioDevice output = chooseSensorAudioDevice(QAudio::AudioOutput);
        QVERIFY(output.match.found());
        QCOMPARE(output.device.deviceName(), PulseAudioSandbox::sensorSinkName());
        QVERIFY(QAudioDeviceInfo::defaultOutputDevice().deviceName() != PulseAudioSandbox::sensorSinkName());
    }

    void rawInputOnTheChosenDeviceDeliversTheSamples()
    {
        const SensorAudioDevice input = chooseSensorAudioDevice(QAudio::AudioInput);
        QAudioInput audioInput(input.device, sensorAudioFormat());
        QByteArray recording;
        QIODevice* source = audioInput.start();
        QVERIFY(source);
        connect(source, &QIODevice::readyRead, this, [&] { recording.append(source->readAll()); });
        QTRY_COMPARE(audioInput.state(), QAudio::ActiveState);
        const QByteArray stream = distinctiveSignal(200000);
        FifoFeeder feeder(m_sandbox.sourceFifoPath(), stream);
        QVERIFY(feeder.isOpen());
        QTRY_VERIFY_WITH_TIMEOUT(recording.size() >= kRecordingLimit, 10000);
        audioInput.stop();
        const int offset = alignmentOf(recording, stream);
        QVERIFY(offset >= 0);
        QCOMPARE(recording.left(kRecordingLimit), stream.mid(offset, kRecordingLimit));
    }

    void rawOutputToTheChosenDevicePlaysTheSamples()
    {
        const SensorAudioDevice output = chooseSensorAudioDevice(QAudio::AudioOutput);
        QProcess capture;
        capture.start(QStringLiteral("parec"),
                      {QStringLiteral("-d"), PulseAudioSandbox::sensorSinkName() + QStringLiteral(".monitor"),
                       QStringLiteral("--format=u8"), QStringLiteral("--rate=22050"), QStringLiteral("--channels=1"),
                       QStringLiteral("--raw")});
        QVERIFY(capture.waitForStarted());
        QByteArray captured;
        connect(&capture, &QProcess::readyReadStandardOutput, this,
                [&] { captured.append(capture.readAllStandardOutput()); });
        QTRY_VERIFY(!captured.isEmpty());
        const QByteArray samples = distinctiveSignal(kRecordingLimit);
        QBuffer buffer;
        buffer.setData(samples);
        buffer.open(QIODevice::ReadOnly);
        QAudioOutput audioOutput(output.device, sensorAudioFormat());
        audioOutput.start(&buffer);
        QTRY_COMPARE_WITH_TIMEOUT(audioOutput.state(), QAudio::IdleState, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(alignmentOf(samples, captured) >= 0 &&
                                     captured.size() - alignmentOf(samples, captured) >= samples.size(),
                                 5000);
        capture.kill();
        capture.waitForFinished();
        const int offset = alignmentOf(samples, captured);
        QCOMPARE(captured.mid(offset, samples.size()), samples);
    }

private:
    PulseAudioSandbox m_sandbox;
    bool m_running = false;
};

QTEST_GUILESS_MAIN(TestRealSound)
#include "tst_realsound.moc"
