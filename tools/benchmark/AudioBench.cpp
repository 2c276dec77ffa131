#include "AudioBench.h"

#include "BenchReport.h"
#include "audio/GameAudio.h"
#include "audio/SoundBank.h"

#include <glm/gtc/matrix_transform.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Every sound synthesised once; returns the bytes of sound data made.
size_t synthesizeAll() {
    size_t bytes = 0;
    for (int i = 0; i < kSoundCount; ++i)
        bytes += SoundBank::synthesize(static_cast<SoundId>(i), SoundBank::kSampleRate).size() * sizeof(int16_t);
    return bytes;
}

// Reading `bytes` of sound data back from a file just written (so from the page cache, the best case
// for made-in-advance sounds).
double readMs(size_t bytes) {
    const auto path = std::filesystem::temp_directory_path() / "quillmarsh_bench_sounds.raw";
    std::vector<char> data(bytes, 1);
    std::ofstream(path, std::ios::binary).write(data.data(), static_cast<std::streamsize>(bytes));
    const auto start = Clock::now();
    std::ifstream in(path, std::ios::binary);
    in.read(data.data(), static_cast<std::streamsize>(bytes));
    const double ms = msSince(start);
    std::filesystem::remove(path);
    return ms;
}

void measureSynthesis() {
    std::vector<double> runs;
    size_t bytes = 0;
    for (int i = 0; i < 5; ++i) {
        const auto start = Clock::now();
        bytes = synthesizeAll();
        runs.push_back(msSince(start));
    }
    std::printf("Sound synthesis, all %d sounds (median of 5)         %.1f ms for %.0f KiB\n", kSoundCount,
                median(runs), static_cast<double>(bytes) / 1024.0);
    std::printf("  reading that much from a cached file               %.2f ms\n", readMs(bytes));
}

// One frame's audio work: the listener follows a camera walking and turning, and, when `events`,
// one sound starts (a rabbit's shot, a hit on it, the player's shot in turn).
std::vector<double> timeFrames(GameAudio& audio, int frames, bool events) {
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        const glm::mat4 camera = glm::rotate(glm::translate(glm::mat4(1.0f), glm::vec3(0.1f * i, 2.0f, 0.0f)),
                                             0.01f * i, glm::vec3(0.0f, 1.0f, 0.0f));
        const glm::vec3 rabbit(0.1f * i + 5.0f, 0.0f, -8.0f);
        const auto start = Clock::now();
        audio.followCamera(camera);
        if (events && i % 3 == 0) audio.onShot(false, rabbit);
        if (events && i % 3 == 1) audio.onRabbitHit(rabbit, false);
        if (events && i % 3 == 2) audio.onShot(true, rabbit);
        times.push_back(msSince(start));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));  // let the mixer run between frames
    }
    return times;
}

}  // namespace

void measureAudio(int frames) {
    measureSynthesis();
    const auto path = std::filesystem::temp_directory_path() / "quillmarsh_bench_audio.conf";
    std::ofstream(path) << "[general]\ndrivers = wave\n[wave]\nfile = /dev/null\n";
    setenv("ALSOFT_CONF", path.c_str(), 1);
    GameAudio audio(true, 1.0f, true, "", 1);
    std::filesystem::remove(path);
    if (!audio.isOpen()) {
        std::printf("Audio per frame: OpenAL's wave writer could not be opened\n");
        return;
    }
    const std::vector<double> quiet = timeFrames(audio, frames, false);
    const std::vector<double> busy = timeFrames(audio, frames, true);
    std::printf("Audio per frame, listener only (median of %d)        %.4f ms (99th percentile %.4f ms)\n", frames,
                median(quiet), percentile(quiet, 99.0));
    std::printf("Audio per frame, listener and a sound started         %.4f ms (99th percentile %.4f ms)\n",
                median(busy), percentile(busy, 99.0));
}
