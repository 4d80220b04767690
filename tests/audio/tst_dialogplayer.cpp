// The player dialog against an audio output and a keep-awake driven by the
// test: times, pause, the ways playback ends, closing, and an output that
// can't be opened.
#include "audio/AudioOutputPlayback.h"
#include "audio/DialogPlayer.h"
#include "audio/SensorDeviceChoice.h"
#include "support/FakeKeepAwake.h"
#include "support/FakePlaybackOutput.h"
#include "support/MessageBoxRecorder.h"

#include <QBuffer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

constexpr int bytesPerSecond = 22050;
constexpr qint64 microsecondsPerSecond = 1000000;

QByteArray samplesOf(int seconds)
{
    return QByteArray(seconds * bytesPerSecond, char(127));
}

QString translated(const char* key)
{
    return QCoreApplication::translate("DialogPlayer", key);
}

template <typename Widget> Widget* child(const DialogPlayer& player, const char* name)
{
    auto* widget = player.findChild<Widget*>(QString::fromLatin1(name));
    if (!widget)
        qWarning("The player has no %s", name);
    return widget;
}

QString text(const DialogPlayer& player, const char* labelName)
{
    return child<QLabel>(player, labelName)->text();
}

// Whether the button shows the picture at that resource path.
bool showsIcon(const DialogPlayer& player, const char* buttonName, const QString& path)
{
    const QIcon icon = child<QPushButton>(player, buttonName)->icon();
    return !icon.isNull() && icon.pixmap(48, 48).toImage() == QIcon(path).pixmap(48, 48).toImage();
}

const QString playPicture = QStringLiteral(":/images/play.png");
const QString pausePicture = QStringLiteral(":/images/pause.png");

QList<bool> outcomes(const QSignalSpy& spy)
{
    QList<bool> values;
    for (const QList<QVariant>& arguments : spy)
        values << arguments.first().toBool();
    return values;
}

} // namespace

class DialogPlayerTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void interface();
    void totals_data();
    void totals();
    void timeText_data();
    void timeText();
    void playingShowsTheTimesAndKeepsAwake();
    void pauseFreezesTheTimesAndStillKeepsAwake();
    void playPauseActsOnlyWhilePlayingOrPaused();
    void samplesRunningOutClosesAndReportsOnce();
    void stopReportsOnceWithoutSuccess();
    void closing_data();
    void closing();
    void outputStoppedByItselfResetsTheTimes();
    void samplesAreSharedNotCopied();
    void outputThatCannotOpen_data();
    void outputThatCannotOpen();
    void audioSystemOutputWithoutDevice();
    void deletingWhileTheOutputDrains_data();
    void deletingWhileTheOutputDrains();

private:
    FakePlaybackOutput* output() const { return m_outputs->last(); }

    std::unique_ptr<ScopedFakePlaybackOutputs> m_outputs;
    std::unique_ptr<ScopedFakeKeepAwake> m_keepAwake;
};

void DialogPlayerTest::init()
{
    m_outputs = std::make_unique<ScopedFakePlaybackOutputs>();
    m_keepAwake = std::make_unique<ScopedFakeKeepAwake>();
}

void DialogPlayerTest::cleanup()
{
    m_keepAwake.reset();
    m_outputs.reset();
}

