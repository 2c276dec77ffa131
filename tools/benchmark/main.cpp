// quillmarsh_bench: builds the game in a window (960 x 540 unless --size says otherwise), times
// start-up, the landscape, a scripted walk, a series of world resets and frames on a lake shore, and
// reports the figures with resident memory.
//   quillmarsh_bench [--quality auto|low|medium|high] [--size WxH] [--frames N] [--resets N]
//                    [--between N] [--seed N] [--markdown FILE] [--frame-log FILE]
//   quillmarsh_bench --levels [--runs N] [--frames N] [--resets N] [--seed N] [--markdown FILE]
//   quillmarsh_bench --motion [--seed N]
//   quillmarsh_bench --menus [--frames N] [--seed N]
//   quillmarsh_bench --rates FILE
// The landscapes are seeded N, N + 1, ... (default 1) rather than by the calendar time, so runs
// compare like with like.
// --frame-log writes every frame time (the scripted path, then the frames after each reset), one
// per line, for finding where slow frames come from.
// --levels runs the whole benchmark once per level (low, medium, high) at 960 x 540 and at
// 1920 x 1080, each in a process of its own (--runs times, taking medians), and prints the headline
// figures in one table. Each run ends by starting the game program itself with --startup-report.
// --no-spread leaves a software renderer's threads where the scheduler puts them (as the setting
// spread_software_threads = false does), for comparing.
// --motion plays on a stepped clock (as --step does) at 15, 30, 60 and 144 frames per second and
// prints how far the cat walks in a second, how high it jumps and how long a rabbit's 1.5-second shot
// countdown takes at each rate: play should not depend on the frame rate.
// --rates prints the median, 95th percentile and steady, mostly stable and typical rates of the frame
// times (milliseconds, one a line) in FILE, by the walk's rules: for tools/freewalk/freewalk.py.
// Run from the repository root (it reads res/ and shader/ like the game), under xvfb-run when there
// is no display, with a screen large enough for the window, e.g.
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/tools/quillmarsh_bench --levels

#include "AudioBench.h"
#include "BenchReport.h"
#include "FrameRates.h"
#include "GameStartup.h"
#include "GroundCheck.h"
#include "LakeView.h"
#include "LandscapeFigures.h"
#include "LevelTable.h"
#include "MemoryProbe.h"
#include "MenuCost.h"
#include "MotionFigures.h"
#include "RockInView.h"
#include "ScriptedPath.h"
#include "menu/Settings.h"
#include "app/Windowing.h"
#include "entities/Player.h"
#include "fluid/Liquid.h"
#include "fluid/MetaBallSolver.h"
#include "game/Game.h"
#include "render/Camera.h"
#include "render/Mesh.h"
#include "render/TexturedMesh.h"
#include "terrain/AdvancedTerrain.h"
#include "terrain/TerrainChunks.h"
#include "terrain/MarchingCubesHandler.h"
#include "view/Renderer.h"
#include "view/WorldView.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;

struct Options {
    int frames = 300;
    int resets = 20;
    int between = 5;  // frames drawn after each reset before memory is sampled
    int seed = 1;
    int width = 960;
    int height = 540;
    std::string quality = "auto";
    std::string markdownPath;
    std::string frameLogPath;
    std::string summaryPath;  // the headline figures for the table of levels
    bool fountain = true;     // time a fountain's passes
    bool startup = true;      // time the game program's own start (--startup-report)
    int lakeFrames = 30;      // timed frames facing a lake and facing away
    bool parts = false;       // time the parts of each walking frame, each after a glFinish
    int stepMs = 0;           // > 0: the game's clock advances this much per frame instead of running
    Settings settings;        // the defaults, with the window size and render scale asked for
    bool levels = false;      // the table of levels instead of one run
    bool motion = false;      // the motion figures at several frame rates instead of one run
    bool menus = false;       // the menus' cost per frame at low instead of one run
    std::string ratesPath;    // the figures of the frame times in this file instead of a run
    bool resetsGiven = false;
    bool framesGiven = false;
    int runs = 1;  // --levels: runs of each level and size, the table giving medians
};

void usage(const char* program) {
    std::fprintf(
        stderr,
        "usage: %s [--quality auto|low|medium|high] [--size WxH] [--frames N] [--resets N] [--between N]\n"
        "          [--seed N] [--markdown FILE] [--frame-log FILE] [--summary FILE] [--no-fountain] [--parts]\n"
        "          [--render-scale S] [--step MS] [--lake-frames N] [--no-startup] [--no-spread]\n"
        "       %s --levels [--runs N] [--frames N] [--resets N] [--seed N] [--markdown FILE]\n"
        "       %s --motion [--seed N]\n"
        "       %s --menus [--frames N] [--seed N]\n"
        "       %s --rates FILE\n",
        program, program, program, program, program);
}

