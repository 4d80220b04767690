#pragma once

#include "audio/PlaybackOutput.h"

#include <QList>
#include <QPointer>

// An audio output whose state and processed time the test drives. Pause,
// resume and stop change the state as the audio system's output does.
class FakePlaybackOutput : public PlaybackOutput
{
    Q_OBJECT

public:
    enum class Start
    {
        Plays,                // active at once
        FailsQuietly,         // stopped with an open error, no state change reported
        FailsWithStateChange, // reports stopped with an open error during start()
    };

    FakePlaybackOutput(const QAudioDeviceInfo& device, Start start, QObject* parent = nullptr);
    ~FakePlaybackOutput() override;

    // Deleting the output then runs the event loop for that long, as the
    // sound server's output does while it drains; every call made on the
    // output meanwhile is counted in *callsWhileDeleted.
    void runEventsWhenDeleted(int milliseconds, int* callsWhileDeleted);

    // Sets the state and reports it when it changed.
    void setState(QAudio::State state, QAudio::Error error = QAudio::NoError);
    void setProcessedUSecs(qint64 microseconds) { m_processedUSecs = microseconds; }

    QAudioDeviceInfo device() const { return m_device; }
    QIODevice* source() const { return m_source; }
    qreal volume() const { return m_volume; }
    int startCalls() const { return m_startCalls; }
    int suspendCalls() const { return m_suspendCalls; }
    int resumeCalls() const { return m_resumeCalls; }
    int stopCalls() const { return m_stopCalls; }

    void start(QIODevice* source) override;
    void suspend() override;
    void resume() override;
    void stop() override;
    QAudio::State state() const override;
    QAudio::Error error() const override;
    qint64 processedUSecs() const override;
    void setVolume(qreal volume) override;

private:
    void noteCall() const;

    QAudioDeviceInfo m_device;
    Start m_start;
    QIODevice* m_source = nullptr;
    QAudio::State m_state = QAudio::StoppedState;
    QAudio::Error m_error = QAudio::NoError;
    qint64 m_processedUSecs = 0;
    qreal m_volume = -1;
    int m_startCalls = 0;
    int m_suspendCalls = 0;
    int m_resumeCalls = 0;
    int m_stopCalls = 0;
    int m_eventsWhenDeletedMs = 0;
    int* m_callsWhileDeleted = nullptr;
    bool m_beingDeleted = false;
};

// For one test scope, every player output is a FakePlaybackOutput that starts
// as told; the real output comes back afterwards.
class ScopedFakePlaybackOutputs
{
public:
    explicit ScopedFakePlaybackOutputs(FakePlaybackOutput::Start start = FakePlaybackOutput::Start::Plays);
    ~ScopedFakePlaybackOutputs();
    ScopedFakePlaybackOutputs(const ScopedFakePlaybackOutputs&) = delete;
    ScopedFakePlaybackOutputs& operator=(const ScopedFakePlaybackOutputs&) = delete;

    void setStart(FakePlaybackOutput::Start start) { m_start = start; }
    int created() const { return m_outputs.size(); }
    // The output made last; null once its player has gone.
    FakePlaybackOutput* last() const { return m_outputs.isEmpty() ? nullptr : m_outputs.last().data(); }

private:
    FakePlaybackOutput::Start m_start;
    QList<QPointer<FakePlaybackOutput>> m_outputs;
};
