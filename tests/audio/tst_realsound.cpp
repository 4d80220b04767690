#include "app/Application.h"
#include "app/MainWindow.h"
#include "audio/AudioRecorder.h"
#include "audio/DialogPlayer.h"
#include "audio/SensorAudioFormat.h"
#include "audio/SensorDeviceChoice.h"
#include "support/FakeKeepAwake.h"
#include "support/FakePatientService.h"
#include "support/MessageBoxRecorder.h"
#include "support/PackedAudio.h"
#include "support/PulseAudioSandbox.h"
#include "support/RecipeFixtures.h"
#include "support/ServiceTestEnvironment.h"
#include "support/SignInDriver.h"
#include "support/WorkingDirectory.h"
#include "views/ViewImpact.h"

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

// Everything played into the sensor's sink, read back from its monitor.
class SinkCapture : public QObject
{
public:
    ~SinkCapture() override
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    // False when parec (pulseaudio-utils) can't run here.
    bool start()
    {
        m_process.start(QStringLiteral("parec"),
                        {QStringLiteral("-d"), PulseAudioSandbox::sensorSinkName() + QStringLiteral(".monitor"),
                         QStringLiteral("--format=u8"), QStringLiteral("--rate=22050"), QStringLiteral("--channels=1"),
                         QStringLiteral("--raw")});
        if (!m_process.waitForStarted())
            return false;
        connect(&m_process, &QProcess::readyReadStandardOutput, this,
                [this] { m_captured.append(m_process.readAllStandardOutput()); });
        return QTest::qWaitFor([this] { return !m_captured.isEmpty(); });
    }

    // What came back from where `samples` begin, once as much as they came
    // (or the time ran out); empty when their beginning never came.
    QByteArray played(const QByteArray& samples, int timeoutMs)
    {
        // A time-out is judged by the caller from what came.
        const bool complete = QTest::qWaitFor(
            [&] {
                const int offset = alignmentOf(samples, m_captured);
                return offset >= 0 && m_captured.size() - offset >= samples.size();
            },
            timeoutMs);
        Q_UNUSED(complete)
        const int offset = alignmentOf(samples, m_captured);
        return offset < 0 ? QByteArray() : m_captured.mid(offset, samples.size());
    }

private:
    QProcess m_process;
    QByteArray m_captured;
};

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
        SinkCapture sink;
        if (!sink.start())
            QSKIP("parec (pulseaudio-utils) can't be started here");
        const QByteArray samples = distinctiveSignal(kRecordingLimit);
        DialogPlayer player(nullptr, samples, QStringLiteral("Real sound"));
        QSignalSpy finished(&player, &DialogPlayer::onFinish);
        QTRY_COMPARE(player.outputState(), QAudio::ActiveState);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
        QCOMPARE(finished.first().first().toBool(), true);
        QCOMPARE(sink.played(samples, 5000), samples);
    }

    // The impact screen's Sensor target, answered by a scripted service,
    // plays through the main window's player into the sensor's sink.
    void impactOnTheSensorTargetReachesTheSensor()
    {
        SinkCapture sink;
        if (!sink.start())
            QSKIP("parec (pulseaudio-utils) can't be started here");
        // Two markers of ten frequencies fill one minute once: each block
        // plays once, in the markers' order.
        const QByteArray signal = distinctiveSignal(sensorBytesPerSecond());
        const QList<QByteArray> blocks{signal.left(signal.size() / 2), signal.mid(signal.size() / 2)};
        ScopedWorkingDirectory folder;
        FakePatientService service;
        service.answer("POST", "/recipe", ScriptedResponse::json(200, packedAudioReply(blocks)));
        ServiceTestEnvironment environment(service.baseUrl());
        ScopedFakeKeepAwake keepAwake;
        MessageBoxRecorder boxes;
        const auto window = signedInMainWindow(QStringLiteral("demo"), QStringLiteral("secret"));
        QVERIFY(window);

        Patient patient(FakePatientService::patient(QStringLiteral("p1"), QStringLiteral("Anna Berg")));
        Record record(QJsonObject{{"id", "r1"}, {"patientId", "p1"}});
        QList<Marker> markers{Marker(RecipeFixtures::markerJson("m0", 50, 10)),
                              Marker(RecipeFixtures::markerJson("m1", 50, 10))};
        // As the recipe screen hands its markers on.
        QVERIFY(QMetaObject::invokeMethod(window.get(), "onImpact", Q_ARG(Patient&, patient), Q_ARG(Record&, record),
                                          Q_ARG(QList<Marker>&, markers), Q_ARG(bool, false)));
        auto* impact = qobject_cast<ViewImpact*>(window->currentScreen());
        QVERIFY(impact);
        QCOMPARE(impact->currentTarget(), ViewImpact::Sensor);
        auto* start = impact->findChild<QPushButton*>(QStringLiteral("buttonStart"));
        start->click();
        QTRY_VERIFY(window->findChild<DialogPlayer*>());

        const QByteArray expected = blocks.first() + blocks.last();
        QCOMPARE(sink.played(expected, 10000), expected);
        // The player's end reaches the screen: Start is back, the end reported.
        QTRY_VERIFY_WITH_TIMEOUT(start->isEnabled(), 10000);
        QCOMPARE(boxes.texts(), QStringList{"Success: The impact has finished."});
        QCOMPARE(service.requests("POST", "/recipe").size(), 1);
    }

private:
    PulseAudioSandbox m_sandbox;
    bool m_running = false;
};

QTEST_MAIN(TestRealSound)
#include "tst_realsound.moc"
