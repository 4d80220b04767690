#pragma once

#include <QAudioFormat>
#include <QByteArray>

// The one audio format of the sensor, used for recording, playback and saved
// impact audio: 22050 samples per second, one channel, 8-bit unsigned samples
// whose zero line is the byte 127. One byte is one sample.
QAudioFormat sensorAudioFormat();

// Bytes of one second of signal in the sensor format (22050).
int sensorBytesPerSecond();

// A finished recording is exactly three seconds of signal.
constexpr int kRecordingLimit = 66150;

// The most sample bytes a WAV file holds: its size fields are 32-bit, and the
// whole file, header included, stays within 4 GiB.
constexpr qint64 kMaxWavDataSize = (qint64(1) << 32) - 44;

// The 44-byte canonical RIFF/WAVE header for dataSize bytes of samples in the
// sensor format; a WAV file is this header followed by the samples. A negative
// size counts as none, one above kMaxWavDataSize as that largest size.
QByteArray wavHeader(qint64 dataSize);
