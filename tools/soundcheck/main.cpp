// quillmarsh_soundcheck: plays a scripted round with sound through OpenAL Soft's wave writer and
// checks that every sound the game started is in the recording at the moment the game started it.
// Run from the repository root, under Xvfb if there is no display:
//   quillmarsh_soundcheck OUT.wav [--seed S]
// It logs each sound with the device's clock when it was started, finds the onsets in OUT.wav, and
// prints one line per sound: its time, the onset that matches it and the gap. It fails when a sound
// has no onset within 60 ms after it, when an onset follows no sound, or when a sound of the game
// never happened.

#include "RoundScript.h"
#include "WaveOnsets.h"
#include "audio/GameAudio.h"
#include "game/Game.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 360;
constexpr int kStepMs = 50;
constexpr double kLatest = 0.06;  // a sound must be heard within this many seconds of its start
constexpr double kLongest = 1.3;  // no sound lasts longer

// Sends OpenAL Soft's default device to the wave writer; before any OpenAL call.
void recordInto(const std::string& wavePath) {
    const auto config = std::filesystem::temp_directory_path() / "quillmarsh_soundcheck.conf";
    std::ofstream(config) << "[general]\ndrivers = wave\nchannels = stereo\nsample-type = int16\n"
                             "frequency = 44100\n[wave]\nfile = "
                          << std::filesystem::absolute(wavePath).string() << "\n";
    setenv("ALSOFT_CONF", config.c_str(), 1);
}

// Plays the script; returns the sound log ("seconds name" lines).
std::string playRound(GLFWwindow* window, unsigned seed) {
    std::ostringstream log;
    int64_t now = 0;
    Game::Setup setup;
    setup.width = kWidth;
    setup.height = kHeight;
    setup.start.seed = seed;
    setup.nextSeeds = [seed] { return seed; };
    setup.clock = [&now] { return now; };
    Game game(setup);
    {
        auto audio = std::make_shared<GameAudio>(true, 1.0f, false, "", seed);
        if (!audio->isOpen()) return "";
        audio->logTo(&log);
        game.setSounds(audio);
        RoundScript script;
        Game::FrameInput input;
        input.keys.assign(kPlayerKeyCount, 0);
        for (int frame = 0; !script.finished(frame); ++frame) {
            const std::string did = script.before(frame, game, input.keys);
            if (!did.empty()) std::printf("frame %3d at %7.3f s: %s\n", frame, audio->clockSeconds(), did.c_str());
            now += int64_t(kStepMs) * 1000000;
            game.frame(input);
            glfwSwapBuffers(window);
            glfwPollEvents();
        }
        game.setSounds(nullptr);
    }  // the device closes here, completing the wave file
    return log.str();
}

// Matches every logged sound with an onset; prints the table and returns whether all are heard.
bool compare(const std::string& log, const std::vector<double>& onsets) {
    std::istringstream lines(log);
    double at = 0.0;
    std::string name;
    std::set<std::string> heard;
    std::vector<double> starts;
    int missing = 0;
    std::printf("\n%-14s %10s %10s %8s\n", "sound", "started", "onset", "gap ms");
    while (lines >> at >> name) {
        double match = -1.0;
        for (double onset : onsets) {
            if (onset >= at - 0.005 && onset <= at + kLatest) {
                match = onset;
                break;
            }
        }
        heard.insert(name);
        starts.push_back(at);
        if (match < 0.0) ++missing;
        if (match < 0.0)
            std::printf("%-14s %10.3f %10s %8s\n", name.c_str(), at, "none", "-");
        else
            std::printf("%-14s %10.3f %10.3f %8.1f\n", name.c_str(), at, match, (match - at) * 1000.0);
    }
    // Later notes of a sound make onsets of their own; an onset with no sound started shortly
    // before it was not started by the game.
    int stray = 0;
    for (double onset : onsets) {
        bool explained = false;
        for (double at : starts) explained = explained || (onset >= at - 0.005 && onset <= at + kLongest);
        if (!explained) ++stray;
    }
    std::printf("\n%zu kinds of sound started, %d without an onset; %zu onsets in the file, %d not after a sound\n",
                heard.size(), missing, onsets.size(), stray);
    // Every sound but the wind (off here) has to have happened.
    return missing == 0 && stray == 0 && heard.size() == static_cast<size_t>(kSoundCount - 1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--seed"))) {
        std::cerr << "usage: " << argv[0] << " OUT.wav [--seed S]" << std::endl;
        return 2;
    }
    const unsigned seed = argc == 4 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 1u;
    recordInto(argv[1]);
    if (!glfwInit()) return 1;
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(kWidth, kHeight, "quillmarsh soundcheck", nullptr, nullptr);
    if (!window) {
        std::cerr << "Could not create a window" << std::endl;
        glfwTerminate();
        return 1;
    }
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    glewInit();
    glViewport(0, 0, kWidth, kHeight);
    const std::string log = playRound(window, seed);
    glfwDestroyWindow(window);
    glfwTerminate();
    if (log.empty()) {
        std::cerr << "No sound was started (could the wave writer open " << argv[1] << "?)" << std::endl;
        return 1;
    }
    return compare(log, findOnsets(argv[1])) ? 0 : 1;
}
