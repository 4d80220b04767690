#pragma once

#include <cstdint>
#include <string>

namespace localservice {

// Three seconds (66150 samples) of a believable sensor signal in the sensor
// format: a few partials whose frequencies and levels follow from the seed,
// with a little noise. The same seed gives the same bytes on every run;
// different seeds give clearly different spectra.
std::string syntheticRecording(std::uint32_t seed);

} // namespace localservice
