#include "audio/GameAudio.h"

#include "audio/AudioEngine.h"
#include "audio/SoundBank.h"
#include "audio/SourcePool.h"
#include "support/TempDirectory.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kRate = 44100;
// Silence as OpenAL Soft writes it: it dithers its 16-bit output by about half a step.
constexpr float kDither = 1e-4f;
// A camera at x = 100 looking along -z with +y up: -x is on its left.
const glm::mat4 kCamera = glm::translate(glm::mat4(1.0f), glm::vec3(100.0f, 0.0f, 0.0f));

size_t at(double seconds) { return static_cast<size_t>(seconds * kRate); }
void wait(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

float rms(const std::vector<float>& s, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < std::min(to, s.size()); ++i) sum += s[i] * s[i];
    return to > from ? static_cast<float>(std::sqrt(sum / static_cast<double>(to - from))) : 0.0f;
}

// The game's sound through OpenAL Soft's wave writer: for the whole test process the default device
// writes what it mixes (stereo, 16-bit) to one file, in real time from its mixer thread, and completes
// the file when it is closed. Checks are placed by the device's clock at the moment of each event.
class GameAudioTest : public ::testing::Test {
protected:
    GameAudioTest() { std::remove(file().c_str()); }  // before the process's first OpenAL call

    static const std::string& file() {
        static testsupport::TempDirectory directory;
        static const std::string wave = [] {
            const std::string path = directory.path() + "/capture.wav";
            const std::string config =
                "[general]\ndrivers = wave\nchannels = stereo\nsample-type = int16\n"
                "frequency = 44100\nhrtf = false\n[wave]\nfile = " +
                path + "\n";
            setenv("ALSOFT_CONF", directory.writeText("alsoft.conf", config).c_str(), 1);
            return path;
        }();
        return wave;
    }
    // The completed recording's channels; empty when there is none.
    static std::vector<float> channel(int which) {
        std::ifstream in(file(), std::ios::binary);
        const std::vector<char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<float> out;
        size_t chunk = 12;  // RIFF chunks after the header; the samples are in "data"
        while (chunk + 8 <= b.size() && std::memcmp(&b[chunk], "data", 4) != 0) {
            uint32_t size = 0;
            std::memcpy(&size, &b[chunk + 4], 4);
            chunk += 8 + size;
        }
        for (size_t i = chunk + 8 + 2 * which; i + 2 <= b.size(); i += 4) {
            int16_t sample = 0;
            std::memcpy(&sample, &b[i], 2);
            out.push_back(sample / 32768.0f);
        }
        return out;
    }
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
        std::ostringstream started;
        audio.logTo(&started);
        audio.onShot(true, glm::vec3(0.0f));
        audio.onShot(true, glm::vec3(0.0f));  // shots of one frame sound as one
        audio.logTo(nullptr);
        const std::string log = started.str();
        EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
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
    const std::vector<float> left = channel(0), right = channel(1);
    const size_t shot = at(firedAt);
    ASSERT_GT(shot, at(0.2));
    ASSERT_GT(left.size(), at(resumedAt + 0.15));
    EXPECT_LT(rms(left, 0, shot), kDither);
    EXPECT_LT(rms(right, 0, shot), kDither);
    EXPECT_GT(rms(left, shot, shot + at(0.05)), 0.02f);  // within one mixing period or two
    // The player's own sound is centred.
    EXPECT_NEAR(rms(right, shot, shot + at(0.15)) / rms(left, shot, shot + at(0.15)), 1.0f, 0.05f);
    EXPECT_LT(rms(left, at(pausedAt + 0.05), at(resumedAt)), kDither);
    EXPECT_GT(rms(left, at(resumedAt + 0.05), at(resumedAt + 0.15)), 0.01f);
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
    const std::vector<float> left = channel(0), right = channel(1);
    const size_t a = at(nearLeft), b = at(farRight), span = at(0.3);
    ASSERT_GT(left.size(), b + span);
    EXPECT_GT(rms(left, a, a + span), 2.0f * rms(right, a, a + span));
    EXPECT_GT(rms(right, b, b + span), 2.0f * rms(left, b, b + span));
    EXPECT_LT(rms(right, b, b + span), 0.3f * rms(left, a, a + span));  // 60 units away against 6
}

