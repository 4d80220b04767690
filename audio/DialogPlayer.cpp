#include "audio/DialogPlayer.h"

#include "audio/KeepAwake.h"
#include "audio/PlaybackOutput.h"
#include "audio/SensorAudioFormat.h"
#include "audio/SensorDeviceChoice.h"
#include "widgets/MessageBoxes.h"

#include <QCloseEvent>
#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr int updateIntervalMs = 500;
constexpr qint64 secondsPerDay = 24 * 60 * 60;

QIcon playIcon()
{
    return QIcon(QStringLiteral(":/images/play.png"));
}

QIcon pauseIcon()
{
    return QIcon(QStringLiteral(":/images/pause.png"));
}

QPushButton* roundButton(const QString& objectName, const QIcon& icon, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(objectName);
    button->setFlat(true);
    button->setFixedSize(50, 50);
    button->setIconSize(QSize(48, 48));
    button->setIcon(icon);
    return button;
}

} // namespace

DialogPlayer::DialogPlayer(QWidget* parent, const QByteArray& samples, const QString& title)
    : QDialog(parent), m_keepAwake(KeepAwakeFactory::create()), m_updateTimer(new QTimer(this))
{
    buildInterface(title);
    connect(m_buttonStop, &QPushButton::clicked, this, &DialogPlayer::onStop);
    connect(m_buttonPlayPause, &QPushButton::clicked, this, &DialogPlayer::onPlayPause);
    connect(m_updateTimer, &QTimer::timeout, this, &DialogPlayer::updateTick);
    m_updateTimer->start(updateIntervalMs);

    // Shared, not copied: a buffer opened for reading never detaches its array.
    m_samples.setData(samples);
    m_totalSeconds = int(samples.size() / sensorBytesPerSecond());
    m_remainingSeconds = m_totalSeconds;
    startPlayback();
    m_progressBar->setMaximum(m_totalSeconds);
    m_progressBar->setValue(0);
}

DialogPlayer::~DialogPlayer()
{
    // The output reads the buffer until it is gone, so it goes first. The
    // sound server's output runs the event loop while it drains: the tick and
    // a pending "no output" report must find the player ended and no output.
    m_updateTimer->stop();
    m_finished = true;
    if (PlaybackOutput* output = std::exchange(m_output, nullptr)) {
        output->disconnect(this);
        delete output;
    }
}

