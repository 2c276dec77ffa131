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

}  // namespace
