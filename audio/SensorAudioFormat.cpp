#include "audio/SensorAudioFormat.h"

#include <QtEndian>

QAudioFormat sensorAudioFormat()
{
    QAudioFormat format;
    format.setCodec(QStringLiteral("audio/pcm"));
    format.setSampleRate(22050);
    format.setChannelCount(1);
    format.setSampleSize(8);
    format.setSampleType(QAudioFormat::UnSignedInt);
    format.setByteOrder(QAudioFormat::LittleEndian);
    return format;
}

int sensorBytesPerSecond()
{
    const QAudioFormat format = sensorAudioFormat();
    return format.sampleRate() * format.channelCount() * format.sampleSize() / 8;
}

namespace {

void appendLittleEndian32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void appendLittleEndian16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

} // namespace

QByteArray wavHeader(qint64 dataSize)
{
    const QAudioFormat format = sensorAudioFormat();
    const auto channels = quint16(format.channelCount());
    const auto bits = quint16(format.sampleSize());
    const auto rate = quint32(format.sampleRate());
    // The size fields are unsigned 32-bit numbers.
    const auto size = quint32(qBound(qint64(0), dataSize, kMaxWavDataSize));

    QByteArray header;
    header.reserve(44);
    header.append("RIFF", 4);
    appendLittleEndian32(header, size + 36);
    header.append("WAVE", 4);
    header.append("fmt ", 4);
    appendLittleEndian32(header, 16);
    appendLittleEndian16(header, 1);
    appendLittleEndian16(header, channels);
    appendLittleEndian32(header, rate);
    appendLittleEndian32(header, rate * channels * bits / 8);
    appendLittleEndian16(header, quint16(bits * channels / 8));
    appendLittleEndian16(header, bits);
    header.append("data", 4);
    appendLittleEndian32(header, size);
    return header;
}