void DialogPlayer::buildInterface(const QString& title)
{
    setObjectName(QStringLiteral("DialogPlayer"));
    setWindowTitle(tr("Title.player"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setModal(true);
    resize(600, 120);

    m_labelPatientName = new QLabel(title, this);
    m_labelPatientName->setObjectName(QStringLiteral("labelPatientName"));
    m_labelPatientName->setAlignment(Qt::AlignCenter);

    m_buttonPlayPause = roundButton(QStringLiteral("buttonPlayPause"), playIcon(), this);
    m_labelTimeCurrent = new QLabel(QStringLiteral("00:00"), this);
    m_labelTimeCurrent->setObjectName(QStringLiteral("labelTimeCurrent"));
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    m_progressBar->setTextVisible(false);
    m_progressBar->setValue(0);
    m_labelTimeTotal = new QLabel(QStringLiteral("00:00"), this);
    m_labelTimeTotal->setObjectName(QStringLiteral("labelTimeTotal"));
    m_buttonStop = roundButton(QStringLiteral("buttonStop"), QIcon(QStringLiteral(":/images/stop.png")), this);

    auto* controls = new QHBoxLayout;
    controls->addWidget(m_buttonPlayPause);
    controls->addWidget(m_labelTimeCurrent);
    controls->addWidget(m_progressBar, 1);
    controls->addWidget(m_labelTimeTotal);
    controls->addWidget(m_buttonStop);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_labelPatientName);
    layout->addLayout(controls);
}

void DialogPlayer::startPlayback()
{
    m_output = PlaybackOutputFactory::create(chooseSensorAudioDevice(QAudio::AudioOutput).device, this);
    if (!m_output) {
        reportFailure(tr("Text.noAudioOutput"));
        return;
    }
    connect(m_output, &PlaybackOutput::stateChanged, this, &DialogPlayer::onOutputStateChanged);
    m_samples.open(QIODevice::ReadOnly);
    m_output->setVolume(1.0);
    m_output->start(&m_samples);
    // Some audio systems report an output they could not open by a state
    // change during start(), others only by its state afterwards.
    if (outputFailedToOpen())
        reportFailure(tr("Text.noAudioOutput"));
}

QAudio::State DialogPlayer::outputState() const
{
    return m_output ? m_output->state() : QAudio::IdleState;
}

QString DialogPlayer::title() const
{
    return m_labelPatientName->text();
}

QString DialogPlayer::timeText(qint64 seconds)
{
    const qint64 ofDay = qMax<qint64>(seconds, 0) % secondsPerDay;
    return QStringLiteral("%1:%2:%3")
        .arg(ofDay / 3600, 2, 10, QLatin1Char('0'))
        .arg(ofDay / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(ofDay % 60, 2, 10, QLatin1Char('0'));
}

bool DialogPlayer::isPlayingOrPaused() const
{
    const QAudio::State state = outputState();
    return state == QAudio::ActiveState || state == QAudio::SuspendedState;
}

bool DialogPlayer::outputFailedToOpen() const
{
    return m_output && m_output->state() == QAudio::StoppedState && m_output->error() == QAudio::OpenError;
}

void DialogPlayer::onOutputStateChanged(QAudio::State state)
{
    switch (state) {
    case QAudio::ActiveState:
        m_buttonPlayPause->setIcon(pauseIcon());
        break;
    case QAudio::IdleState:
        // The samples have run out.
        finish(true);
        close();
        break;
    case QAudio::StoppedState:
        if (outputFailedToOpen())
            reportFailure(tr("Text.noAudioOutput"));
        else if (m_output && m_output->error() != QAudio::NoError)
            // The output ended by itself (the device went away), perhaps
            // while the player was hidden: it ends here too.
            reportFailure(tr("Text.playbackStopped"));
        m_buttonPlayPause->setIcon(playIcon());
        break;
    case QAudio::SuspendedState:
    case QAudio::InterruptedState:
        m_buttonPlayPause->setIcon(playIcon());
        break;
    }
}

void DialogPlayer::updateTick()
{
    if (isPlayingOrPaused()) {
        const int elapsed = int(qMin<qint64>(m_output->processedUSecs() / 1000000, m_totalSeconds));
        m_remainingSeconds = m_totalSeconds - elapsed;
        m_progressBar->setValue(elapsed);
        m_labelTimeCurrent->setText(timeText(elapsed));
        m_labelTimeTotal->setText(timeText(m_totalSeconds));
        m_keepAwake->setAwake(true);
    } else {
        m_keepAwake->setAwake(false);
        m_progressBar->setValue(0);
        m_labelTimeCurrent->setText(timeText(0));
        m_labelTimeTotal->setText(timeText(0));
        m_remainingSeconds = 0;
    }
}

void DialogPlayer::onPlayPause()
{
    if (!m_output)
        return;
    switch (m_output->state()) {
    case QAudio::ActiveState:
        m_output->suspend();
        break;
    case QAudio::SuspendedState:
        m_output->resume();
        break;
    default:
        break;
    }
}

void DialogPlayer::onStop()
{
    if (m_output)
        m_output->stop();
    finish(false);
    close();
}

void DialogPlayer::reportFailure(const QString& message)
{
    if (m_failureReported || m_finished)
        return;
    m_failureReported = true;
    QMetaObject::invokeMethod(
        this,
        [this, message] {
            if (m_finished)
                return;
            // Out of the way of the message: the player stays on top.
            hide();
            showError(parentWidget(), message);
            finish(false);
        },
        Qt::QueuedConnection);
}

void DialogPlayer::finish(bool completed)
{
    if (m_finished)
        return;
    m_finished = true;
    // The keep-awake is let go now, not at the next tick.
    updateTick();
    emit onFinish(completed);
}

void DialogPlayer::closeEvent(QCloseEvent* event)
{
    if (!m_finished && isPlayingOrPaused()) {
        // Playback goes on; the main window's status bar brings the player back.
        event->ignore();
        hide();
        return;
    }
    event->accept();
    // A player closed without having finished would keep the main window
    // waiting for it for ever: closing it ends it as Stop does.
    if (!m_finished) {
        if (m_output)
            m_output->stop();
        finish(false);
    }
}

void DialogPlayer::reject()
{
    close();
}

void DialogPlayer::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        setWindowTitle(tr("Title.player"));
    QDialog::changeEvent(event);
}
