#include "support/FakePlaybackOutput.h"

FakePlaybackOutput::FakePlaybackOutput(const QAudioDeviceInfo& device, Start start, QObject* parent)
    : PlaybackOutput(parent), m_device(device), m_start(start)
{}

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
    ++m_suspendCalls;
    if (m_state == QAudio::ActiveState || m_state == QAudio::IdleState)
        setState(QAudio::SuspendedState);
}

void FakePlaybackOutput::resume()
{
    ++m_resumeCalls;
    if (m_state == QAudio::SuspendedState)
        setState(QAudio::ActiveState);
}

void FakePlaybackOutput::stop()
{
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
