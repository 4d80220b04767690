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

// The audio of a marker: its amount of frequencies as that many tone blocks
// one after another (one block for an amount of 0 or 1), so that it lasts
// 2.98 s for each frequency, as the client counts it. The first tone is at the
// marker's frequency, each next one 30 Hz above the one before.
std::string markerAudio(double frequencyHz, int amount);

// The packed audio reply: Base64 of the gzip of a JSON array whose elements
// are the Base64 texts of the blocks, in order.
std::string packAudio(const std::vector<std::string>& blocks);

} // namespace localservice
