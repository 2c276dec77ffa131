// quillmarsh_bench: builds the game in a 960 x 540 window, times start-up, the landscape, a scripted
// walk and a series of world resets, and reports the figures with resident memory.
//   quillmarsh_bench [--frames N] [--resets N] [--between N] [--seed N] [--markdown FILE]
//                    [--frame-log FILE]
// The landscapes are seeded N, N + 1, ... (default 1) rather than by the calendar time, so runs
// compare like with like.
// --frame-log writes every frame time (the scripted path, then the frames after each reset), one
// per line, for finding where slow frames come from.
// Run from the repository root (it reads res/ and shader/ like the game), under xvfb-run when there
// is no display, e.g. xvfb-run -a -s "-screen 0 1280x1024x24" build/tools/quillmarsh_bench

#include "AudioBench.h"
#include "BenchReport.h"
#include "GroundCheck.h"
#include "LakeView.h"
#include "MemoryProbe.h"
#include "ScriptedPath.h"
#include "app/Callbacks.h"
#include "app/Globals.h"
#include "app/Settings.h"
#include "entities/Player.h"
#include "fluid/Liquid.h"
#include "fluid/MetaBallSolver.h"
#include "render/Camera.h"
#include "render/Renderer.h"
#include "game/Game.h"
#include "render/Mesh.h"
#include "render/TexturedMesh.h"
#include "terrain/AdvancedTerrain.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;

const int kWidth = 960;
const int kHeight = 540;

struct Options {
    int frames = 300;
    int resets = 20;
    int between = 5;  // frames drawn after each reset before memory is sampled
    int seed = 1;
    std::string markdownPath;
    std::string frameLogPath;
};

void usage(const char* program) {
    std::fprintf(stderr,
                 "usage: %s [--frames N] [--resets N] [--between N] [--seed N] [--markdown FILE] [--frame-log FILE]\n",
                 program);
}

bool parseCount(const char* text, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < 0 || parsed > 1000000) return false;
    value = static_cast<int>(parsed);
    return true;
}

// False (after printing why) when the arguments are not understood.
bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--frames" && hasValue && parseCount(argv[i + 1], options.frames))
            ++i;
        else if (arg == "--resets" && hasValue && parseCount(argv[i + 1], options.resets))
            ++i;
        else if (arg == "--between" && hasValue && parseCount(argv[i + 1], options.between))
            ++i;
        else if (arg == "--seed" && hasValue && parseCount(argv[i + 1], options.seed))
            ++i;
        else if (arg == "--markdown" && hasValue)
            options.markdownPath = argv[++i];
        else if (arg == "--frame-log" && hasValue)
            options.frameLogPath = argv[++i];
        else {
            std::fprintf(stderr, "quillmarsh_bench: bad argument '%s'\n", arg.c_str());
            return false;
        }
    }
    return true;
}

// Seconds since the process started, from a steady clock anchored once in main().
class RunClock {
public:
    RunClock() : anchor(SteadyClock::now()), offset(secondsSinceProcessStart()) {}
    bool fromProcessStart() const { return offset >= 0.0; }
    double processToMain() const { return offset; }
    double now() const {
        const double sinceMain = std::chrono::duration<double>(SteadyClock::now() - anchor).count();
        return fromProcessStart() ? offset + sinceMain : sinceMain;
    }

private:
    SteadyClock::time_point anchor;
    double offset;
};

// The frame loop's body (as in the game's entry point): input, one update, swap, events.
void runFrame(Game& game, GLFWwindow* window, const PathInput& input) {
    culledObjectCount = 0;
    game.update(input.cursorDx, input.cursorDy, input.keys);
    glfwSwapBuffers(window);
    glfwPollEvents();
    glGetError();
}

