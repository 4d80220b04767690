#pragma once

#include <string>
#include <vector>

namespace localservice {

// 2.98 seconds of sensor samples: the length of one block of impact audio.
constexpr int ToneBlockSamples = 65709;

// A sine at the frequency in the sensor format (8-bit unsigned around 128,
// amplitude 100), ToneBlockSamples long, with 10 ms fades at both ends so
// that repeated blocks don't click.
std::string toneBlock(double frequencyHz);

// The packed audio reply: Base64 of the gzip of a JSON array whose elements
// are the Base64 texts of the blocks, in order.
std::string packAudio(const std::vector<std::string>& blocks);

} // namespace localservice