void DialogPlayerTest::interface()
{
    DialogPlayer player(nullptr, samplesOf(3), QStringLiteral("Anna Smith"));

    QCOMPARE(player.objectName(), QStringLiteral("DialogPlayer"));
    QCOMPARE(player.windowTitle(), translated("Title.player"));
    QVERIFY(player.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(player.isModal());
    QCOMPARE(player.size(), QSize(600, 120));
    QCOMPARE(player.title(), QStringLiteral("Anna Smith"));
    QCOMPARE(text(player, "labelPatientName"), QStringLiteral("Anna Smith"));
    QCOMPARE(child<QLabel>(player, "labelPatientName")->alignment(), Qt::AlignCenter);
    for (const char* name : {"buttonPlayPause", "buttonStop"}) {
        auto* button = child<QPushButton>(player, name);
        QVERIFY(button->isFlat());
        QCOMPARE(button->size(), QSize(50, 50));
        QCOMPARE(button->iconSize(), QSize(48, 48));
    }
    QVERIFY(showsIcon(player, "buttonStop", QStringLiteral(":/images/stop.png")));
    // Playing from the start: the button offers to pause.
    QVERIFY(showsIcon(player, "buttonPlayPause", pausePicture));
    QCOMPARE(text(player, "labelTimeCurrent"), QStringLiteral("00:00"));
    QCOMPARE(text(player, "labelTimeTotal"), QStringLiteral("00:00"));
    QVERIFY(!child<QProgressBar>(player, "progressBar")->isTextVisible());
    QCOMPARE(child<QProgressBar>(player, "progressBar")->value(), 0);
    QCOMPARE(player.findChild<QTimer*>()->interval(), 500);

    // The output is made for the sensor's device, at full volume.
    QCOMPARE(m_outputs->created(), 1);
    QCOMPARE(output()->startCalls(), 1);
    QCOMPARE(output()->device(), chooseSensorAudioDevice(QAudio::AudioOutput).device);
    QCOMPARE(output()->volume(), 1.0);
}

void DialogPlayerTest::totals_data()
{
    QTest::addColumn<int>("bytes");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("shown");

    QTest::newRow("three seconds") << 66150 << 3 << "00:00:03";
    QTest::newRow("a part second more is cut") << 66150 + 22049 << 3 << "00:00:03";
    QTest::newRow("less than a second") << 22049 << 0 << "00:00:00";
    QTest::newRow("nothing") << 0 << 0 << "00:00:00";
    QTest::newRow("ten minutes") << 600 * bytesPerSecond << 600 << "00:10:00";
}

void DialogPlayerTest::totals()
{
    QFETCH(int, bytes);
    QFETCH(int, seconds);
    QFETCH(QString, shown);
    DialogPlayer player(nullptr, QByteArray(bytes, char(127)), QStringLiteral("Anna"));

    QCOMPARE(player.totalSeconds(), seconds);
    QCOMPARE(child<QProgressBar>(player, "progressBar")->maximum(), seconds);
    QTRY_COMPARE(text(player, "labelTimeTotal"), shown);
    QCOMPARE(player.remainingTimeText(), shown);
}

void DialogPlayerTest::timeText_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("shown");

    QTest::newRow("zero") << qint64(0) << "00:00:00";
    QTest::newRow("seconds") << qint64(59) << "00:00:59";
    QTest::newRow("a minute") << qint64(60) << "00:01:00";
    QTest::newRow("minutes and seconds") << qint64(65) << "00:01:05";
    QTest::newRow("last second of an hour") << qint64(3599) << "00:59:59";
    QTest::newRow("an hour") << qint64(3600) << "01:00:00";
    QTest::newRow("longest impact, ten hours") << qint64(36000) << "10:00:00";
    QTest::newRow("last second of a day") << qint64(86399) << "23:59:59";
    QTest::newRow("a day wraps to zero") << qint64(86400) << "00:00:00";
    QTest::newRow("a day and more") << qint64(90061) << "01:01:01";
    QTest::newRow("negative counts as none") << qint64(-5) << "00:00:00";
}

void DialogPlayerTest::timeText()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, shown);
    QCOMPARE(DialogPlayer::timeText(seconds), shown);
}

void DialogPlayerTest::playingShowsTheTimesAndKeepsAwake()
{
    DialogPlayer player(nullptr, samplesOf(600), QStringLiteral("Anna"));
    output()->setProcessedUSecs(65 * microsecondsPerSecond + 999999);

    QTRY_COMPARE(text(player, "labelTimeCurrent"), QStringLiteral("00:01:05"));
    QCOMPARE(text(player, "labelTimeTotal"), QStringLiteral("00:10:00"));
    QCOMPARE(child<QProgressBar>(player, "progressBar")->value(), 65);
    QCOMPARE(player.remainingSeconds(), 535);
    QCOMPARE(player.remainingTimeText(), QStringLiteral("00:08:55"));
    QCOMPARE(player.outputState(), QAudio::ActiveState);

    // Renewed on every tick while sound plays.
    QTRY_VERIFY(m_keepAwake->log().count(true) >= 2);
    QCOMPARE(m_keepAwake->log().count(false), 0);
}

void DialogPlayerTest::pauseFreezesTheTimesAndStillKeepsAwake()
{
    DialogPlayer player(nullptr, samplesOf(600), QStringLiteral("Anna"));
    output()->setProcessedUSecs(65 * microsecondsPerSecond);
    QTRY_COMPARE(text(player, "labelTimeCurrent"), QStringLiteral("00:01:05"));

    player.onPlayPause();
    QCOMPARE(output()->suspendCalls(), 1);
    QCOMPARE(player.outputState(), QAudio::SuspendedState);
    QVERIFY(showsIcon(player, "buttonPlayPause", playPicture));

    // The paused position stays on show, and the machine stays awake.
    m_keepAwake->clear();
    QTRY_VERIFY(m_keepAwake->log().count(true) >= 2);
    QCOMPARE(m_keepAwake->log().count(false), 0);
    QCOMPARE(text(player, "labelTimeCurrent"), QStringLiteral("00:01:05"));
    QCOMPARE(child<QProgressBar>(player, "progressBar")->value(), 65);
    QCOMPARE(player.remainingTimeText(), QStringLiteral("00:08:55"));

    child<QPushButton>(player, "buttonPlayPause")->click();
    QCOMPARE(output()->resumeCalls(), 1);
    QCOMPARE(player.outputState(), QAudio::ActiveState);
    QVERIFY(showsIcon(player, "buttonPlayPause", pausePicture));
}

