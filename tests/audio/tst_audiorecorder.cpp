// The signal recorder: its three states, the WAV file it hands on, the remote
// commands and every way of closing it, with a capture the test drives.
#include "app/Application.h"
#include "audio/AudioInputCapture.h"
#include "audio/AudioRecorder.h"
#include "audio/SensorAudioFormat.h"
#include "audio/SensorId.h"
#include "support/FakeAudioCapture.h"
#include "support/MessageBoxRecorder.h"
#include "support/ModalDialogDriver.h"
#include "widgets/ProgressBar.h"

#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QtEndian>
#include <QtTest>

#include <functional>

// No translation is installed: every text shows as its key.

namespace {

// A signal that shows where each byte came from: byte n is n mod 251.
QByteArray signal(int from, int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((from + i) % 251);
    return bytes;
}

QImage icon(const QString& path)
{
    return QPixmap(path).scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).toImage();
}

// The dialog with its fake capture and everything it emitted.
struct Recorder
{
    explicit Recorder(bool hasDevices = false)
        : capture(new FakeAudioCapture), dialog(nullptr, hasDevices, std::unique_ptr<AudioCapture>(capture))
    {
        QObject::connect(&dialog, &AudioRecorder::onSave, [this](QByteArray& file, QString id) {
            files << file;
            ids << id;
        });
        QObject::connect(&dialog, &AudioRecorder::onCommand, [this](QString command) { commands << command; });
    }

    template <typename Widget = QWidget> Widget* find(const char* name)
    {
        auto* found = dialog.findChild<Widget*>(QLatin1String(name));
        if (!found)
            qWarning("no child %s", name);
        return found;
    }
    void click(const char* name) { find<QPushButton>(name)->click(); }
    bool shows(const char* name) { return find(name)->isVisibleTo(&dialog); }
    QString message() { return find<QLabel>("labelMessage")->text(); }
    QImage shownIcon() { return find<QLabel>("labelIcon")->pixmap(Qt::ReturnByValue).toImage(); }
    ProgressBar* progress() { return dialog.findChild<ProgressBar*>(); }

    // Pushes the signal in buffers of the given sizes, over and over, until
    // the recording is complete; returns everything pushed.
    QByteArray recordInBuffers(const QList<int>& sizes)
    {
        QByteArray pushed;
        for (int i = 0; pushed.size() < kRecordingLimit; ++i) {
            const QByteArray buffer = signal(pushed.size(), sizes.at(i % sizes.size()));
            pushed += buffer;
            capture->push(buffer);
        }
        return pushed;
    }
    void recordAll()
    {
        click("buttonStartRecord");
        recordInBuffers({4096});
    }

    // Runs the dialog modally while the action plays the practitioner.
    int run(const std::function<void()>& action)
    {
        whenModalAppears([action](QWidget*) { action(); });
        return dialog.exec();
    }

    FakeAudioCapture* capture; // owned by the dialog
    AudioRecorder dialog;
    QList<QByteArray> files;
    QStringList ids;
    QStringList commands;
};

using Action = std::function<void(Recorder&)>;

} // namespace

Q_DECLARE_METATYPE(Action)

class AudioRecorderTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setupApplication(*qApp); }

    void size_data();
    void size();
    void textsAndPlaces();
    void remoteTargets();
    void statesFromStartToConfirm();
    void recordingIsExactlyThreeSeconds_data();
    void recordingIsExactlyThreeSeconds();
    void savingHandsOnTheFileAndCloses();
    void completingBufferMovesNoProgress();
    void rerecordStartsOver();
    void failedCaptureReturnsToReady();
    void closingEmitsNothing_data();
    void closingEmitsNothing();
    void sendEmitsTheCommandAndCloses_data();
    void sendEmitsTheCommandAndCloses();
    void slotsOutsideTheirStateDoNothing();
    void volumeFollowsTheMatchingEntry_data();
    void volumeFollowsTheMatchingEntry();
    void dialogTakesItsCaptureFromTheFactory();
};

