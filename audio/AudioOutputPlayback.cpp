#include "audio/AudioOutputPlayback.h"

#include "audio/SensorAudioFormat.h"

#include <QAudioOutput>

AudioOutputPlayback::AudioOutputPlayback(const QAudioDeviceInfo& device, QObject* parent) : PlaybackOutput(parent)
{
    if (device.isNull())
        return;
    m_output = new QAudioOutput(device, sensorAudioFormat(), this);
    connect(m_output, &QAudioOutput::stateChanged, this, &PlaybackOutput::stateChanged);
}

void AudioOutputPlayback::start(QIODevice* source)
{
    if (m_output)
        m_output->start(source);
}

void AudioOutputPlayback::suspend()
{
    if (m_output)
        m_output->suspend();
}

void AudioOutputPlayback::resume()
{
    if (m_output)
        m_output->resume();
}

void AudioOutputPlayback::stop()
{
    if (m_output)
        m_output->stop();
}

QAudio::State AudioOutputPlayback::state() const
{
    return m_output ? m_output->state() : QAudio::StoppedState;
}

QAudio::Error AudioOutputPlayback::error() const
{
    return m_output ? m_output->error() : QAudio::OpenError;
}

qint64 AudioOutputPlayback::processedUSecs() const
{
    return m_output ? m_output->processedUSecs() : 0;
}

void AudioOutputPlayback::setVolume(qreal volume)
{
    if (m_output)
        m_output->setVolume(volume);
}

// The factory lives beside the output it makes by default.

PlaybackOutput* PlaybackOutputFactory::create(const QAudioDeviceInfo& device, QObject* parent)
{
    if (current())
        return current()(device, parent);
    return new AudioOutputPlayback(device, parent);
}

void PlaybackOutputFactory::set(Function function)
{
    current() = std::move(function);
}

PlaybackOutputFactory::Function& PlaybackOutputFactory::current()
{
    static Function function;
    return function;
}
