#pragma once

#include <QAudioBuffer>
#include <QAudioDeviceInfo>
#include <QObject>

// Where the recorder's samples come from: raw input buffers in the sensor
// audio format, delivered on the user-interface thread while a capture runs.
class AudioCapture : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Starts capturing from the device at the given input volume (0 to 1); a
    // capture already running is stopped first.
    virtual void start(const QAudioDeviceInfo& device, qreal volume) = 0;
    // Ends the capture; harmless when none runs. A buffer may still arrive
    // after it, so receivers decide for themselves whether they want it.
    virtual void stop() = 0;

signals:
    void bufferCaptured(const QAudioBuffer& buffer);
    // The capture could not start (no usable device, a format it refuses) or
    // stopped with an error; reported from the event loop, never from within
    // start().
    void failed();
};
