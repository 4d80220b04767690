#include "views/ImpactDurationRule.h"

#include "audio/ImpactAudio.h"

#include <algorithm>
#include <limits>

namespace {

// Each marker's block plays this long once.
constexpr int secondsPerBlock = 3;

} // namespace

namespace ImpactDurationRule {

int totalOf(const QList<Marker>& markers)
{
    qint64 sum = 0;
    for (const Marker& marker : markers)
        sum += marker.amount();
    return int(qBound<qint64>(std::numeric_limits<int>::min(), sum, std::numeric_limits<int>::max()));
}

int minimumMinutes(bool perMarker, int total)
{
    if (perMarker)
        return 1;
    const qint64 leastMinutes = (qint64(std::max(total, 0)) * secondsPerBlock + 59) / 60;
    return int(std::clamp<qint64>(leastMinutes, 1, maxMinutes));
}

int repetitions(bool perMarker, int minutes, int total)
{
    return repetitionCount(minutes, perMarker ? 1 : total);
}

qint64 totalMinutes(bool perMarker, int minutes, int total)
{
    return perMarker ? qint64(minutes) * std::max(total, 0) : minutes;
}

} // namespace ImpactDurationRule
