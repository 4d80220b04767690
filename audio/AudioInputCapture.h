#pragma once

#include "audio/AudioCapture.h"

#include <functional>
#include <memory>

class QAudioInput;
class QIODevice;

// Captures from an audio input of the sound system in the sensor format and
// hands on exactly the bytes the device delivers, as they arrive.
class AudioInputCapture : public AudioCapture
{
    Q_OBJECT

public:
    explicit AudioInputCapture(QObject* parent = nullptr);
    ~AudioInputCapture() override;

    void start(const QAudioDeviceInfo& device, qreal volume) override;
    void stop() override;

private:
    void readAvailable();
    void reportFailure();

    QAudioInput* m_input = nullptr;
    QIODevice* m_source = nullptr;
};

// How a recorder gets its capture. The program uses an AudioInputCapture; a
// test puts in a function that returns a capture it can drive.
class AudioCaptureFactory
{
public:
    using Function = std::function<std::unique_ptr<AudioCapture>()>;

    static std::unique_ptr<AudioCapture> create();
    // An empty function restores the real capture.
    static void set(Function function);

private:
    static Function& current();
};
