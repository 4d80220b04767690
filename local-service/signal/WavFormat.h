#pragma once

#include <string>
#include <string_view>

namespace localservice {

// The sensor's audio format: 22050 samples per second, one channel, 8-bit
// unsigned samples, behind a 44-byte RIFF header.
namespace sensor {
constexpr int SampleRate = 22050;
constexpr int HeaderSize = 44;
constexpr int MinRecordingSamples = 22050;  // one second
constexpr int RecordingSamples = 66150;     // three seconds
constexpr int MaxRecordingSamples = 661500; // thirty seconds
} // namespace sensor

struct WavCheck
{
    bool valid = false;
    std::string problem; // a message key of the service's (see http/Messages) when not valid
    std::string samples; // the sample bytes after the header when valid
};

// Checks that the file is a WAV in the sensor format: RIFF/WAVE, a 16-byte
// PCM "fmt " chunk with 1 channel, 22050 Hz, 22050 bytes per second, block
// align 1, 8 bits, then the "data" chunk at offset 36 whose size equals the
// bytes that follow (at least MinRecordingSamples, at most
// MaxRecordingSamples).
WavCheck readSensorWav(std::string_view file);

// The 44-byte header followed by the samples.
std::string makeSensorWav(std::string_view samples);

} // namespace localservice
