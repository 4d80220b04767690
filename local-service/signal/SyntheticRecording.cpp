#include "signal/SyntheticRecording.h"

#include "signal/WavFormat.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace localservice {

namespace {

constexpr double Pi = 3.14159265358979323846;

// splitmix64: tiny, fast and the same everywhere, unlike the standard
// library's distributions.
class SplitMix64
{
public:
    explicit SplitMix64(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1), from the top 53 bits.
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    double between(double low, double high) { return low + (high - low) * unit(); }

private:
    std::uint64_t m_state;
};

struct Partial
{
    double frequencyHz;
    double amplitude;
    double phase;
};

constexpr double LowestHz = 80;
constexpr double HighestHz = 3500;
// Partials this far apart stay in different bands of the analysis.
constexpr double MinimumRatio = 1.3;
// Peak of all partials together, and of the noise, around the centre 128:
// at most 96, so samples stay within 32..224.
constexpr double PartialsPeak = 88;
constexpr double NoisePeak = 8;

} // namespace

std::string syntheticRecording(std::uint32_t seed)
{
    // Mixing in a constant keeps seed 0 from starting at state 0.
    SplitMix64 random(std::uint64_t(seed) * 0x2545F4914F6CDD1Dull + 0x5EED);
    const int count = 3 + int(random.next() % 3);
    std::vector<Partial> partials;
    // Frequencies evenly spread on a logarithmic scale; one that falls too
    // near an earlier one is drawn again (a few attempts always suffice, and
    // the draws, like everything here, follow from the seed alone).
    for (int attempt = 0; int(partials.size()) < count && attempt < 1000; ++attempt) {
        const double frequency = LowestHz * std::pow(HighestHz / LowestHz, random.unit());
        const bool apart = std::all_of(partials.begin(), partials.end(), [frequency](const Partial& p) {
            const double ratio = frequency > p.frequencyHz ? frequency / p.frequencyHz : p.frequencyHz / frequency;
            return ratio >= MinimumRatio;
        });
        if (apart)
            partials.push_back({frequency, random.between(0.2, 1.0), random.between(0, 2 * Pi)});
    }
    double levels = 0;
    for (const Partial& p : partials)
        levels += p.amplitude;
    for (Partial& p : partials)
        p.amplitude *= PartialsPeak / levels;

    // A slow swell of the whole signal, as the sensor's contact varies.
    const double swellHz = random.between(0.2, 0.8);
    const double swellPhase = random.between(0, 2 * Pi);

    std::string samples(std::size_t(sensor::RecordingSamples), '\0');
    for (int i = 0; i < sensor::RecordingSamples; ++i) {
        const double t = double(i) / sensor::SampleRate;
        double value = 0;
        for (const Partial& p : partials)
            value += p.amplitude * std::sin(2 * Pi * p.frequencyHz * t + p.phase);
        value *= 0.9 + 0.1 * std::sin(2 * Pi * swellHz * t + swellPhase);
        // Triangular noise of at most NoisePeak.
        value += (random.unit() + random.unit() - 1) * NoisePeak;
        samples[std::size_t(i)] = static_cast<char>(std::clamp(std::lround(128 + value), 0L, 255L));
    }
    return samples;
}

} // namespace localservice
