#pragma once

#include "audio/AudioCapture.h"

#include <QByteArray>

#include <functional>
#include <memory>

// A capture that a test drives: it notes how it was started and stopped, and
// delivers whatever buffers the test pushes, whether it runs or not (a real
// capture may deliver a last buffer after it was stopped).
class FakeAudioCapture : public AudioCapture
{
    Q_OBJECT

public:
    using AudioCapture::AudioCapture;

    void start(const QAudioDeviceInfo& device, qreal volume) override;
    void stop() override;

    // Delivers the bytes as one buffer in the sensor format.
    void push(const QByteArray& samples);
    // Reports that the capture failed, as a real one does from the event loop.
    void fail() { emit failed(); }

    int startCount() const { return m_startCount; }
    int stopCount() const { return m_stopCount; }
    bool isRunning() const { return m_running; }
    QAudioDeviceInfo device() const { return m_device; }
    qreal volume() const { return m_volume; }

private:
    int m_startCount = 0;
    int m_stopCount = 0;
    bool m_running = false;
    QAudioDeviceInfo m_device;
    qreal m_volume = -1;
};

// Every recorder created while this lives gets a FakeAudioCapture; the last
// one made is at hand. The real capture comes back at the end of the scope.
class ScopedFakeAudioCapture
{
public:
    ScopedFakeAudioCapture();
    ~ScopedFakeAudioCapture();
    ScopedFakeAudioCapture(const ScopedFakeAudioCapture&) = delete;
    ScopedFakeAudioCapture& operator=(const ScopedFakeAudioCapture&) = delete;

    // Null until a recorder asked for a capture; owned by that recorder and
    // gone with it.
    FakeAudioCapture* last() const { return m_last; }
    int createdCount() const { return m_createdCount; }

private:
    FakeAudioCapture* m_last = nullptr;
    int m_createdCount = 0;
};
