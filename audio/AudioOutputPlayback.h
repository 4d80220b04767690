#pragma once

#include "audio/PlaybackOutput.h"

class QAudioOutput;

// Plays through the audio system: a QAudioOutput for the device in the sensor
// audio format. Without a device (none is connected or the audio system has
// none) nothing is opened, and start() ends at once in the stopped state with
// an open error, as the audio system does for a device it can't open.
class AudioOutputPlayback : public PlaybackOutput
{
    Q_OBJECT

public:
    explicit AudioOutputPlayback(const QAudioDeviceInfo& device, QObject* parent = nullptr);

    void start(QIODevice* source) override;
    void suspend() override;
    void resume() override;
    void stop() override;
    QAudio::State state() const override;
    QAudio::Error error() const override;
    qint64 processedUSecs() const override;
    void setVolume(qreal volume) override;

private:
    QAudioOutput* m_output = nullptr;
};
