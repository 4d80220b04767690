#include "support/FakePlaybackOutput.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

FakePlaybackOutput::FakePlaybackOutput(const QAudioDeviceInfo& device, Start start, QObject* parent)
    : PlaybackOutput(parent), m_device(device), m_start(start)
{}

FakePlaybackOutput::~FakePlaybackOutput()
{
    m_beingDeleted = true;
    const QDeadlineTimer deadline(m_eventsWhenDeletedMs);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

void FakePlaybackOutput::runEventsWhenDeleted(int milliseconds, int* callsWhileDeleted)
{
    m_eventsWhenDeletedMs = milliseconds;
    m_callsWhileDeleted = callsWhileDeleted;
}

void FakePlaybackOutput::noteCall() const
{
    if (m_beingDeleted && m_callsWhileDeleted)
        ++*m_callsWhileDeleted;
}

QAudio::State FakePlaybackOutput::state() const
{
    noteCall();
    return m_state;
}

QAudio::Error FakePlaybackOutput::error() const
{
    noteCall();
    return m_error;
}

qint64 FakePlaybackOutput::processedUSecs() const
{
    noteCall();
    return m_processedUSecs;
}

void FakePlaybackOutput::setVolume(qreal volume)
{
    noteCall();
    m_volume = volume;
}

void FakePlaybackOutput::setState(QAudio::State state, QAudio::Error error)
{
    m_error = error;
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void FakePlaybackOutput::start(QIODevice* source)
{
    noteCall();
    ++m_startCalls;
    m_source = source;
    switch (m_start) {
    case Start::Plays:
        setState(QAudio::ActiveState);
        break;
    case Start::FailsQuietly:
        m_state = QAudio::StoppedState;
        m_error = QAudio::OpenError;
        break;
    case Start::FailsWithStateChange:
        // Reported even though the state was stopped before, as the audio
        // system does.
        m_state = QAudio::StoppedState;
        m_error = QAudio::OpenError;
        emit stateChanged(m_state);
        break;
    }
}

void FakePlaybackOutput::suspend()
{
    noteCall();
    ++m_suspendCalls;
    if (m_state == QAudio::ActiveState || m_state == QAudio::IdleState)
        setState(QAudio::SuspendedState);
}

void FakePlaybackOutput::resume()
{
    noteCall();
    ++m_resumeCalls;
    if (m_state == QAudio::SuspendedState)
        setState(QAudio::ActiveState);
}

void FakePlaybackOutput::stop()
{
    noteCall();
    ++m_stopCalls;
    setState(QAudio::StoppedState);
}

ScopedFakePlaybackOutputs::ScopedFakePlaybackOutputs(FakePlaybackOutput::Start start) : m_start(start)
{
    PlaybackOutputFactory::set([this](const QAudioDeviceInfo& device, QObject* parent) {
        auto* output = new FakePlaybackOutput(device, m_start, parent);
        m_outputs.append(output);
        return output;
    });
}

ScopedFakePlaybackOutputs::~ScopedFakePlaybackOutputs()
{
    PlaybackOutputFactory::set({});
}
