#include "audio/GameAudio.h"

#include "support/WaveCapture.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <thread>

namespace {

using testsupport::rms;
using testsupport::WaveCapture;

// A camera at x = 100 looking along -z with +y up: -x is on its left.
const glm::mat4 kCamera = glm::translate(glm::mat4(1.0f), glm::vec3(100.0f, 0.0f, 0.0f));

// Silence as written by OpenAL Soft, which dithers its 16-bit output by about half a step.
constexpr float kDither = 1e-4f;

size_t samples(double seconds) { return static_cast<size_t>(seconds * WaveCapture::kRate); }

void wait(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

size_t firstAbove(const std::vector<float>& s, size_t from, float level) {
    while (from < s.size() && std::fabs(s[from]) < level) ++from;
    return from;
}

// The game's sound through OpenAL Soft's wave writer. The mixer runs in real time on its own thread,
// so every check is placed by the device's clock at the moment of the event, not by wall time.
class GameAudioTest : public ::testing::Test {
protected:
    WaveCapture capture;  // set up before the first OpenAL call
};

TEST_F(GameAudioTest, AShotIsHeardTheMomentItIsFiredAndNothingWhilePaused) {
    double firedAt = 0.0, pausedAt = 0.0, resumedAt = 0.0;
    {
        GameAudio audio(true, 1.0f, false, "", 1);
        ASSERT_TRUE(audio.isOpen());
        audio.followCamera(kCamera);
        wait(0.1);
        audio.setPaused(true);
        audio.onShot(true, glm::vec3(0.0f));  // dropped, not kept for later
        audio.setPaused(false);
        wait(0.15);
        audio.followCamera(kCamera);
        firedAt = audio.clockSeconds();
        audio.onShot(true, glm::vec3(0.0f));
        wait(0.3);
        audio.onRoundOver(false);  // a long sound, paused in the middle and resumed
        wait(0.1);
        pausedAt = audio.clockSeconds();
        audio.setPaused(true);
        wait(0.3);
        resumedAt = audio.clockSeconds();
        audio.setPaused(false);
        wait(0.2);
    }  // closing the device completes the file
    const WaveCapture::Stereo wave = capture.read();
    ASSERT_EQ(wave.rate, WaveCapture::kRate);
    const size_t shot = samples(firedAt);
    ASSERT_GT(shot, samples(0.2));
    ASSERT_GT(wave.left.size(), shot + samples(0.2));
    EXPECT_LT(rms(wave.left, 0, shot), kDither);
    EXPECT_LT(rms(wave.right, 0, shot), kDither);
    EXPECT_LT(firstAbove(wave.left, shot, 0.01f), shot + samples(0.05));
    // The player's own sound is centred.
    const float left = rms(wave.left, shot, shot + samples(0.15));
    EXPECT_GT(left, 0.02f);
    EXPECT_NEAR(rms(wave.right, shot, shot + samples(0.15)) / left, 1.0f, 0.05f);
    ASSERT_GT(wave.left.size(), samples(resumedAt + 0.15));
    EXPECT_LT(rms(wave.left, samples(pausedAt + 0.05), samples(resumedAt)), kDither);
    EXPECT_GT(rms(wave.left, samples(resumedAt + 0.05), samples(resumedAt + 0.15)), 0.01f);
}

TEST_F(GameAudioTest, RabbitsAreHeardFromWhereTheyAreAndFadeWithDistance) {
    double nearLeft = 0.0, farRight = 0.0;
    {
        GameAudio audio(true, 1.0f, false, "", 1);
        ASSERT_TRUE(audio.isOpen());
        audio.followCamera(kCamera);
        wait(0.1);
        nearLeft = audio.clockSeconds();
        audio.onRabbitHit(glm::vec3(94.0f, 0.0f, 0.0f), false);
        wait(0.4);
        audio.followCamera(kCamera);
        farRight = audio.clockSeconds();
        audio.onRabbitHit(glm::vec3(160.0f, 0.0f, 0.0f), false);
        wait(0.4);
    }
    const WaveCapture::Stereo wave = capture.read();
    const size_t a = samples(nearLeft), b = samples(farRight);
    ASSERT_GT(wave.left.size(), b + samples(0.3));
    const float nearL = rms(wave.left, a, a + samples(0.3)), nearR = rms(wave.right, a, a + samples(0.3));
    const float farL = rms(wave.left, b, b + samples(0.3)), farR = rms(wave.right, b, b + samples(0.3));
    EXPECT_GT(nearL, 2.0f * nearR);
    EXPECT_GT(farR, 2.0f * farL);
    EXPECT_LT(farR, 0.3f * nearL);  // 60 units away against 6
}

TEST_F(GameAudioTest, DisabledOrWithoutADeviceItSaysSoAtMostOnceAndWritesNothing) {
    for (const bool enabled : {false, true}) {
        SCOPED_TRACE(enabled ? "no such device" : "disabled");
        testing::internal::CaptureStdout();
        {
            GameAudio audio(enabled, 1.0f, true, enabled ? "no such device" : "", 1);
            EXPECT_FALSE(audio.isOpen());
            audio.followCamera(kCamera);
            audio.onShot(true, glm::vec3(0.0f));
            audio.onRabbitHit(glm::vec3(1.0f), true);
            audio.onRoundOver(true);
            audio.setPaused(true);
            EXPECT_EQ(audio.clockSeconds(), 0.0);
        }
        const std::string said = testing::internal::GetCapturedStdout();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), enabled ? 1 : 0) << said;
        EXPECT_FALSE(capture.written());
    }
}

}  // namespace
