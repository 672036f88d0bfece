// The game's sound effects, synthesised: short, enveloped, 16-bit mono.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mkmedia {

struct SoundClip {
  std::string name;                   // the file name the game loads it by
  std::vector<std::int16_t> samples;  // at kSampleRate
};

// Every sound the game ships, in a fixed order.
std::vector<SoundClip> SynthesiseSounds();

}  // namespace mkmedia
