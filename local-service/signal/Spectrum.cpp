#include "signal/Spectrum.h"

#include "signal/WavFormat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numeric>

namespace localservice {

namespace {

constexpr int FrameSize = 1024;
constexpr int Hop = FrameSize / 2;
constexpr int Bins = FrameSize / 2 + 1; // 0 Hz up to the Nyquist frequency
constexpr int LogFrameSize = 10;
static_assert(1 << LogFrameSize == FrameSize, "the FFT is radix 2");
constexpr double BinWidth = double(sensor::SampleRate) / FrameSize;
constexpr double Pi = 3.14159265358979323846;
// Below this the spectrum holds nothing but rounding errors: a silent or
// constant signal gives exactly zero, the faintest real signal far more.
constexpr double SilenceLimit = 1e-9;
// Half the width of a marker's band, as a ratio.
constexpr double BandRatio = 1.12;
constexpr double MinimumSeparationHz = 30;

// Computed once, read by every thread.
struct FftTables
{
    std::array<double, FrameSize> window{};          // Hann, periodic
    std::array<double, FrameSize / 2> cosine{};      // cos(2 pi k / N)
    std::array<double, FrameSize / 2> sine{};        // sin(2 pi k / N)
    std::array<std::uint16_t, FrameSize> reversed{}; // bit-reversed indices
};

const FftTables& fftTables()
{
    static const FftTables tables = [] {
        FftTables t;
        for (int i = 0; i < FrameSize; ++i) {
            t.window[std::size_t(i)] = 0.5 - 0.5 * std::cos(2 * Pi * i / FrameSize);
            unsigned r = 0;
            for (int bit = 0; bit < LogFrameSize; ++bit)
                r |= unsigned(i >> bit & 1) << (LogFrameSize - 1 - bit);
            t.reversed[std::size_t(i)] = static_cast<std::uint16_t>(r);
        }
        for (int k = 0; k < FrameSize / 2; ++k) {
            t.cosine[std::size_t(k)] = std::cos(2 * Pi * k / FrameSize);
            t.sine[std::size_t(k)] = std::sin(2 * Pi * k / FrameSize);
        }
        return t;
    }();
    return tables;
}

// In-place radix-2 decimation-in-time FFT of FrameSize complex values whose
// real and imaginary parts are given in bit-reversed order.
void fft(double* re, double* im, const FftTables& t)
{
    for (int length = 2, step = FrameSize / 2; length <= FrameSize; length *= 2, step /= 2) {
        const int half = length / 2;
        for (int start = 0; start < FrameSize; start += length) {
            for (int j = 0; j < half; ++j) {
                const double wr = t.cosine[std::size_t(j * step)];
                const double wi = -t.sine[std::size_t(j * step)];
                const int a = start + j;
                const int b = a + half;
                const double vr = re[b] * wr - im[b] * wi;
                const double vi = re[b] * wi + im[b] * wr;
                re[b] = re[a] - vr;
                im[b] = im[a] - vi;
                re[a] += vr;
                im[a] += vi;
            }
        }
    }
}

double binFrequency(int bin)
{
    return bin * BinWidth;
}

} // namespace

Spectrum::Spectrum(std::string_view samples) : m_power(std::size_t(Bins), 0.0)
{
    const std::size_t count = samples.size();
    if (count == 0)
        return;
    const auto* bytes = reinterpret_cast<const unsigned char*>(samples.data());
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += bytes[i];
    const double mean = double(sum) / double(count);

    // A signal shorter than a frame is one frame, padded with silence; longer
    // ones drop the samples after the last whole frame.
    const std::size_t frames = count < std::size_t(FrameSize) ? 1 : 1 + (count - FrameSize) / Hop;
    const FftTables& t = fftTables();
    std::array<double, FrameSize> re;
    std::array<double, FrameSize> im;
    // Two real frames are transformed at once, one as the real part and one
    // as the imaginary part, then told apart by the symmetry of their spectra.
    for (std::size_t frame = 0; frame < frames; frame += 2) {
        const bool pair = frame + 1 < frames;
        for (int i = 0; i < FrameSize; ++i) {
            const std::size_t first = frame * Hop + std::size_t(i);
            const std::size_t second = first + Hop;
            const double w = t.window[std::size_t(i)];
            const std::size_t to = t.reversed[std::size_t(i)];
            re[to] = first < count ? (bytes[first] - mean) * w : 0.0;
            im[to] = pair ? (bytes[second] - mean) * w : 0.0;
        }
        fft(re.data(), im.data(), t);
        // DC is left out: the mean is removed, what remains there is the slow
        // drift within a frame, not a tone.
        for (int k = 1; k < Bins; ++k) {
            const int mirror = (FrameSize - k) % FrameSize;
            const double sumRe = re[std::size_t(k)] + re[std::size_t(mirror)];
            const double sumIm = im[std::size_t(k)] - im[std::size_t(mirror)];
            const double diffRe = re[std::size_t(k)] - re[std::size_t(mirror)];
            const double diffIm = im[std::size_t(k)] + im[std::size_t(mirror)];
            // |X|^2 and |Y|^2, each times 4: the common factor cancels in shares.
            m_power[std::size_t(k)] += sumRe * sumRe + sumIm * sumIm + diffRe * diffRe + diffIm * diffIm;
        }
    }
    for (double& power : m_power)
        power /= double(frames);
    m_total = std::accumulate(m_power.begin(), m_power.end(), 0.0);
    if (!(m_total > SilenceLimit)) {
        std::fill(m_power.begin(), m_power.end(), 0.0);
        m_total = 0;
    }
}

bool Spectrum::isSilent() const
{
    return m_total == 0;
}

double Spectrum::rangeShare(double fromHz, double toHz) const
{
    if (isSilent() || !std::isfinite(fromHz) || !std::isfinite(toHz))
        return 0;
    if (toHz < fromHz)
        std::swap(fromHz, toHz);
    // Bins whose centres lie within the range, both ends included.
    const int first = std::max(1, int(std::ceil(std::max(fromHz, 0.0) / BinWidth)));
    const int last = int(std::floor(std::min(toHz, binFrequency(Bins - 1)) / BinWidth));
    double power = 0;
    for (int k = first; k <= last; ++k)
        power += m_power[std::size_t(k)];
    return std::clamp(power / m_total, 0.0, 1.0);
}

double Spectrum::bandShare(double centreHz) const
{
    if (isSilent() || !(centreHz > 0) || !std::isfinite(centreHz))
        return 0;
    const double from = centreHz / BandRatio;
    const double to = centreHz * BandRatio;
    if (std::ceil(from / BinWidth) <= std::floor(to / BinWidth))
        return rangeShare(from, to);
    // Below about 95 Hz the band is narrower than a bin and may hold no bin
    // centre: then it is the bin nearest to the frequency.
    const long nearest = std::lround(centreHz / BinWidth);
    if (nearest < 1 || nearest >= Bins)
        return 0;
    return m_power[std::size_t(nearest)] / m_total;
}

std::vector<double> Spectrum::dominantFrequencies(int n) const
{
    std::vector<double> result;
    if (n <= 0 || isSilent())
        return result;
    const auto power = [this](int k) { return k >= 1 && k < Bins ? m_power[std::size_t(k)] : 0.0; };
    // Local maxima first, so that the flank of a strong peak does not push
    // out a weaker partial; other bins only when there are too few peaks.
    std::vector<int> peaks;
    std::vector<int> others;
    for (int k = 1; k < Bins; ++k) {
        if (!(power(k) > 0))
            continue;
        const bool peak = power(k) > power(k - 1) && power(k) >= power(k + 1);
        (peak ? peaks : others).push_back(k);
    }
    const auto stronger = [&power](int a, int b) { return power(a) > power(b) || (power(a) == power(b) && a < b); };
    std::sort(peaks.begin(), peaks.end(), stronger);
    std::sort(others.begin(), others.end(), stronger);

    std::vector<int> chosen;
    const auto choose = [&](const std::vector<int>& candidates) {
        for (int k : candidates) {
            if (int(chosen.size()) >= n)
                return;
            const bool apart = std::all_of(chosen.begin(), chosen.end(), [k](int c) {
                return std::abs(binFrequency(k) - binFrequency(c)) >= MinimumSeparationHz;
            });
            if (apart)
                chosen.push_back(k);
        }
    };
    choose(peaks);
    choose(others);
    std::sort(chosen.begin(), chosen.end(), stronger);
    result.reserve(chosen.size());
    for (int k : chosen)
        result.push_back(binFrequency(k));
    return result;
}

} // namespace localservice