// Three sources all playing a second-long sound: the next sound takes the one that started first.
TEST_F(GameAudioTest, WithEverySourceBusyTheOldestSoundMakesRoom) {
    AudioEngine engine("");
    ASSERT_TRUE(engine.isOpen());
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    const std::vector<int16_t> second(kRate, 1000);
    alBufferData(buffer, AL_FORMAT_MONO16, second.data(), static_cast<ALsizei>(second.size() * 2), kRate);
    {
        SourcePool pool(3);
        std::vector<ALuint> playing;
        for (int i = 0; i < 3; ++i) {
            playing.push_back(pool.acquire());
            alSourcei(playing.back(), AL_BUFFER, static_cast<ALint>(buffer));
            alSourcePlay(playing.back());
        }
        EXPECT_EQ(std::set<ALuint>(playing.begin(), playing.end()).size(), 3u);
        EXPECT_EQ(pool.acquire(), playing[0]);
    }
    alDeleteBuffers(1, &buffer);
}

// Headphones pulled out: the lost device is noticed at a check (at most one a second), said once, and
// reopened at a later check that finds it there again, with the sounds it had. The wave writer loses
// its device when a write fails: its file is /dev/full at first, then a real one.
TEST_F(GameAudioTest, ALostDeviceIsSaidOnceAndReopenedWhenItIsThereAgain) {
    ASSERT_EQ(symlink("/dev/full", file().c_str()), 0);
    double now = 0.0, playedAt = 0.0;
    testing::internal::CaptureStdout();
    {
        AudioEngine engine("", [&now] { return now; });
        ASSERT_TRUE(engine.isOpen());
        const std::vector<int16_t> diamond = SoundBank::synthesize(SoundId::Diamond, SoundBank::kSampleRate);
        engine.load(SoundId::Diamond, diamond, SoundBank::kSampleRate);
        for (int check = 0; check < 40 && engine.isOpen(); ++check) {
            wait(0.05);
            now += 1.0;
            engine.watchDevice();
        }
        EXPECT_FALSE(engine.isOpen());
        std::remove(file().c_str());
        ASSERT_EQ(symlink((file() + ".real").c_str(), file().c_str()), 0);
        now += 0.5;
        engine.watchDevice();
        EXPECT_FALSE(engine.isOpen()) << "checked again within a second";
        now += 0.5;
        engine.watchDevice();
        ASSERT_TRUE(engine.isOpen());
        wait(0.05);
        playedAt = engine.clockSeconds();
        engine.play(SoundId::Diamond, glm::vec3(0.0f), true, 1.0f, 1.0f);
        wait(0.3);
    }
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;
    EXPECT_NE(said.find("disconnected"), std::string::npos) << said;
    EXPECT_NE(said.find("available again"), std::string::npos) << said;
    EXPECT_GT(rms(channel(0), at(playedAt), at(playedAt + 0.2)), 0.02f);
}

TEST_F(GameAudioTest, DisabledOrWithoutADeviceItSaysSoAtMostOnceAndWritesNothing) {
    for (const bool enabled : {false, true}) {
        testing::internal::CaptureStdout();
        {
            GameAudio audio(enabled, 1.0f, true, enabled ? "no such device" : "", 1);
            EXPECT_FALSE(audio.isOpen());
            audio.followCamera(kCamera);
            audio.onShot(true, glm::vec3(0.0f));
            audio.onRabbitHit(glm::vec3(1.0f), true);
            audio.setPaused(true);
            EXPECT_EQ(audio.clockSeconds(), 0.0);
        }
        const std::string said = testing::internal::GetCapturedStdout();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), enabled ? 1 : 0) << said;
        EXPECT_FALSE(std::ifstream(file()).good());
    }
}

}  // namespace
