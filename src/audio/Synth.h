#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Builds one short mono sound from layers of gliding tones and filtered noise, then levels it to the
// game's common loudness. Everything is computed from numbers alone, so a sound comes out the same
// on every run and every machine.
class Synth {
public:
    // A tone gliding exponentially from `fromHz` to `toHz`. Its envelope rises linearly over
    // `attack` seconds and then falls by a factor e every `decay` seconds. `harmonics` odd partials
    // at 1/n² (1 is a pure sine, 3 or 4 a soft triangle-like buzz), with an optional vibrato.
    struct Tone {
        float start;
        float length;
        float fromHz;
        float toHz;
        float gain;
        float attack = 0.004f;
        float decay = 1.0f;
        int harmonics = 1;
        float vibratoHz = 0.0f;
        float vibratoDepth = 0.0f;  // fraction of the frequency
    };
    // White noise through a low-pass filter whose cut-off glides from `fromHz` to `toHz`, with the
    // same envelope as a tone.
    struct Noise {
        float start;
        float length;
        float fromHz;
        float toHz;
        float gain;
        float attack = 0.004f;
        float decay = 1.0f;
    };

    // `seconds` is the longest the sound may last; layers reaching past it are cut there.
    Synth(int sampleRate, float seconds, uint32_t noiseSeed = 1);

    void add(const Tone& tone);
    void add(const Noise& noise);

    // The finished sound as 16-bit samples: its loudest 50 ms brought to the common level (as long
    // as no sample clips), a click-free start and end, and the silent tail trimmed.
    std::vector<int16_t> finish() const;
    // The same levelling for a sound that repeats without a seam: its last `overlap` seconds are
    // cross-faded into its start, and the result is that much shorter.
    std::vector<int16_t> finishLoop(float overlap) const;

    // Root mean square of the loudest 50 ms of a finished sound, as a fraction of full scale; every
    // sound is levelled to kLevel by this measure.
    static float loudestLevel(const std::vector<int16_t>& samples, int sampleRate);
    static constexpr float kLevel = 0.18f;

private:
    float nextNoise();
    // The gain that brings the first `end` samples to the common level without clipping.
    float levelGain(size_t end) const;

    int rate;
    std::vector<float> mix;
    uint32_t seed;
};
