#pragma once

#include "data/Marker.h"

#include <QList>

// How long an impact runs and how often each marker's block repeats. The
// sensor and the remote device play every block at least once within the
// minutes chosen, for the whole impact; a WAV file takes the minutes per
// marker.
namespace ImpactDurationRule {

constexpr int maxMinutes = 600;

// The sum of the markers' amounts, within the range of an int.
int totalOf(const QList<Marker>& markers);
// The fewest minutes that can be chosen.
int minimumMinutes(bool perMarker, int total);
int repetitions(bool perMarker, int minutes, int total);
// How long the whole impact takes.
qint64 totalMinutes(bool perMarker, int minutes, int total);

} // namespace ImpactDurationRule
