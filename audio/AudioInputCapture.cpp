#include "audio/AudioInputCapture.h"

#include "audio/SensorAudioFormat.h"

#include <QAudioInput>
#include <QIODevice>

AudioInputCapture::AudioInputCapture(QObject* parent) : AudioCapture(parent) {}

AudioInputCapture::~AudioInputCapture()
{
    stop();
}

void AudioInputCapture::start(const QAudioDeviceInfo& device, qreal volume)
{
    stop();
    if (device.isNull() || !device.isFormatSupported(sensorAudioFormat())) {
        reportFailure();
        return;
    }
    m_input = new QAudioInput(device, sensorAudioFormat(), this);
    m_input->setVolume(volume);
    connect(m_input, &QAudioInput::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::StoppedState && m_input && m_input->error() != QAudio::NoError)
            reportFailure();
    });
    // Push mode: the input hands out a device that signals when samples wait.
    m_source = m_input->start();
    if (!m_source) {
        reportFailure();
        return;
    }
    connect(m_source, &QIODevice::readyRead, this, &AudioInputCapture::readAvailable);
}

void AudioInputCapture::reportFailure()
{
    QMetaObject::invokeMethod(this, &AudioCapture::failed, Qt::QueuedConnection);
}

void AudioInputCapture::stop()
{
    if (!m_input)
        return;
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    // A stop asked for is no failure.
    disconnect(m_input, nullptr, this, nullptr);
    m_input->stop();
    // stop() may be called by a receiver of bufferCaptured, that is from
    // inside the input's own signal: it is deleted once that has returned.
    m_input->deleteLater();
    m_input = nullptr;
    m_source = nullptr;
}

void AudioInputCapture::readAvailable()
{
    const QByteArray bytes = m_source->readAll();
    if (bytes.isEmpty())
        return;
    // A receiver may stop (or restart) the capture from here on: nothing of
    // the input is touched after the emission.
    emit bufferCaptured(QAudioBuffer(bytes, sensorAudioFormat()));
}

std::unique_ptr<AudioCapture> AudioCaptureFactory::create()
{
    if (current())
        return current()();
    return std::make_unique<AudioInputCapture>();
}

void AudioCaptureFactory::set(Function function)
{
    current() = std::move(function);
}

AudioCaptureFactory::Function& AudioCaptureFactory::current()
{
    static Function function;
    return function;
}
