#pragma once

#include <QAudio>
#include <QAudioDeviceInfo>
#include <QObject>

#include <functional>

class QIODevice;

// What the player needs of an audio output: it pulls the samples from a
// device by itself and reports its state. The program plays through the audio
// system (AudioOutputPlayback); tests put in an output whose state they drive.
class PlaybackOutput : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void start(QIODevice* source) = 0;
    virtual void suspend() = 0;
    virtual void resume() = 0;
    virtual void stop() = 0;
    virtual QAudio::State state() const = 0;
    // Why the output stopped by itself; OpenError when no device could be opened.
    virtual QAudio::Error error() const = 0;
    virtual qint64 processedUSecs() const = 0;
    virtual void setVolume(qreal volume) = 0;

signals:
    void stateChanged(QAudio::State state);
};

// Makes the player's output for a device, in the sensor audio format. The
// program makes an AudioOutputPlayback; a test puts in its own function.
class PlaybackOutputFactory
{
public:
    using Function = std::function<PlaybackOutput*(const QAudioDeviceInfo& device, QObject* parent)>;

    static PlaybackOutput* create(const QAudioDeviceInfo& device, QObject* parent);
    // An empty function restores the output through the audio system.
    static void set(Function function);

private:
    static Function& current();
};
