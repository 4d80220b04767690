#include "support/FakeAudioCapture.h"

#include "audio/AudioInputCapture.h"
#include "audio/SensorAudioFormat.h"

void FakeAudioCapture::start(const QAudioDeviceInfo& device, qreal volume)
{
    ++m_startCount;
    m_running = true;
    m_device = device;
    m_volume = volume;
}

void FakeAudioCapture::stop()
{
    ++m_stopCount;
    m_running = false;
}

void FakeAudioCapture::push(const QByteArray& samples)
{
    emit bufferCaptured(QAudioBuffer(samples, sensorAudioFormat()));
}

ScopedFakeAudioCapture::ScopedFakeAudioCapture()
{
    AudioCaptureFactory::set([this]() -> std::unique_ptr<AudioCapture> {
        auto capture = std::make_unique<FakeAudioCapture>();
        m_last = capture.get();
        ++m_createdCount;
        return capture;
    });
}

ScopedFakeAudioCapture::~ScopedFakeAudioCapture()
{
    AudioCaptureFactory::set({});
}