bool parseSize(const char* text, int& width, int& height) {
    return std::sscanf(text, "%dx%d", &width, &height) == 2 && width > 0 && height > 0;
}

bool knownQuality(const std::string& name) {
    QualityLevel level;
    return name == "auto" || parseQualityLevel(name, level);
}

bool parseCount(const char* text, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < 0 || parsed > 1000000) return false;
    value = static_cast<int>(parsed);
    return true;
}

// The figures of the frame times (milliseconds, one a line) in `path`; 1 (after saying why) when it
// holds none or something else.
int printRates(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "quillmarsh_bench: cannot read %s\n", path.c_str());
        return 1;
    }
    std::vector<double> frames;
    double milliseconds = 0.0;
    while (in >> milliseconds) frames.push_back(milliseconds / 1000.0);
    if (!in.eof() || frames.empty()) {
        std::fprintf(stderr, "quillmarsh_bench: %s holds no frame times (milliseconds, one a line)\n", path.c_str());
        return 1;
    }
    std::printf("%zu frames, median %.1f ms, p95 %.1f ms, steady / stable / typical %.0f / %.0f / %.0f fps\n",
                frames.size(), 1000.0 * median(frames), 1000.0 * percentile(frames, 95.0),
                rateWithSlowerShare(frames, 0.01), rateWithSlowerShare(frames, 0.12), rateWithSlowerShare(frames, 0.5));
    return 0;
}

// False (after printing why) when the arguments are not understood.
bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--frames" && hasValue && parseCount(argv[i + 1], options.frames))
            ++i, options.framesGiven = true;
        else if (arg == "--runs" && hasValue && parseCount(argv[i + 1], options.runs) && options.runs > 0)
            ++i;
        else if (arg == "--resets" && hasValue && parseCount(argv[i + 1], options.resets))
            ++i, options.resetsGiven = true;
        else if (arg == "--between" && hasValue && parseCount(argv[i + 1], options.between))
            ++i;
        else if (arg == "--seed" && hasValue && parseCount(argv[i + 1], options.seed))
            ++i;
        else if (arg == "--markdown" && hasValue)
            options.markdownPath = argv[++i];
        else if (arg == "--frame-log" && hasValue)
            options.frameLogPath = argv[++i];
        else if (arg == "--summary" && hasValue)
            options.summaryPath = argv[++i];
        else if (arg == "--size" && hasValue && parseSize(argv[i + 1], options.width, options.height))
            ++i;
        else if (arg == "--quality" && hasValue && knownQuality(argv[i + 1]))
            options.quality = argv[++i];
        else if (arg == "--no-fountain")
            options.fountain = false;
        else if (arg == "--no-startup")
            options.startup = false;
        else if (arg == "--no-spread")
            options.settings.spreadRasterThreads = false;
        else if (arg == "--lake-frames" && hasValue && parseCount(argv[i + 1], options.lakeFrames) &&
                 options.lakeFrames > 0)
            ++i;
        else if (arg == "--parts")
            options.parts = true;
        else if (arg == "--step" && hasValue && parseCount(argv[i + 1], options.stepMs))
            ++i;
        else if (arg == "--render-scale" && hasValue && std::atof(argv[i + 1]) >= kMinRenderScale &&
                 std::atof(argv[i + 1]) <= kMaxRenderScale)
            options.settings.renderScale = static_cast<float>(std::atof(argv[++i]));
        else if (arg == "--levels")
            options.levels = true;
        else if (arg == "--motion")
            options.motion = true;
        else if (arg == "--menus")
            options.menus = true;
        else if (arg == "--rates" && hasValue)
            options.ratesPath = argv[++i];
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

// The frame loop's body (as in the game's entry point): input, one frame, swap, events.
void runFrame(Game& game, GLFWwindow* window, const PathInput& input) {
    game.frame(Game::FrameInput{glm::vec2(input.cursorDx, input.cursorDy), input.keys});
    glfwSwapBuffers(window);
    glfwPollEvents();
    glGetError();
}

