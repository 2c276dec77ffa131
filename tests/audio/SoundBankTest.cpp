#include "audio/SoundBank.h"
#include "audio/Synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kRate = SoundBank::kSampleRate;

int peak(const std::vector<int16_t>& s, size_t from, size_t to) {
    int p = 0;
    for (size_t i = from; i < std::min(to, s.size()); ++i) p = std::max(p, std::abs(static_cast<int>(s[i])));
    return p;
}

TEST(SoundBank, EventSoundsStartAtOnceEndCleanlyAndShareOneLoudness) {
    for (int i = 0; i < kSoundCount; ++i) {
        const auto id = static_cast<SoundId>(i);
        if (id == SoundId::Wind) continue;
        SCOPED_TRACE(SoundBank::name(id));
        const auto s = SoundBank::synthesize(id, kRate);
        ASSERT_GT(s.size(), static_cast<size_t>(kRate / 20));
        EXPECT_LE(s.size(), static_cast<size_t>(kRate * 3 / 2));  // short
        // Heard within 10 ms of the event, never clipped, and no click where it stops.
        EXPECT_GT(peak(s, 0, kRate / 100), 32768 / 20);
        EXPECT_LT(peak(s, 0, s.size()), 32768 * 95 / 100);
        EXPECT_LT(std::abs(static_cast<int>(s.back())), 100);
        EXPECT_GT(peak(s, s.size() - kRate / 200, s.size()), 0) << "it ends where it falls silent";
        // Within 1.5 dB of the common level, measured over the loudest 50 ms.
        EXPECT_NEAR(20.0f * std::log10(Synth::loudestLevel(s, kRate) / Synth::kLevel), 0.0f, 1.5f);
    }
}

TEST(SoundBank, WindLoopsWithoutASeam) {
    const auto s = SoundBank::synthesize(SoundId::Wind, kRate);
    ASSERT_GT(s.size(), static_cast<size_t>(2 * kRate));
    int largestStep = 0;
    for (size_t i = 1; i < s.size(); ++i) largestStep = std::max(largestStep, std::abs(s[i] - s[i - 1]));
    EXPECT_LE(std::abs(s.front() - s.back()), largestStep);
    EXPECT_GT(peak(s, 0, kRate / 10), 32768 / 50);  // no fade at the seam either
}

// A 441 Hz tone looped over its last quarter: the loop's last sample runs on into its first as the
// tone runs on from one sample to the next (a step of at most 2 pi / 100 of the peak).
TEST(Synth, ALoopsEndRunsOnIntoItsStart) {
    Synth synth(kRate, 1.0f, 1);
    synth.add(Synth::Tone{0.0f, 1.0f, 441.0f, 441.0f, 1.0f, 0.0f, 1000.0f, 1});
    const auto loop = synth.finishLoop(0.25f);
    ASSERT_EQ(loop.size(), static_cast<size_t>(0.75 * kRate));
    EXPECT_LT(std::abs(loop.front() - loop.back()), peak(loop, 0, loop.size()) / 10);
}

}  // namespace
