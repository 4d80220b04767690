#include "signal/MarkerAnalysis.h"

#include "signal/WavFormat.h"

#include <algorithm>
#include <cmath>

namespace localservice {

namespace {

// To one decimal, without a negative zero.
double roundToTenth(double value)
{
    const double rounded = std::round(value * 10) / 10;
    return rounded == 0 ? 0.0 : rounded;
}

} // namespace

int markerValue(const Spectrum& spectrum, const StorageInfo& storage, const MarkerInfo& marker)
{
    const double share = spectrum.bandShare(marker.frequencyHz);
    // The marker counts even if it is not one of the storage's: v stays <= 1.
    double strongest = share;
    for (const MarkerInfo& other : storage.markers)
        strongest = std::max(strongest, spectrum.bandShare(other.frequencyHz));
    if (!(strongest > 0))
        return 0;
    const double value = std::round(100 * std::sqrt(share / strongest));
    return int(std::clamp(value, 0.0, 100.0));
}

double categoryDeviation(const Spectrum& spectrum, const CategoryInfo& category)
{
    long sum = 0;
    long count = 0;
    for (const StorageInfo& storage : category.storages) {
        for (const MarkerInfo& marker : storage.markers) {
            sum += markerValue(spectrum, storage, marker);
            ++count;
        }
    }
    // A category without markers is in balance.
    if (count == 0)
        return 0;
    return roundToTenth((double(sum) / double(count) - 50) * 0.8);
}

BandBalance bandBalance(const Spectrum& spectrum)
{
    BandBalance balance;
    balance.low = roundToTenth(100 * spectrum.rangeShare(0, 300));
    balance.middle = roundToTenth(100 * spectrum.rangeShare(300, 2000));
    balance.high = roundToTenth(100 * spectrum.rangeShare(2000, sensor::SampleRate / 2.0));
    return balance;
}

} // namespace localservice