double secondsSince(SteadyClock::time_point start) {
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

void recordTerrain(const Game& game, BenchReport& report) {
    report.terrain.push_back(game.terrain->lastTimings);
    report.terrainTriangles.push_back(game.terrain->mesh ? game.terrain->mesh->vertexCount / 3 : 0);
}

std::string glString(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "unknown";
}

// One line per frame: what it was ("path 12", "reset 3.0") and its time in seconds.
using FrameLog = std::vector<std::pair<std::string, double>>;

// Builds the game as the entry point does and draws its first frame.
std::unique_ptr<Game> startGame(GLFWwindow* window, const Options& options, const RunClock& clock, BenchReport& report,
                                FrameLog& log) {
    report.terrainSeed = static_cast<unsigned int>(options.seed);
    std::function<unsigned int()> seeds = [next = report.terrainSeed]() mutable { return next++; };
    auto game = std::make_unique<Game>(static_cast<float>(report.width) / static_cast<float>(report.height),
                                       report.width, report.height, systemClockMs, seeds);
    gameInstance = game.get();
    game->init();
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);
    report.initDone = clock.now();
    report.residentAfterInitKb = sampleMemory().residentKb;
    recordTerrain(*game, report);

    const auto start = SteadyClock::now();
    runFrame(*game, window, PathInput());
    report.firstFrame = clock.now();
    log.emplace_back("first", secondsSince(start));
    return game;
}

void walkPath(Game& game, GLFWwindow* window, const Options& options, BenchReport& report, FrameLog& log) {
    const ScriptedPath path(options.frames);
    for (int i = 0; i < options.frames; ++i) {
        const auto start = SteadyClock::now();
        runFrame(game, window, path.at(i));
        report.frameTimes.push_back(secondsSince(start));
        log.emplace_back("path " + std::to_string(i), report.frameTimes.back());
    }
    report.playerAfterPath = checkGround(game.player->position, game.dynamicsWorld).describe();
    const MemorySample afterFrames = sampleMemory();
    report.residentAfterFramesKb = afterFrames.residentKb;
    report.peakAfterFramesKb = afterFrames.peakKb;
}