void AudioRecorderTest::size_data()
{
    QTest::addColumn<bool>("hasDevices");
    QTest::addColumn<QSize>("size");

    QTest::newRow("remote device") << true << QSize(600, 333);
    QTest::newRow("no remote device") << false << QSize(600, 250);
}

void AudioRecorderTest::size()
{
    QFETCH(bool, hasDevices);
    QFETCH(QSize, size);

    Recorder recorder(hasDevices);
    recorder.dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&recorder.dialog));
    QCOMPARE(recorder.dialog.size(), size);
    QCOMPARE(recorder.dialog.maximumSize(), QSize(600, 350));
    QCOMPARE(recorder.dialog.minimumWidth(), 600);
    QCOMPARE(recorder.shows("groupRemote"), hasDevices);
    QCOMPARE(recorder.shows("lineRemote"), hasDevices);
}

void AudioRecorderTest::textsAndPlaces()
{
    Recorder recorder(true);
    QCOMPARE(recorder.dialog.windowTitle(), QStringLiteral("Title.signalRecord"));
    const QList<QPair<const char*, const char*>> buttons{
        {"buttonCancelRecord", "Text.cancel"},   {"buttonStartRecord", "Text.startRecord"},
        {"buttonCancel", "Text.cancel"},         {"buttonRerecord", "Text.reRecord"},
        {"buttonSaveRecord", "Text.saveRecord"}, {"buttonSendCommand", "Text.send"}};
    for (const auto& [name, text] : buttons)
        QCOMPARE(recorder.find<QPushButton>(name)->text(), QLatin1String(text));
    QCOMPARE(recorder.find<QLabel>("labelMessageRemote")->text(), QStringLiteral("Text.messageRemote"));
    QCOMPARE(recorder.find<QLabel>("labelIconRemote")->pixmap(Qt::ReturnByValue).toImage(),
             icon(QStringLiteral(":/images/connected-device.png")));
    QVERIFY(recorder.find("groupRecordStart")->isAncestorOf(recorder.find("buttonStartRecord")));
    QVERIFY(recorder.find("groupRecordConfirm")->isAncestorOf(recorder.find("buttonSaveRecord")));
    QVERIFY(recorder.find("groupRemote")->isAncestorOf(recorder.find("comboBoxTarget")));
    QVERIFY(recorder.find<QLayout>("progressBarContainer")->indexOf(recorder.progress()) >= 0);
    QCOMPARE(recorder.progress()->length(), qint64(kRecordingLimit));
}

void AudioRecorderTest::remoteTargets()
{
    Recorder recorder(true);
    auto* targets = recorder.find<QComboBox>("comboBoxTarget");
    QCOMPARE(targets->count(), 2);
    QCOMPARE(targets->itemText(0), QStringLiteral("Text.record"));
    QCOMPARE(targets->itemData(0).toString(), QStringLiteral("RECORD"));
    QCOMPARE(targets->itemText(1), QStringLiteral("Text.autospectrum"));
    QCOMPARE(targets->itemData(1).toString(), QStringLiteral("AUTOSPECTRUM"));
    QCOMPARE(targets->currentIndex(), 0);
}

void AudioRecorderTest::statesFromStartToConfirm()
{
    Recorder recorder;
    QVERIFY(recorder.shows("groupRecordStart"));
    QVERIFY(!recorder.shows("groupRecordConfirm"));
    QCOMPARE(recorder.message(), QStringLiteral("Dialog.signalRecord"));
    QCOMPARE(recorder.shownIcon(), icon(QStringLiteral(":/images/record-sensor.png")));
    QVERIFY(recorder.find("buttonStartRecord")->isEnabled());
    QCOMPARE(recorder.capture->startCount(), 0);

    recorder.click("buttonStartRecord");
    QVERIFY(!recorder.find("buttonStartRecord")->isEnabled());
    QVERIFY(recorder.shows("groupRecordStart"));
    QCOMPARE(recorder.message(), QStringLiteral("Dialog.signalRecordInProgress"));
    QCOMPARE(recorder.capture->startCount(), 1);
    QVERIFY(recorder.capture->isRunning());
    // Without a sensor among the inputs: the default input at half volume.
    if (!chooseSensorAudioDevice(QAudio::AudioInput).match.found()) {
        QCOMPARE(recorder.capture->device(), QAudioDeviceInfo::defaultInputDevice());
        QCOMPARE(recorder.capture->volume(), 0.5);
    }

    recorder.recordInBuffers({kRecordingLimit});
    QVERIFY(!recorder.capture->isRunning());
    QVERIFY(!recorder.shows("groupRecordStart"));
    QVERIFY(recorder.shows("groupRecordConfirm"));
    QCOMPARE(recorder.message(), QStringLiteral("Dialog.signalRecordConfirm"));
    QCOMPARE(recorder.shownIcon(), icon(QStringLiteral(":/images/record-done.png")));
}

