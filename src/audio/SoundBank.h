#pragma once

#include "audio/SoundId.h"

#include <cstdint>
#include <vector>

// The recipes of the game's sounds: each one synthesised from tones and noise, mono, 16-bit, levelled
// to the same loudness. The wind is a seamless loop; all others are one-shots that start at once.
class SoundBank {
public:
    static std::vector<int16_t> synthesize(SoundId id, int sampleRate);
    // A short name for logs ("player-shot", "rabbit-fall", ...).
    static const char* name(SoundId id);

    static constexpr int kSampleRate = 44100;
};
