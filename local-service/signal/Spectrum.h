#pragma once

#include <string_view>
#include <vector>

namespace localservice {

// The averaged power spectrum of 8-bit unsigned sensor samples at 22050 Hz
// (mean removed, Hann-windowed frames of 1024 samples, half overlapping).
class Spectrum
{
public:
    explicit Spectrum(std::string_view samples);

    // Share of the total power (0..1) that lies within +-12% of the frequency.
    double bandShare(double centreHz) const;
    // Share of the total power between the two frequencies.
    double rangeShare(double fromHz, double toHz) const;
    // The n frequencies with the most power, strongest first, at least 30 Hz
    // apart, each the centre of its bin; fewer when the signal is silent.
    std::vector<double> dominantFrequencies(int n) const;
    bool isSilent() const;

private:
    std::vector<double> m_power; // one value per bin of 22050/1024 Hz
    double m_total = 0;
};

} // namespace localservice