void AudioRecorderTest::recordingIsExactlyThreeSeconds_data()
{
    QTest::addColumn<QList<int>>("sizes");

    QTest::newRow("1 byte at a time") << QList<int>{1};
    QTest::newRow("100") << QList<int>{100};
    QTest::newRow("4096") << QList<int>{4096};
    QTest::newRow("one short, then 1") << QList<int>{66149, 1};
    QTest::newRow("one short, then 2") << QList<int>{66149, 2};
    QTest::newRow("exactly the limit") << QList<int>{kRecordingLimit};
    QTest::newRow("one larger buffer") << QList<int>{70000};
    QTest::newRow("odd sizes") << QList<int>{333, 7777, 1, 4095};
    QTest::newRow("empty buffers between") << QList<int>{0, 22050};
}

void AudioRecorderTest::recordingIsExactlyThreeSeconds()
{
    QFETCH(QList<int>, sizes);

    // Not shown: a thousand repaints of the waveform would only slow this down.
    Recorder recorder;
    recorder.click("buttonStartRecord");
    const QByteArray pushed = recorder.recordInBuffers(sizes);
    // A late buffer from the stopped capture is not part of the recording
    // and stops nothing more.
    recorder.capture->push(signal(0, 5000));
    QCOMPARE(recorder.capture->stopCount(), 1);
    recorder.click("buttonSaveRecord");

    QCOMPARE(recorder.files.size(), 1);
    const QByteArray file = recorder.files.first();
    QCOMPARE(file.size(), 66194);
    QCOMPARE(file.left(44), wavHeader(kRecordingLimit));
    QCOMPARE(qFromLittleEndian<quint32>(file.constData() + 4), 66186u);
    QCOMPARE(qFromLittleEndian<quint32>(file.constData() + 40), 66150u);
    QVERIFY(file.mid(44) == pushed.left(kRecordingLimit));
    QCOMPARE(recorder.ids, QStringList{sensorId()});
    QCOMPARE(recorder.capture->startCount(), 1);
}

