#pragma once

#include "signal/Catalogue.h"
#include "signal/Spectrum.h"

namespace localservice {

// How well the signal matches the marker, in percent (0..100): the marker's
// band share relative to the strongest band share among the storage's
// markers, on a square-root scale. Stable for a given signal.
int markerValue(const Spectrum& spectrum, const StorageInfo& storage, const MarkerInfo& marker);

// The signed deviation of a category from balance, about -50..50 with one
// decimal: the mean marker value over all its storages, minus 50, scaled.
double categoryDeviation(const Spectrum& spectrum, const CategoryInfo& category);

// Shares of the power in percent (0..100, one decimal) below 300 Hz, from
// 300 to 2000 Hz and above 2000 Hz.
struct BandBalance
{
    double low = 0;
    double middle = 0;
    double high = 0;
};
BandBalance bandBalance(const Spectrum& spectrum);

} // namespace localservice