double secondsSince(SteadyClock::time_point start) {
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

// CPU time of the whole process so far (every thread, the renderer's included), in seconds.
double cpuSeconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

double processCpuSeconds() { return cpuSeconds(CLOCK_PROCESS_CPUTIME_ID); }

// The figures of the latest landscape, taken while its density grid was still there.
std::string latestLandscapeFigures;

void recordTerrain(const Game& game, BenchReport& report) {
    const AdvancedTerrain& terrain = *game.world().terrain();
    report.terrain.push_back(terrain.lastTimings);
    report.terrainTriangles.push_back(terrain.mesh ? terrain.mesh->vertexCount / 3 : 0);
    std::printf("Landscape %zu: %s\n", report.terrain.size(), latestLandscapeFigures.c_str());
    if (terrain.chunks) {
        // What the chunks' simplified lists leave of the landscape's triangles.
        long full = 0, light = 0, coarse = 0;
        for (const TerrainChunks::Chunk& chunk : terrain.chunks->chunks()) {
            full += chunk.indexCount / 3;
            light += chunk.coarser[0].count / 3;
            coarse += chunk.coarser[1].count / 3;
        }
        std::printf("  chunk triangles: %ld full, %ld lightly and %ld strongly simplified (%.0f %%, %.0f %%)\n", full,
                    light, coarse, 100.0 * static_cast<double>(light) / static_cast<double>(std::max(full, 1L)),
                    100.0 * static_cast<double>(coarse) / static_cast<double>(std::max(full, 1L)));
    }
}

std::string glString(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "unknown";
}

// One line per frame: what it was ("path 12", "reset 3.0") and its time in seconds.
using FrameLog = std::vector<std::pair<std::string, double>>;

// The level asked for, or the one `auto` picks on this renderer, with the settings' defaults.
GraphicsQuality chosenQuality(const Options& options, BenchReport& report) {
    QualityLevel level = automaticQualityLevel(report.renderer);
    const bool automatic = !parseQualityLevel(options.quality, level);
    report.quality = std::string(qualityName(level)) + (automatic ? " (auto)" : "");
    return graphicsQuality(level, options.settings);
}

// The game's clock: the steady clock, or with --step one that advances a fixed step per call, so that
// the walk goes the same way however fast the frames are (for comparing variants on a busy machine).
NanoClock gameClock(const Options& options) {
    if (options.stepMs <= 0) return steadyNanoseconds;
    return [step = int64_t(options.stepMs) * 1000000, now = int64_t(0)]() mutable { return now += step; };
}

// Builds the game as the entry point does and draws its first frame.
std::unique_ptr<Game> startGame(GLFWwindow* window, const Options& options, const RunClock& clock, BenchReport& report,
                                FrameLog& log) {
    report.terrainSeed = static_cast<unsigned int>(options.seed);
    Game::Setup setup;
    setup.width = report.width;
    setup.height = report.height;
    setup.quality = chosenQuality(options, report);
    setup.clock = gameClock(options);
    setup.start.seed = report.terrainSeed;
    setup.nextSeeds = [next = report.terrainSeed + 1]() mutable { return next++; };
    setup.onLandscape = [](const AdvancedTerrain& terrain) {
        latestLandscapeFigures = describeLandscape(*terrain.marchingCubesHandler, terrain.gridScale);
    };
    auto game = std::make_unique<Game>(setup);
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

// Wall and CPU time of the parts of one frame (see WorldView::onFramePart), each part ended by a glFinish
// so that the renderer's work is counted where it was asked for.
class PartTimer {
public:
    void begin() {
        marks.clear();
        mark("ticks");
    }
    void mark(const char* part) {
        if (!marks.empty()) glFinish();
        marks.push_back({part, SteadyClock::now(), processCpuSeconds(), cpuSeconds(CLOCK_THREAD_CPUTIME_ID)});
    }
    void end(BenchReport& report) {
        mark("");
        for (size_t i = 0; i + 1 < marks.size(); ++i) {
            const std::string name = marks[i].name == "end" ? "swap and events" : marks[i].name;
            auto& times = report.parts[name];
            times.first.push_back(std::chrono::duration<double>(marks[i + 1].wall - marks[i].wall).count());
            times.second.push_back(marks[i + 1].cpu - marks[i].cpu);
            report.partThreadCpu[name].push_back(marks[i + 1].threadCpu - marks[i].threadCpu);
            if (std::find(report.partOrder.begin(), report.partOrder.end(), name) == report.partOrder.end())
                report.partOrder.push_back(name);
        }
    }

private:
    struct Mark {
        std::string name;
        SteadyClock::time_point wall;
        double cpu;
        double threadCpu;  // of the thread that draws
    };
    std::vector<Mark> marks;
};

void walkPath(Game& game, GLFWwindow* window, const Options& options, BenchReport& report, FrameLog& log) {
    const ScriptedPath path(options.frames);
    RockInView rock;
    PartTimer parts;
    if (options.parts) game.onFramePart([&parts](const char* part) { parts.mark(part); });
    for (int i = 0; i < options.frames; ++i) {
        const auto start = SteadyClock::now();
        const double cpuStart = processCpuSeconds();
        if (options.parts) parts.begin();
        runFrame(game, window, path.at(i));
        if (options.parts) parts.end(report);
        report.frameTimes.push_back(secondsSince(start));
        report.frameCpuTimes.push_back(processCpuSeconds() - cpuStart);
        std::string label = "path " + std::to_string(i);
        // With --parts each line also names the wall time of every part of the frame (ms).
        for (const std::string& name : options.parts ? report.partOrder : std::vector<std::string>())
            label += " " + name.substr(0, name.find(' ')) + "=" +
                     std::to_string(static_cast<int>(report.parts.at(name).first.back() * 1000.0 + 0.5));
        // And the frame's CPU time (all threads, ms): a slow frame of normal CPU time was the machine's load.
        label += " cpu=" + std::to_string(static_cast<int>(report.frameCpuTimes.back() * 1000.0 + 0.5));
        log.emplace_back(label, report.frameTimes.back());
        rock.look(game.world());
    }
    report.rockInView = rock.describe();
    game.onFramePart(nullptr);
    report.playerAfterPath = checkGround(game.world().player()->position, game.world().physics()).describe();
    const MemorySample afterFrames = sampleMemory();
    report.residentAfterFramesKb = afterFrames.residentKb;
    report.peakAfterFramesKb = afterFrames.peakKb;
}

// Resets as the R key does (between two frames), each followed by a few frames so that whatever
// the new world allocates lazily is counted before memory is sampled.
void resetRepeatedly(Game& game, GLFWwindow* window, const Options& options, BenchReport& report, FrameLog& log) {
    report.framesBetweenResets = options.between;
    for (int k = 0; k < options.resets; ++k) {
        // R takes effect in the next frame, after its ticks and before its drawing: the reset's time is
        // the frame's up to the drawing.
        const auto start = SteadyClock::now();
        double resetTime = 0.0;
        game.onFramePart([&](const char* part) {
            if (resetTime == 0.0) resetTime = secondsSince(start);
        });
        game.newWorld();
        runFrame(game, window, PathInput());
        game.onFramePart(nullptr);
        report.resetTimes.push_back(resetTime);
        recordTerrain(game, report);
        for (int i = 1; i < options.between; ++i) {
            const auto frameStart = SteadyClock::now();
            runFrame(game, window, PathInput());
            log.emplace_back("reset " + std::to_string(k) + "." + std::to_string(i), secondsSince(frameStart));
            if (i > 1) report.framesAfterResets.push_back(log.back().second);  // the first builds lazily
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

// The fountain work of frames with one fountain filling the view, at 30 frames a second of the world's
// time: each frame its particle step and then its surface as the game draws it (density pass and
// marching when due, every other frame here, the kept surface otherwise), each bracketed by glFinish
// so the GPU work is counted; the mean of the two over the frames is what a fountain in view adds.
// For the record also the parts of a marching frame: the density pass alone and the surface marched
// and drawn, in cells of 1, 2 and 4 grid steps. The fountain flows for a while first, so its particle
// count is near its steady state.
double measureFountain(Game& game, int frames) {
    const Camera& camera = game.view().camera();
    const glm::vec3 forward = glm::vec3(camera.getModelMatrix() * glm::vec4(0, 0, -1, 0));
    Liquid fountain(glm::vec3(1.0f), glm::vec3(0.0f), 6.0f, glm::vec3(0.0f), 10.0f, 40,
                    game.view().fountainDensityBuffer());
    fountain.setPosition(camera.position + forward * 2.5f - glm::vec3(0.5f, 0.7f, 0.5f));
    Renderer& renderer = game.view().renderer();
    std::vector<double> step, surface, kept, density, marched, coarse, coarsest;
    const float dt = 1.0f / 30.0f;
    // The cells the game marches it in at this distance and level.
    const int stride = Liquid::surfaceStride(2.5f, game.view().quality().fountainLeastStride);
    for (int i = 0; i < 60; ++i) fountain.flow(dt);
    const auto timed = [](std::vector<double>& into, const std::function<void()>& work) {
        glFinish();
        const auto start = SteadyClock::now();
        work();
        glFinish();
        into.push_back(secondsSince(start));
    };
    for (int i = 0; i < frames; ++i) {
        timed(step, [&] { fountain.flow(dt); });
        const bool marching = fountain.surfaceDue();
        timed(surface, [&] { renderer.renderFountain(fountain, stride); });
        if (!marching) kept.push_back(surface.back());
        timed(density, [&] { fountain.solver->computeDensity(fountain.dimensions); });
        timed(marched, [&] { renderer.renderFluid(fountain.getModelMatrix(), fountain.dimensions); });
        timed(coarse, [&] { renderer.renderFluid(fountain.getModelMatrix(), fountain.dimensions, 2); });
        timed(coarsest, [&] { renderer.renderFluid(fountain.getModelMatrix(), fountain.dimensions, 4); });
    }
    const auto mean = [](const std::vector<double>& values) {
        return values.empty() ? 0.0 : std::accumulate(values.begin(), values.end(), 0.0) / values.size();
    };
    std::printf("Fountain particle step (median of %d)                 %.2f ms\n", frames, median(step) * 1000.0);
    std::printf("Fountain surface per frame, cells of %d, marched every %.0f ms (mean of %d)  %.2f ms\n", stride,
                Liquid::kSurfaceInterval * 1000.0f, frames, mean(surface) * 1000.0);
    std::printf(
        "  the kept surface drawn / density pass / surface marched in cells of 1 and drawn (medians)  %.2f / %.2f / "
        "%.2f ms\n",
        median(kept) * 1000.0, median(density) * 1000.0, median(marched) * 1000.0);
    std::printf("  marched in cells of 2 / 4 grid steps (beyond %.0f / %.0f units)  %.2f / %.2f ms\n",
                Liquid::kFineDistance, 2.0 * Liquid::kFineDistance, median(coarse) * 1000.0, median(coarsest) * 1000.0);
    return mean(step) + mean(surface);
}

// Frame times standing on the shore, looking over the lake and then away from it, turning a little to
// and fro. Each scene pass starts after a glFinish, so the reflection and refraction images are timed
// on their own; the frames are a little slower than unbracketed ones.
struct ViewTimes {
    std::vector<double> frame, reflection, refraction;
    std::vector<int> passes;
    BenchReport parts;  // with --parts: the parts of each frame (only the parts are filled)
};

ViewTimes timeView(Game& game, GLFWwindow* window, int frames, bool parts) {
    ViewTimes times;
    std::vector<SteadyClock::time_point> starts;
    game.onScenePass([&starts](const glm::vec4&, float) {
        glFinish();
        starts.push_back(SteadyClock::now());
    });
    PartTimer timer;
    if (parts) game.onFramePart([&timer](const char* part) { timer.mark(part); });
    for (int i = 0; i < frames + 3; ++i) {
        starts.clear();
        const auto start = SteadyClock::now();
        if (parts) timer.begin();
        // The cat turns a little to and fro (4 frames left, 4 right), so the view never stands still:
        // a still view would let the water images be skipped.
        PathInput turning;
        turning.keys[(i / 4) % 2 ? kKeyD : kKeyA] = 1;
        runFrame(game, window, turning);
        glFinish();
        if (parts && i >= 3) timer.end(times.parts);
        if (i < 3) continue;  // let the trail and the water images settle
        times.frame.push_back(secondsSince(start));
        times.passes.push_back(static_cast<int>(starts.size()));
        if (starts.size() == 3) {
            times.reflection.push_back(std::chrono::duration<double>(starts[1] - starts[0]).count());
            times.refraction.push_back(std::chrono::duration<double>(starts[2] - starts[1]).count());
        }
    }
    game.onScenePass(nullptr);
    game.onFramePart(nullptr);
    return times;
}

void printView(const char* what, const ViewTimes& times) {
    const int frames = static_cast<int>(times.frame.size());
    std::printf("Frame %s (median of %d)   %.1f ms, %d scene passes\n", what, frames, median(times.frame) * 1000.0,
                times.passes.empty() ? 0 : times.passes.back());
    if (!times.reflection.empty())
        std::printf("  reflection image %.1f ms, refraction image %.1f ms\n", median(times.reflection) * 1000.0,
                    median(times.refraction) * 1000.0);
    for (const std::string& name : times.parts.partOrder) {
        const auto& part = times.parts.parts.at(name);
        std::printf("  %-20s %.1f ms, CPU %.1f ms\n", name.c_str(), median(part.first) * 1000.0,
                    median(part.second) * 1000.0);
    }
}

void measureLake(Game& game, GLFWwindow* window, int frames, bool parts, BenchReport& report) {
    const LakeView view = findLakeView(game.world().physics());
    if (!view.found) {
        std::printf("Lake view: no shore with open water found on this landscape\n");
        return;
    }
    // The cat looks along its local -z; turn it to face the water and tilt the camera a little down.
    const float yaw = std::atan2(-view.towardsWater.x, -view.towardsWater.y);
    game.stage([&](World& world) { world.putCat(view.shore + glm::vec3(0.0f, 1.0f, 0.0f), yaw, -0.25f); });
    game.recentreLook();
    std::printf("Lake view from (%.0f, %.1f, %.0f)\n", view.shore.x, view.shore.y, view.shore.z);
    const ViewTimes over = timeView(game, window, frames, parts);
    game.stage([&](World& world) {
        world.putCat(world.player()->position + glm::vec3(0.0f, 1.0f, 0.0f), yaw + 3.1415927f, -0.25f);
    });
    const ViewTimes away = timeView(game, window, frames, parts);
    report.lakeOver = over.frame;
    report.lakeAway = away.frame;
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
        if (options.fountain) report.fountainCost = measureFountain(*game, 60);
        measureLake(*game, window, options.lakeFrames, options.parts, report);
        if (options.fountain) measureAudio(600);  // once per run, like the fountain
    }
}

// The game program beside this one (build/quillmarsh for build/tools/quillmarsh_bench), started on
// the same display at the same size, level and seed, timed to its first picture and to play.
void measureGame(const Options& options, BenchReport& report) {
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    const std::string game = (self.parent_path().parent_path() / "quillmarsh").string();
    const std::string arguments = "--windowed --size " + std::to_string(options.width) + "x" +
                                  std::to_string(options.height) + " --quality " + options.quality + " --seed " +
                                  std::to_string(options.seed);
    const GameStartup startup = measureGameStartup(game, arguments);
    if (!startup.problem.empty()) {
        std::fprintf(stderr, "quillmarsh_bench: the game's start-up was not measured: %s\n", startup.problem.c_str());
        return;
    }
    report.gameFirstPicture = startup.firstPicture;
    report.gamePlayable = startup.playable;
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
    if (!options.ratesPath.empty()) return printRates(options.ratesPath);
    if (!std::filesystem::is_directory("shader") || !std::filesystem::is_directory("res")) {
        std::fprintf(stderr, "quillmarsh_bench: run it from the repository root (shader/ and res/ not found)\n");
        return 1;
    }
    if (options.levels) {
        LevelTableOptions table;
        if (options.framesGiven) table.framesGiven = options.frames;
        table.runs = options.runs;
        if (options.resetsGiven) table.resets = options.resets;
        table.seed = options.seed;
        table.markdownPath = options.markdownPath;
        return runLevelTable(std::filesystem::read_symlink("/proc/self/exe").string(), table);
    }

    // The settings defaults with a fixed window size, so figures do not depend on a local
    // settings.ini.
    Settings& settings = options.settings;
    settings.width = options.width;
    settings.height = options.height;
    if (!startGlfw()) return 1;
    GlWindowRequest request;
    request.size = {options.width, options.height};
    request.title = settings.title;
    request.refreshRate = settings.refreshRate;
    request.spreadRasterThreads = settings.spreadRasterThreads;
    WindowSize drawable;
    GLFWwindow* window = openGlWindow(request, drawable);
    if (!window) return 1;
    if (options.menus) {
        measureMenuCost(window, static_cast<unsigned>(options.seed), options.frames);
        closeGlWindow(window);
        return 0;
    }
    if (options.motion) {
        const auto figures = measureMotion(window, static_cast<unsigned>(options.seed), {15.0, 30.0, 60.0, 144.0});
        closeGlWindow(window);
        return figures.empty() ? 1 : 0;
    }
    BenchReport report;
    report.startFromProcess = clock.fromProcessStart();
    report.mainEntered = clock.processToMain();
    report.windowReady = clock.now();
    FrameLog log;
    runBenchmark(window, options, clock, report, log);
    closeGlWindow(window);
    if (options.startup) measureGame(options, report);

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
    if (!options.summaryPath.empty()) {
        std::ofstream summary(options.summaryPath);
        report.printSummary(summary);
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
