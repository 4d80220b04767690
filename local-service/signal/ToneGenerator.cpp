#include "signal/ToneGenerator.h"

#include "signal/PackedAudio.h"
#include "signal/WavFormat.h"

#include <algorithm>
#include <cmath>

namespace localservice {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double Amplitude = 100;
constexpr int Silence = 128;
// 10 ms at 22050 Hz.
constexpr int FadeSamples = sensor::SampleRate / 100;
// Between the frequencies of one marker: far enough apart to be heard, and
// told apart in a spectrum of 1024 samples.
constexpr double ToneStepHz = 30;

} // namespace

std::string toneBlock(double frequencyHz)
{
    std::string block(static_cast<std::size_t>(ToneBlockSamples), static_cast<char>(Silence));
    // Nothing audible to play for a frequency the sensor cannot carry.
    if (!(frequencyHz > 0 && frequencyHz < sensor::SampleRate / 2.0))
        return block;
    const double step = 2 * Pi * frequencyHz / sensor::SampleRate;
    for (int i = 0; i < ToneBlockSamples; ++i) {
        // Raised-cosine fades: the block starts and ends at silence with no
        // kink, so repeated blocks join without a click.
        const int edge = std::min(i, ToneBlockSamples - 1 - i);
        const double fade = edge >= FadeSamples ? 1.0 : 0.5 - 0.5 * std::cos(Pi * edge / FadeSamples);
        const long value = std::lround(Silence + Amplitude * fade * std::sin(step * i));
        block[std::size_t(i)] = static_cast<char>(std::clamp(value, 0L, 255L));
    }
    return block;
}

std::string markerAudio(double frequencyHz, int amount)
{
    const int tones = std::max(amount, 1);
    std::string audio;
    audio.reserve(std::size_t(tones) * ToneBlockSamples);
    for (int tone = 0; tone < tones; ++tone)
        audio += toneBlock(frequencyHz + tone * ToneStepHz);
    return audio;
}

std::string packAudio(const std::vector<std::string>& blocks)
{
    PackedAudioWriter writer;
    for (const std::string& block : blocks)
        writer.add(block);
    return writer.finish();
}

} // namespace localservice