void DialogPlayerTest::playPauseActsOnlyWhilePlayingOrPaused()
{
    DialogPlayer player(nullptr, samplesOf(600), QStringLiteral("Anna"));
    for (QAudio::State state : {QAudio::StoppedState, QAudio::InterruptedState}) {
        output()->setState(state);
        QVERIFY(showsIcon(player, "buttonPlayPause", playPicture));
        player.onPlayPause();
        QCOMPARE(output()->state(), state);
    }
    QCOMPARE(output()->suspendCalls(), 0);
    QCOMPARE(output()->resumeCalls(), 0);
}

void DialogPlayerTest::samplesRunningOutClosesAndReportsOnce()
{
    DialogPlayer player(nullptr, samplesOf(3), QStringLiteral("Anna"));
    QSignalSpy finished(&player, &DialogPlayer::onFinish);
    player.show();
    QTRY_VERIFY(m_keepAwake->log().count(true) >= 1);

    output()->setState(QAudio::IdleState);
    QCOMPARE(outcomes(finished), QList<bool>{true});
    QVERIFY(!player.isVisible());
    // The machine may sleep again at once.
    QCOMPARE(m_keepAwake->log().calls.last(), false);
    QCOMPARE(text(player, "labelTimeCurrent"), QStringLiteral("00:00:00"));

    // A later state change reports nothing more.
    output()->setState(QAudio::ActiveState);
    output()->setState(QAudio::IdleState);
    QTest::qWait(50);
    QCOMPARE(finished.count(), 1);
}

void DialogPlayerTest::stopReportsOnceWithoutSuccess()
{
    MessageBoxRecorder boxes;
    DialogPlayer player(nullptr, samplesOf(600), QStringLiteral("Anna"));
    QSignalSpy finished(&player, &DialogPlayer::onFinish);
    player.show();

    child<QPushButton>(player, "buttonStop")->click();
    QCOMPARE(output()->stopCalls(), 1);
    QCOMPARE(player.outputState(), QAudio::StoppedState);
    QCOMPARE(outcomes(finished), QList<bool>{false});
    QVERIFY(!player.isVisible());
    QCOMPARE(m_keepAwake->log().calls.last(), false);

    player.onStop();
    QTest::qWait(50);
    QCOMPARE(finished.count(), 1);
    QVERIFY2(boxes.boxes.isEmpty(), qPrintable(boxes.texts().join(QLatin1Char('\n'))));
}

void DialogPlayerTest::closing_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("escape"); // else the window's close request
    QTest::addColumn<bool>("ends");

    QTest::newRow("playing hides") << int(QAudio::ActiveState) << false << false;
    QTest::newRow("paused hides") << int(QAudio::SuspendedState) << false << false;
    QTest::newRow("escape while playing hides") << int(QAudio::ActiveState) << true << false;
    QTest::newRow("stopped closes and ends") << int(QAudio::StoppedState) << false << true;
    QTest::newRow("escape while stopped closes and ends") << int(QAudio::StoppedState) << true << true;
}

void DialogPlayerTest::closing()
{
    QFETCH(int, state);
    QFETCH(bool, escape);
    QFETCH(bool, ends);
    DialogPlayer player(nullptr, samplesOf(600), QStringLiteral("Anna"));
    QSignalSpy finished(&player, &DialogPlayer::onFinish);
    output()->setState(QAudio::State(state));
    player.show();
    QVERIFY(QTest::qWaitForWindowExposed(&player));

    if (escape)
        QTest::keyClick(&player, Qt::Key_Escape);
    else
        QCOMPARE(player.close(), ends);

    QVERIFY(!player.isVisible());
    QCOMPARE(outcomes(finished), ends ? QList<bool>{false} : QList<bool>{});
    // Hidden, playback goes on.
    QCOMPARE(int(player.outputState()), ends ? int(QAudio::StoppedState) : state);
}

void DialogPlayerTest::outputStoppedByItselfResetsTheTimes()
{
    DialogPlayer player(nullptr, samplesOf(600), QStringLiteral("Anna"));
    QSignalSpy finished(&player, &DialogPlayer::onFinish);
    player.show();
    output()->setProcessedUSecs(65 * microsecondsPerSecond);
    QTRY_COMPARE(text(player, "labelTimeCurrent"), QStringLiteral("00:01:05"));

    output()->setState(QAudio::StoppedState);
    QTRY_COMPARE(text(player, "labelTimeCurrent"), QStringLiteral("00:00:00"));
    QCOMPARE(text(player, "labelTimeTotal"), QStringLiteral("00:00:00"));
    QCOMPARE(child<QProgressBar>(player, "progressBar")->value(), 0);
    QCOMPARE(player.remainingSeconds(), 0);
    QVERIFY(showsIcon(player, "buttonPlayPause", playPicture));
    QCOMPARE(m_keepAwake->log().calls.last(), false);
    // The practitioner sees it and stops or closes it.
    QVERIFY(player.isVisible());
    QCOMPARE(finished.count(), 0);
}