// Resets as the R key does (between two frames), each followed by a few frames so that whatever
// the new world allocates lazily is counted before memory is sampled.
void resetRepeatedly(Game& game, GLFWwindow* window, const Options& options, BenchReport& report, FrameLog& log) {
    report.framesBetweenResets = options.between;
    for (int k = 0; k < options.resets; ++k) {
        const auto start = SteadyClock::now();
        game.reset();
        report.resetTimes.push_back(secondsSince(start));
        recordTerrain(game, report);
        for (int i = 0; i < options.between; ++i) {
            const auto frameStart = SteadyClock::now();
            runFrame(game, window, PathInput());
            log.emplace_back("reset " + std::to_string(k) + "." + std::to_string(i), secondsSince(frameStart));
        }
        report.residentAfterResetKb.push_back(sampleMemory().residentKb);
        std::fprintf(stderr, "quillmarsh_bench: reset %d of %d\n", k + 1, options.resets);
    }
    report.peakAtEndKb = sampleMemory().peakKb;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The fountain work of one frame with one fountain filling the view: its particle step with the
// density pass (what the frame's simulate does), the density pass alone, and the surface draw, each
// bracketed by glFinish so the GPU work is counted. The fountain flows for a while first, so its
// particle count is near its steady state.
void measureFountain(Game& game, int frames) {
    const glm::vec3 forward = glm::vec3(game.camera->getModelMatrix() * glm::vec4(0, 0, -1, 0));
    Liquid fountain(glm::vec3(1.0f), glm::vec3(0.0f), 6.0f, glm::vec3(0.0f), 10.0f);
    fountain.setPosition(game.camera->position + forward * 2.5f - glm::vec3(0.5f, 0.7f, 0.5f));
    std::vector<double> step, density, draw;
    const float dt = 1.0f / 30.0f;
    for (int i = 0; i < 60; ++i) fountain.simulate(dt);
    for (int i = 0; i < frames; ++i) {
        glFinish();
        auto start = SteadyClock::now();
        fountain.simulate(dt);
        glFinish();
        step.push_back(secondsSince(start));
        start = SteadyClock::now();
        fountain.solver->computeDensity(fountain.dimensions);
        glFinish();
        density.push_back(secondsSince(start));
        start = SteadyClock::now();
        game.renderer->renderFluid(*fountain.surfaceMesh, fountain.getModelMatrix(), fountain.dimensions);
        glFinish();
        draw.push_back(secondsSince(start));
    }
    const double stepMs = median(step) * 1000.0, densityMs = median(density) * 1000.0;
    std::printf("Fountain, particle step and density pass (median of %d)   %.2f ms\n", frames, stepMs);
    std::printf("  of which the density pass                          %.2f ms\n", densityMs);
    std::printf("  particle step (the difference)                     %.2f ms\n", stepMs - densityMs);
    std::printf("Fountain surface draw (median of %d)                  %.2f ms\n", frames, median(draw) * 1000.0);
}

// Frame times standing on the shore, looking over the lake and then away from it. Each scene pass
// starts after a glFinish, so the reflection and refraction images are timed on their own; the
// frames are a little slower than unbracketed ones.
struct ViewTimes {
    std::vector<double> frame, reflection, refraction;
    std::vector<int> passes;
};

ViewTimes timeView(Game& game, GLFWwindow* window, int frames) {
    ViewTimes times;
    std::vector<SteadyClock::time_point> starts;
    game.onScenePass = [&starts](const glm::vec4&, float) {
        glFinish();
        starts.push_back(SteadyClock::now());
    };
    for (int i = 0; i < frames + 3; ++i) {
        starts.clear();
        const auto start = SteadyClock::now();
        runFrame(game, window, PathInput());
        glFinish();
        if (i < 3) continue;  // let the trail and the water images settle
        times.frame.push_back(secondsSince(start));
        times.passes.push_back(static_cast<int>(starts.size()));
        if (starts.size() == 3) {
            times.reflection.push_back(std::chrono::duration<double>(starts[1] - starts[0]).count());
            times.refraction.push_back(std::chrono::duration<double>(starts[2] - starts[1]).count());
        }
    }
    game.onScenePass = nullptr;
    return times;
}

void printView(const char* what, const ViewTimes& times) {
    const int frames = static_cast<int>(times.frame.size());
    std::printf("Frame %s (median of %d)   %.1f ms, %d scene passes\n", what, frames, median(times.frame) * 1000.0,
                times.passes.empty() ? 0 : times.passes.back());
    if (!times.reflection.empty())
        std::printf("  reflection image %.1f ms, refraction image %.1f ms\n", median(times.reflection) * 1000.0,
                    median(times.refraction) * 1000.0);
}

void measureLake(Game& game, GLFWwindow* window, int frames) {
    const LakeView view = findLakeView(game.dynamicsWorld);
    if (!view.found) {
        std::printf("Lake view: no shore with open water found on this landscape\n");
        return;
    }
    // The cat looks along its local -z; turn it to face the water and tilt the camera a little down.
    const float yaw = std::atan2(-view.towardsWater.x, -view.towardsWater.y);
    game.player->setPosition(view.shore + glm::vec3(0.0f, 1.0f, 0.0f));
    game.player->placeOnGround(game.dynamicsWorld);
    game.player->setRotation(glm::vec3(0.0f, yaw, 0.0f));
    const float pitch = game.camera->rotation.x;
    game.camera->rotateAround(game.player->position, glm::vec3(-0.25f - pitch, 0.0f, 0.0f));
    game.lookOffset = glm::vec2(0.0f);
    std::printf("Lake view from (%.0f, %.1f, %.0f)\n", view.shore.x, view.shore.y, view.shore.z);
    const ViewTimes over = timeView(game, window, frames);
    game.player->setRotation(glm::vec3(0.0f, yaw + 3.1415927f, 0.0f));
    const ViewTimes away = timeView(game, window, frames);
    printView("looking over the lake", over);
    printView("looking away from the lake", away);
    std::printf("  ratio over / away                                  %.2f\n",
                median(over.frame) / std::max(median(away.frame), 1e-9));
}

void runBenchmark(GLFWwindow* window, const Options& options, const RunClock& clock, BenchReport& report,
                  FrameLog& log) {
    report.renderer = glString(GL_RENDERER);
    report.glVersion = glString(GL_VERSION);
    glfwGetFramebufferSize(window, &report.width, &report.height);
    {
        // The game and its GL objects go before the window, while the context is still current.
        auto game = startGame(window, options, clock, report, log);
        walkPath(*game, window, options, report, log);
        resetRepeatedly(*game, window, options, report, log);
        measureFountain(*game, 60);
        measureLake(*game, window, 30);
        measureAudio(600);
        gameInstance = nullptr;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const RunClock clock;
    Options options;
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        usage(argv[0]);
        return 0;
    }
    if (!parseOptions(argc, argv, options)) {
        usage(argv[0]);
        return 2;
    }
    if (!std::filesystem::is_directory("shader") || !std::filesystem::is_directory("res")) {
        std::fprintf(stderr, "quillmarsh_bench: run it from the repository root (shader/ and res/ not found)\n");
        return 1;
    }

    // The settings defaults with a fixed window size, so figures do not depend on a local
    // settings.ini.
    settings.width = kWidth;
    settings.height = kHeight;
    if (!glfwInit()) {
        std::fprintf(stderr, "quillmarsh_bench: cannot initialise GLFW (no display?)\n");
        return 1;
    }
    glfwWindowHint(GLFW_REFRESH_RATE, settings.refreshRate);
    glfwWindowHint(GLFW_SAMPLES, settings.samples);
    GLFWwindow* window = glfwCreateWindow(kWidth, kHeight, settings.title.c_str(), nullptr, nullptr);
    if (!window) {
        std::fprintf(stderr, "quillmarsh_bench: cannot create a %d x %d OpenGL window\n", kWidth, kHeight);
        glfwTerminate();
        return 1;
    }
    cullingEnabled = true;
    glfwSetErrorCallback(errorCallback);
    glfwMakeContextCurrent(window);
    glfwSwapInterval(0);
    int width = 0, height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    glViewport(0, 0, width, height);
    glewExperimental = GL_TRUE;
    const GLenum glewResult = glewInit();
    if (glewResult != GLEW_OK) {
        std::fprintf(stderr, "quillmarsh_bench: %s\n", reinterpret_cast<const char*>(glewGetErrorString(glewResult)));
        glfwDestroyWindow(window);
        glfwTerminate();
        return 1;
    }
    glGetError();  // GLEW may leave an error from probing extensions
    BenchReport report;
    report.startFromProcess = clock.fromProcessStart();
    report.mainEntered = clock.processToMain();
    report.windowReady = clock.now();
    FrameLog log;
    runBenchmark(window, options, clock, report, log);
    glfwDestroyWindow(window);
    glfwTerminate();

    std::cout << "\n";
    report.printPlain(std::cout);
    if (!options.markdownPath.empty()) {
        std::ofstream markdown(options.markdownPath);
        report.printMarkdown(markdown);
        if (!markdown) {
            std::fprintf(stderr, "quillmarsh_bench: cannot write %s\n", options.markdownPath.c_str());
            return 1;
        }
    }
    if (!options.frameLogPath.empty()) {
        std::ofstream frames(options.frameLogPath);
        for (const auto& entry : log) frames << entry.first << " " << entry.second << "\n";
        if (!frames) {
            std::fprintf(stderr, "quillmarsh_bench: cannot write %s\n", options.frameLogPath.c_str());
            return 1;
        }
    }
    return 0;
}
