#include "audio/SoundBank.h"

#include "audio/Synth.h"

#include <algorithm>

namespace {

using Tone = Synth::Tone;
using Noise = Synth::Noise;

// A quick downward "pew": bright at first, soft by the end.
void playerShot(Synth& s) {
    s.add(Tone{0.0f, 0.16f, 1400.0f, 380.0f, 1.0f, 0.002f, 0.05f, 3});
    s.add(Noise{0.0f, 0.03f, 6000.0f, 2000.0f, 0.25f, 0.001f, 0.01f});
}

// The rabbits' shot rises where the player's falls, and is rounder, so the two are told apart.
void enemyShot(Synth& s) {
    s.add(Tone{0.0f, 0.2f, 420.0f, 900.0f, 1.0f, 0.004f, 0.07f, 2});
    s.add(Tone{0.0f, 0.2f, 630.0f, 1350.0f, 0.3f, 0.004f, 0.05f});
}

// A dull thud with a short crunch on top.
void playerHit(Synth& s) {
    s.add(Tone{0.0f, 0.3f, 170.0f, 55.0f, 1.0f, 0.002f, 0.09f, 2});
    s.add(Noise{0.0f, 0.12f, 2500.0f, 500.0f, 0.6f, 0.001f, 0.035f});
}

// A springy "boink".
void rabbitHit(Synth& s) {
    s.add(Tone{0.0f, 0.18f, 520.0f, 880.0f, 1.0f, 0.002f, 0.06f, 2, 30.0f, 0.04f});
    s.add(Noise{0.0f, 0.025f, 4000.0f, 1500.0f, 0.3f, 0.001f, 0.008f});
}

// A falling, wobbling whistle and a soft bump as the rabbit lands.
void rabbitFall(Synth& s) {
    s.add(Tone{0.0f, 0.55f, 760.0f, 140.0f, 0.8f, 0.01f, 0.6f, 2, 9.0f, 0.05f});
    s.add(Tone{0.5f, 0.2f, 110.0f, 50.0f, 1.0f, 0.002f, 0.06f});
    s.add(Noise{0.5f, 0.1f, 900.0f, 300.0f, 0.5f, 0.002f, 0.03f});
}

// Two bell-like notes a fourth apart (E6, A6).
void diamond(Synth& s) {
    s.add(Tone{0.0f, 0.25f, 1318.5f, 1318.5f, 0.8f, 0.002f, 0.08f, 2});
    s.add(Tone{0.07f, 0.35f, 1760.0f, 1760.0f, 0.9f, 0.002f, 0.12f, 2});
}

// A rising shimmer of four notes (C5 E5 G5 C6) over a bubbling of low noise.
void fountainHeal(Synth& s) {
    const float notes[] = {523.25f, 659.25f, 783.99f, 1046.5f};
    for (int i = 0; i < 4; ++i) s.add(Tone{0.08f * i, 0.45f, notes[i], notes[i], 0.5f, 0.01f, 0.2f, 1, 7.0f, 0.01f});
    s.add(Noise{0.0f, 0.5f, 400.0f, 900.0f, 0.5f, 0.05f, 0.25f});
}

void jump(Synth& s) { s.add(Tone{0.0f, 0.16f, 260.0f, 640.0f, 1.0f, 0.003f, 0.09f, 2}); }

// A whoosh: noise whose brightness sweeps up and back down.
void dash(Synth& s) {
    s.add(Noise{0.0f, 0.18f, 700.0f, 3000.0f, 1.0f, 0.008f, 1.0f});
    s.add(Noise{0.18f, 0.2f, 3000.0f, 400.0f, 1.0f, 0.001f, 0.08f});
}

// Time up: a clock-like double chime on G5, then a held C5.
void timeUp(Synth& s) {
    s.add(Tone{0.0f, 0.2f, 783.99f, 783.99f, 0.8f, 0.002f, 0.07f, 2});
    s.add(Tone{0.2f, 0.2f, 783.99f, 783.99f, 0.8f, 0.002f, 0.07f, 2});
    s.add(Tone{0.4f, 0.8f, 523.25f, 523.25f, 1.0f, 0.005f, 0.35f, 2});
}

// Health gone: a slow minor descent (A4 F4 D4) that sags at the end.
void healthGone(Synth& s) {
    s.add(Tone{0.0f, 0.3f, 440.0f, 440.0f, 0.9f, 0.01f, 0.3f, 3});
    s.add(Tone{0.28f, 0.3f, 349.23f, 349.23f, 0.9f, 0.01f, 0.3f, 3});
    s.add(Tone{0.56f, 0.7f, 293.66f, 220.0f, 1.0f, 0.01f, 0.35f, 3, 5.0f, 0.015f});
}

// A new world: a quick rising major arpeggio (C5 E5 G5 C6).
void newWorld(Synth& s) {
    const float notes[] = {523.25f, 659.25f, 783.99f, 1046.5f};
    for (int i = 0; i < 4; ++i) s.add(Tone{0.09f * i, 0.4f, notes[i], notes[i], 0.7f, 0.004f, 0.15f, 2});
}

constexpr float kWindOverlap = 0.5f;

// Wind: low noise with one slow gust; its last half second is blended into its start, so it loops.
void wind(Synth& s) {
    s.add(Noise{0.0f, 4.5f, 250.0f, 250.0f, 1.0f, 0.0f, 1000.0f});
    s.add(Noise{1.0f, 2.5f, 500.0f, 180.0f, 0.8f, 1.0f, 1.2f});
}

}  // namespace

std::vector<int16_t> SoundBank::synthesize(SoundId id, int sampleRate) {
    struct Recipe {
        void (*build)(Synth&);
        float seconds;
    };
    static const Recipe recipes[kSoundCount] = {
        {playerShot, 0.2f}, {enemyShot, 0.25f},   {playerHit, 0.35f}, {rabbitHit, 0.2f}, {rabbitFall, 0.75f},
        {diamond, 0.45f},   {fountainHeal, 0.8f}, {jump, 0.2f},       {dash, 0.4f},      {timeUp, 1.25f},
        {healthGone, 1.3f}, {newWorld, 0.7f},     {wind, 4.5f},
    };
    const int index = static_cast<int>(id);
    if (index < 0 || index >= kSoundCount) return {};
    Synth synth(sampleRate, recipes[index].seconds, 1u + static_cast<uint32_t>(index));
    recipes[index].build(synth);
    return id == SoundId::Wind ? synth.finishLoop(kWindOverlap) : synth.finish();
}

const char* SoundBank::name(SoundId id) {
    static const char* const names[kSoundCount] = {
        "player-shot", "enemy-shot", "player-hit", "rabbit-hit",  "rabbit-fall", "diamond", "fountain-heal",
        "jump",        "dash",       "time-up",    "health-gone", "new-world",   "wind",
    };
    const int index = static_cast<int>(id);
    return index >= 0 && index < kSoundCount ? names[index] : "unknown";
}