void AudioRecorderTest::savingHandsOnTheFileAndCloses()
{
    Recorder recorder(true);
    const int result = recorder.run([&] {
        recorder.recordAll();
        recorder.click("buttonSaveRecord");
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(recorder.files.size(), 1);
    QCOMPARE(recorder.files.first().size(), 66194);
    QVERIFY(recorder.commands.isEmpty());
    QVERIFY(!recorder.capture->isRunning());
}

void AudioRecorderTest::completingBufferMovesNoProgress()
{
    Recorder recorder;
    recorder.click("buttonStartRecord");
    recorder.capture->push(signal(0, 66000));
    QCOMPARE(recorder.progress()->position(), qint64(66000));
    recorder.capture->push(signal(66000, 1000));
    QVERIFY(recorder.shows("groupRecordConfirm"));
    QCOMPARE(recorder.progress()->position(), qint64(66000));
}

void AudioRecorderTest::failedCaptureReturnsToReady()
{
    // The real capture reports what it can't start.
    AudioInputCapture input;
    QSignalSpy inputFailed(&input, &AudioCapture::failed);
    input.start(QAudioDeviceInfo(), 1.0);
    QTRY_COMPARE(inputFailed.size(), 1);

    Recorder recorder;
    MessageBoxRecorder boxes;
    recorder.click("buttonStartRecord");
    recorder.capture->push(signal(0, 1000));
    recorder.capture->fail();
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.first().text, QStringLiteral("Text.recordingFailed"));
    QVERIFY(!recorder.capture->isRunning());
    QVERIFY(recorder.find("buttonStartRecord")->isEnabled());
    QCOMPARE(recorder.message(), QStringLiteral("Dialog.signalRecord"));
    // A new recording starts from nothing.
    recorder.recordAll();
    recorder.click("buttonSaveRecord");
    QCOMPARE(recorder.files.size(), 1);
    QCOMPARE(recorder.files.first().mid(44), signal(0, kRecordingLimit));
}

void AudioRecorderTest::rerecordStartsOver()
{
    Recorder recorder;
    recorder.dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&recorder.dialog));
    // The top row: the completing buffer moves no progress, but its
    // samples are drawn too.
    recorder.click("buttonStartRecord");
    recorder.capture->push(QByteArray(66000, char(255)));
    recorder.capture->push(QByteArray(150, char(255)));
    recorder.progress()->grab();
    QCOMPARE(recorder.progress()->mappedPointCount(), kRecordingLimit);

    recorder.click("buttonRerecord");
    QCOMPARE(recorder.progress()->position(), qint64(0));
    QCOMPARE(recorder.progress()->mappedPointCount(), 0);
    QVERIFY(recorder.shows("groupRecordStart"));
    QVERIFY(!recorder.shows("groupRecordConfirm"));
    QVERIFY(recorder.find("buttonStartRecord")->isEnabled());
    QCOMPARE(recorder.message(), QStringLiteral("Dialog.signalRecord"));
    QCOMPARE(recorder.shownIcon(), icon(QStringLiteral(":/images/record-sensor.png")));

    // The second recording is drawn from its own samples only: nothing of
    // the first one is left.
    recorder.click("buttonStartRecord");
    QCOMPARE(recorder.capture->startCount(), 2);
    recorder.capture->push(QByteArray(1000, char(127)));
    const QImage image = recorder.progress()->grab().toImage();
    QCOMPARE(recorder.progress()->mappedPointCount(), 1000);
    for (int x = 0; x < image.width(); ++x)
        QVERIFY(QColor(image.pixel(x, 0)) != QColor(13, 180, 149));
}

void AudioRecorderTest::closingEmitsNothing_data()
{
    QTest::addColumn<Action>("reachState");
    QTest::addColumn<Action>("close");
    QTest::addColumn<int>("stops");

    const Action ready = [](Recorder&) {};
    const Action recording = [](Recorder& r) {
        r.click("buttonStartRecord");
        r.capture->push(signal(0, 30000));
    };
    const Action confirm = [](Recorder& r) { r.recordAll(); };
    const Action cancelRecord = [](Recorder& r) { r.click("buttonCancelRecord"); };
    const Action escape = [](Recorder& r) { QTest::keyClick(&r.dialog, Qt::Key_Escape); };
    const Action frame = [](Recorder& r) { r.dialog.close(); };

    QTest::newRow("cancel while ready") << ready << cancelRecord << 0;
    QTest::newRow("cancel while recording") << recording << cancelRecord << 1;
    QTest::newRow("escape while recording") << recording << escape << 1;
    QTest::newRow("frame while recording") << recording << frame << 1;
    QTest::newRow("cancel after recording") << confirm << Action([](Recorder& r) { r.click("buttonCancel"); }) << 1;
    QTest::newRow("frame after recording") << confirm << frame << 1;
}

void AudioRecorderTest::closingEmitsNothing()
{
    QFETCH(Action, reachState);
    QFETCH(Action, close);
    QFETCH(int, stops);

    Recorder recorder;
    const int result = recorder.run([&] {
        reachState(recorder);
        close(recorder);
    });

    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(recorder.files.isEmpty());
    QVERIFY(recorder.commands.isEmpty());
    QVERIFY(!recorder.capture->isRunning());
    QCOMPARE(recorder.capture->stopCount(), stops);
    // A buffer the capture still had on its way changes nothing.
    const int starts = recorder.capture->startCount();
    recorder.capture->push(signal(0, 1000));
    QCOMPARE(recorder.progress()->position(), qint64(0));
    QCOMPARE(recorder.capture->startCount(), starts);
    QCOMPARE(recorder.capture->stopCount(), stops);
}