void DialogPlayerTest::samplesAreSharedNotCopied()
{
    const QByteArray samples = samplesOf(3);
    DialogPlayer player(nullptr, samples, QStringLiteral("Anna"));

    auto* buffer = qobject_cast<QBuffer*>(output()->source());
    QVERIFY(buffer);
    QCOMPARE(buffer->openMode() & QIODevice::ReadWrite, QIODevice::OpenMode(QIODevice::ReadOnly));
    // The same memory, compared as addresses (not as texts).
    QCOMPARE(static_cast<const void*>(buffer->data().constData()), static_cast<const void*>(samples.constData()));
    // The output reading all of it copies nothing either.
    QCOMPARE(buffer->readAll(), samples);
    QCOMPARE(static_cast<const void*>(buffer->data().constData()), static_cast<const void*>(samples.constData()));
}

void DialogPlayerTest::outputThatCannotOpen_data()
{
    QTest::addColumn<int>("start");
    QTest::newRow("no device, no state change") << int(FakePlaybackOutput::Start::FailsQuietly);
    QTest::newRow("stopped during start") << int(FakePlaybackOutput::Start::FailsWithStateChange);
}

void DialogPlayerTest::outputThatCannotOpen()
{
    QFETCH(int, start);
    m_outputs->setStart(FakePlaybackOutput::Start(start));
    QSignalSpy* finished = nullptr;
    QList<int> finishedBeforeBox;
    QStringList boxTexts;
    ScopedMessageBoxRunner boxes([&](QMessageBox& box) {
        QCOMPARE(box.icon(), QMessageBox::Critical);
        boxTexts << box.text();
        finishedBeforeBox << (finished ? finished->count() : -1);
        box.accept();
    });

    // The report comes after construction, so whoever made the player hears it.
    DialogPlayer player(nullptr, samplesOf(600), QStringLiteral("Anna"));
    QSignalSpy spy(&player, &DialogPlayer::onFinish);
    finished = &spy;
    player.show();

    QTRY_COMPARE(outcomes(spy), QList<bool>{false});
    QCOMPARE(boxTexts, QStringList{translated("Text.noAudioOutput")});
    QCOMPARE(finishedBeforeBox, QList<int>{0});
    QVERIFY(!player.isVisible());
    QCOMPARE(m_keepAwake->log().count(true), 0);
    QTest::qWait(50);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(boxTexts.size(), 1);
}

void DialogPlayerTest::deletingWhileTheOutputDrains_data()
{
    QTest::addColumn<int>("start");
    QTest::newRow("playing") << int(FakePlaybackOutput::Start::Plays);
    QTest::newRow("no output report pending") << int(FakePlaybackOutput::Start::FailsQuietly);
}

// The sound server's output runs the event loop while it is deleted: neither
// the tick nor the pending report may reach the output or the half-deleted
// player meanwhile.
void DialogPlayerTest::deletingWhileTheOutputDrains()
{
    QFETCH(int, start);
    m_outputs->setStart(FakePlaybackOutput::Start(start));
    MessageBoxRecorder boxes;
    int callsWhileDeleted = 0;
    auto player = std::make_unique<DialogPlayer>(nullptr, samplesOf(600), QStringLiteral("Anna"));
    QSignalSpy finished(player.get(), &DialogPlayer::onFinish);
    player->show();
    // Longer than two ticks.
    output()->runEventsWhenDeleted(1200, &callsWhileDeleted);

    player.reset();
    QCOMPARE(callsWhileDeleted, 0);
    QCOMPARE(finished.count(), 0);
    QVERIFY2(boxes.boxes.isEmpty(), qPrintable(boxes.texts().join(QLatin1Char('\n'))));
}

void DialogPlayerTest::audioSystemOutputWithoutDevice()
{
    AudioOutputPlayback output{QAudioDeviceInfo()};
    QByteArray samples = samplesOf(1);
    QBuffer source(&samples);
    source.open(QIODevice::ReadOnly);

    output.setVolume(1.0);
    output.start(&source);
    QCOMPARE(output.state(), QAudio::StoppedState);
    QCOMPARE(output.error(), QAudio::OpenError);
    output.suspend();
    output.resume();
    output.stop();
    QCOMPARE(output.state(), QAudio::StoppedState);
    QCOMPARE(output.processedUSecs(), 0);
    QCOMPARE(source.pos(), 0);
}

QTEST_MAIN(DialogPlayerTest)
#include "tst_dialogplayer.moc"
