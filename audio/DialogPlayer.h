#pragma once

#include <QAudio>
#include <QBuffer>
#include <QByteArray>
#include <QDialog>

#include <memory>

class KeepAwake;
class PlaybackOutput;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// Plays an impact through the sensor: raw samples in the sensor audio format,
// with play/pause, stop, a progress bar and the elapsed and total time. It
// starts playing at once, keeps the computer awake while sound plays or is
// paused, and only hides when closed during playback, so the main window can
// bring it back. It reports once how playback ended.
class DialogPlayer : public QDialog
{
    Q_OBJECT

public:
    // The samples are shared with the caller, not copied: an impact of ten
    // hours is most of a gigabyte.
    DialogPlayer(QWidget* parent, const QByteArray& samples, const QString& title);
    ~DialogPlayer() override;

    // Idle when there is no output.
    QAudio::State outputState() const;
    int totalSeconds() const { return m_totalSeconds; }
    int remainingSeconds() const { return m_remainingSeconds; }
    QString remainingTimeText() const { return timeText(m_remainingSeconds); }
    QString title() const;

    // Whole seconds as "hh:mm:ss"; a day or more wraps round.
    static QString timeText(qint64 seconds);

signals:
    // True when the samples ran out, false when playback was stopped or
    // could not start.
    void onFinish(bool completed);

public slots:
    void onPlayPause();
    void onStop();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Escape closes the player the way the window's close button does.
    void reject() override;

private:
    void buildInterface(const QString& title);
    void startPlayback();
    void onOutputStateChanged(QAudio::State state);
    void updateTick();
    bool isPlayingOrPaused() const;
    // An output that could not be opened: queued, so the caller has connected
    // to onFinish before it is told.
    bool outputFailedToOpen() const;
    // Shows why playback ended, then ends the player; once.
    void reportFailure(const QString& message);
    void finish(bool completed);

    QBuffer m_samples;
    PlaybackOutput* m_output = nullptr;
    std::unique_ptr<KeepAwake> m_keepAwake;
    QTimer* m_updateTimer = nullptr;
    int m_totalSeconds = 0;
    int m_remainingSeconds = 0;
    bool m_finished = false;
    bool m_failureReported = false;

    QLabel* m_labelPatientName = nullptr;
    QPushButton* m_buttonPlayPause = nullptr;
    QLabel* m_labelTimeCurrent = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QLabel* m_labelTimeTotal = nullptr;
    QPushButton* m_buttonStop = nullptr;
};
