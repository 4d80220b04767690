#include "app/Application.h"
#include "audio/AudioRecorder.h"
#include "audio/DialogPlayer.h"
#include "audio/SensorAudioFormat.h"
#include "audio/SensorDeviceChoice.h"
#include "support/PulseAudioSandbox.h"

#include <QPushButton>
#include <QtTest>

// What the toolkit's software volume makes of 8-bit unsigned samples.
QByteArray scaledAroundZeroLine(const QByteArray& samples, qreal volume)
{
    QByteArray scaled(samples.size(), Qt::Uninitialized);
    for (int i = 0; i < samples.size(); ++i)
        scaled[i] = char(quint8(128 + qint8(quint8(samples[i]) - 128) * volume));
    return scaled;
}

// Real sound through a private sound server whose devices look like the
// sensor: the device rule must find them among the server's devices, and
// what is recorded or played must be the very samples.
class TestRealSound : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initResources();
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

    void recorderRecordsTheSensorInput()
    {
        AudioRecorder recorder(nullptr, false);
        QByteArray file;
        connect(&recorder, &AudioRecorder::onSave, this, [&](QByteArray& bytes, const QString&) { file = bytes; });
        recorder.onStartRecord();
        const QByteArray stream = distinctiveSignal(4 * kRecordingLimit);
        FifoFeeder feeder(m_sandbox.sourceFifoPath(), stream);
        QVERIFY(feeder.isOpen());
        auto* save = recorder.findChild<QPushButton*>(QStringLiteral("buttonSaveRecord"));
        QVERIFY(save);
        QTRY_VERIFY_WITH_TIMEOUT(save->isVisibleTo(&recorder), 10000);
        save->click();

        QCOMPARE(file.size(), 44 + kRecordingLimit);
        QCOMPARE(file.left(44), wavHeader(kRecordingLimit));
        const QByteArray samples = file.mid(44);
        // The sensor records at the volume of its entry, which the sound
        // server's client scales in software around the zero line.
        const QByteArray expected =
            scaledAroundZeroLine(stream, recordingVolume(chooseSensorDevice({PulseAudioSandbox::sensorSourceName()})));
        const int offset = alignmentOf(samples, expected);
        QVERIFY2(offset >= 0, "the recording is not the signal fed into the sensor input");
        QCOMPARE(samples, expected.mid(offset, kRecordingLimit));
    }

    void playerPlaysTheSamplesToTheSensorOutput()
    {
        // Everything played into the sensor's sink comes back on its monitor.
        QProcess capture;
        capture.start(QStringLiteral("parec"),
                      {QStringLiteral("-d"), PulseAudioSandbox::sensorSinkName() + QStringLiteral(".monitor"),
                       QStringLiteral("--format=u8"), QStringLiteral("--rate=22050"), QStringLiteral("--channels=1"),
                       QStringLiteral("--raw")});
        if (!capture.waitForStarted())
            QSKIP("parec (pulseaudio-utils) can't be started here");
        QByteArray captured;
        connect(&capture, &QProcess::readyReadStandardOutput, this,
                [&] { captured.append(capture.readAllStandardOutput()); });
        QTRY_VERIFY(!captured.isEmpty());

        const QByteArray samples = distinctiveSignal(kRecordingLimit);
        DialogPlayer player(nullptr, samples, QStringLiteral("Real sound"));
        QSignalSpy finished(&player, &DialogPlayer::onFinish);
        QTRY_COMPARE(player.outputState(), QAudio::ActiveState);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
        QCOMPARE(finished.first().first().toBool(), true);

        auto playedInFull = [&] {
            const int offset = alignmentOf(samples, captured);
            return offset >= 0 && captured.size() - offset >= samples.size();
        };
        QTRY_VERIFY_WITH_TIMEOUT(playedInFull(), 5000);
        capture.kill();
        capture.waitForFinished();
        QCOMPARE(captured.mid(alignmentOf(samples, captured), samples.size()), samples);
    }

private:
    PulseAudioSandbox m_sandbox;
    bool m_running = false;
};

QTEST_MAIN(TestRealSound)
#include "tst_realsound.moc"