void AudioRecorderTest::sendEmitsTheCommandAndCloses_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<bool>("whileRecording");
    QTest::addColumn<QString>("command");

    QTest::newRow("record") << 0 << false << "RECORD";
    QTest::newRow("autospectrum") << 1 << false << "AUTOSPECTRUM";
    QTest::newRow("autospectrum while recording") << 1 << true << "AUTOSPECTRUM";
}

void AudioRecorderTest::sendEmitsTheCommandAndCloses()
{
    QFETCH(int, target);
    QFETCH(bool, whileRecording);
    QFETCH(QString, command);

    Recorder recorder(true);
    const int result = recorder.run([&] {
        if (whileRecording)
            recorder.click("buttonStartRecord");
        recorder.find<QComboBox>("comboBoxTarget")->setCurrentIndex(target);
        recorder.click("buttonSendCommand");
    });

    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(recorder.commands, QStringList{command});
    QVERIFY(recorder.files.isEmpty());
    QVERIFY(!recorder.capture->isRunning());
}

void AudioRecorderTest::slotsOutsideTheirStateDoNothing()
{
    Recorder recorder;
    recorder.dialog.onSaveRecord(); // nothing recorded yet
    recorder.dialog.onStartRecord();
    recorder.dialog.onStartRecord(); // a second capture would mix into the first
    recorder.capture->push(signal(0, 1000));
    recorder.dialog.onSaveRecord();  // a third of a second is no recording
    recorder.dialog.onSendCommand(); // no remote device, no command

    QCOMPARE(recorder.capture->startCount(), 1);
    QVERIFY(recorder.files.isEmpty());
    QVERIFY(recorder.commands.isEmpty());
    QCOMPARE(recorder.progress()->position(), qint64(1000));
}

void AudioRecorderTest::volumeFollowsTheMatchingEntry_data()
{
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<qreal>("volume");

    const QString plain = QStringLiteral("alsa_input.pci-0000_00_1f.3.analog-stereo");
    const QString sensor = QStringLiteral("alsa_input.usb-Maker_Sonvera_USB_v1.01_0001-00.mono-fallback");
    const QString headset = QStringLiteral("C-Media USB Headphone Set Analog Mono");
    QTest::newRow("sensor") << QStringList{plain, sensor} << 0.9;
    QTest::newRow("second accepted device") << QStringList{plain, headset} << 0.5;
    QTest::newRow("first match decides") << QStringList{headset, sensor} << 0.5;
    QTest::newRow("no match: default input") << QStringList{plain} << 0.5;
    QTest::newRow("no inputs at all") << QStringList{} << 0.5;
}

void AudioRecorderTest::volumeFollowsTheMatchingEntry()
{
    QFETCH(QStringList, inputs);
    QFETCH(qreal, volume);
    QCOMPARE(recordingVolume(chooseSensorDevice(inputs)), volume);
}

void AudioRecorderTest::dialogTakesItsCaptureFromTheFactory()
{
    {
        ScopedFakeAudioCapture fakes;
        AudioRecorder dialog(nullptr, false);
        QCOMPARE(fakes.createdCount(), 1);
        dialog.onStartRecord();
        QCOMPARE(fakes.last()->startCount(), 1);
        fakes.last()->push(signal(0, 100));
        QCOMPARE(dialog.findChild<ProgressBar*>()->position(), qint64(100));
    }
    const std::unique_ptr<AudioCapture> real = AudioCaptureFactory::create();
    QVERIFY(qobject_cast<AudioInputCapture*>(real.get()));
}

QTEST_MAIN(AudioRecorderTest)
#include "tst_audiorecorder.moc"
