// Quillmarsh entry point: command line, data and settings, a replay to play or a recording to make,
// window and context, the Game, and the frame loop.

#include "app/Callbacks.h"
#include "app/CommandLine.h"
#include "app/CursorOffset.h"
#include "app/DataLocator.h"
#include "app/FrameLimiter.h"
#include "app/GamepadMapping.h"
#include "app/ProcessSignals.h"
#include "app/Settings.h"
#include "app/Windowing.h"
#include "audio/GameAudio.h"
#include "entities/PlayerKey.h"
#include "game/Game.h"
#include "game/Replay.h"
#include "game/ScoreBook.h"
#include "render/ResourcePath.h"
#include "scene/Random.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// Cursor offset from the window centre in framebuffer pixels; the cursor is disabled and never
// recentred, so this is an absolute offset of the virtual cursor, not a per-frame delta.
glm::vec2 sampleCursor(GLFWwindow* window) {
    double x = 0.0, y = 0.0;
    int windowWidth = 0, windowHeight = 0, framebufferWidth = 0, framebufferHeight = 0;
    glfwGetCursorPos(window, &x, &y);
    glfwGetWindowSize(window, &windowWidth, &windowHeight);
    glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);
    return cursorOffset(x, y, windowWidth, windowHeight, framebufferWidth, framebufferHeight);
}

// The level of the settings, or the one `auto` picks for this renderer; said once.
GraphicsQuality chooseQuality(const Settings& settings) {
    const GLubyte* name = glGetString(GL_RENDERER);
    const std::string renderer = name ? reinterpret_cast<const char*>(name) : "";
    const QualityLevel level = chosenQualityLevel(settings, renderer);
    std::cout << "Graphics quality: " << qualityName(level);
    if (!settings.quality) {
        std::cout << " (auto: " << (isSoftwareRenderer(renderer) ? "software" : "hardware") << " renderer '" << renderer
                  << "')";
    }
    std::cout << std::endl;
    return graphicsQuality(level, settings);
}

void sampleKeys(GLFWwindow* window, std::vector<int>& keys) {
    static const int kGlfwKeys[kPlayerKeyCount] = {GLFW_KEY_W, GLFW_KEY_A,     GLFW_KEY_S,
                                                   GLFW_KEY_D, GLFW_KEY_SPACE, GLFW_KEY_LEFT_SHIFT};
    for (int key = 0; key < kPlayerKeyCount; ++key) keys[key] = glfwGetKey(window, kGlfwKeys[key]);
}

// Finds the data, makes it the root of every resource path and reads the settings, the command line
// having the last word. False (after saying where it looked) when there is no data anywhere.
bool loadDataAndSettings(const LaunchOptions& options, Settings& settings) {
    const DataLocator locator(getCurrentWorkingDirectory(), DataLocator::executableDirectory());
    const auto root = locator.find();
    if (!root) {
        std::cerr << locator.failureMessage();
        return false;
    }
    setResourceRoot(*root);
    settings = readSettings(locator.settingsFile(options.settingsFile, *root));
    applyLaunchOptions(options, settings);
    return true;
}

// A recording goes into an existing folder; false (after saying why) when it cannot.
bool canRecordTo(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::absolute(path).parent_path();
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) return true;
    std::cerr << "quillmarsh: cannot record to " << path << ": there is no folder " << folder.string() << std::endl;
    return false;
}

// The first pad GLFW knows a gamepad mapping for, read into `state`; null when none is plugged in.
const GLFWgamepadstate* readGamepad(GLFWgamepadstate& state) {
    for (int pad = GLFW_JOYSTICK_1; pad <= GLFW_JOYSTICK_LAST; ++pad) {
        if (glfwJoystickIsGamepad(pad) && glfwGetGamepadState(pad, &state)) return &state;
    }
    return nullptr;
}

// The pad's presses, between two frames like the callbacks; fire and dash wait while paused.
void applyGamepad(const GamepadMapping& pad, Game& game) {
    if (pad.pausePressed()) game.pause().toggle();
    if (pad.newWorldPressed()) game.newWorld();
    if (pad.fired()) game.fire();
    if (pad.dashed()) game.dash();
}

// Frees or captures the cursor. The disabled cursor's position settles only with the events that
// follow the switch, so they are taken now: the next frame reads where it rests, not where it was.
void setCursorFree(GLFWwindow* window, bool free) {
    glfwSetInputMode(window, GLFW_CURSOR, free ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_DISABLED);
    glfwPollEvents();
}

// Milliseconds since `start`, rounded down.
long millisecondsSince(std::chrono::steady_clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
}

// With --startup-report: after the first frame is shown, says when it was and when the world was built
// (both from the program's start) and ends the game.
struct StartupReport {
    bool wanted = false;
    std::chrono::steady_clock::time_point start;
    long playableMs = 0;

    void firstPictureShown(GLFWwindow* window) {
        if (!wanted) return;
        std::cout << "first picture after " << millisecondsSince(start) << " ms\nplayable after " << playableMs << " ms"
                  << std::endl;
        glfwSetWindowShouldClose(window, GLFW_TRUE);
        wanted = false;
    }
};

void runFrames(GLFWwindow* window, Game& game, const Settings& settings, StartupReport& startup) {
    Game::FrameInput input;
    input.keys.assign(kPlayerKeyCount, 0);
    FrameLimiter limiter(settings.fpsLimit);
    GamepadMapping pad;
    GLFWgamepadstate padState{};
    bool cursorFree = false;
    bool focused = glfwGetWindowAttrib(window, GLFW_FOCUSED) == GLFW_TRUE;
    double lastPadRead = glfwGetTime();
    while (!glfwWindowShouldClose(window)) {
        input.cursor = sampleCursor(window) + pad.look();
        sampleKeys(window, input.keys);
        pad.addHeldKeys(input.keys);
        game.frame(input);
        glfwSwapBuffers(window);
        startup.firstPictureShown(window);
        glfwPollEvents();
        const double now = glfwGetTime();
        pad.update(readGamepad(padState), static_cast<float>(now - lastPadRead));
        lastPadRead = now;
        applyGamepad(pad, game);
        // The focus is read once a frame rather than per event: a window manager (or the pointer grab
        // of a disabled cursor) may take it away and give it back within one event poll.
        if (focused != (glfwGetWindowAttrib(window, GLFW_FOCUSED) == GLFW_TRUE)) {
            focused = !focused;
            game.pause().focusChanged(focused);
        }
        if (game.pause().paused() != cursorFree) {
            // A paused game hands the cursor back to the desktop.
            cursorFree = game.pause().paused();
            setCursorFree(window, cursorFree);
        }
        if (game.finished()) glfwSetWindowShouldClose(window, GLFW_TRUE);
        glGetError();
        limiter.endFrame();
    }
}

}  // namespace

int main(int argc, char** argv) {
    StartupReport startup;
    startup.start = std::chrono::steady_clock::now();
    ignoreFileSizeSignal();
    const ParsedCommandLine commandLine = parseCommandLine(argc, argv, std::cout, std::cerr);
    if (commandLine.exitCode) return *commandLine.exitCode;
    const LaunchOptions& options = commandLine.options;
    startup.wanted = options.startupReport;
    Settings settings;
    if (!loadDataAndSettings(options, settings)) return 1;
    // A replay that cannot be played, or a recording that cannot be kept, stops the game before any
    // window opens.
    std::optional<Replay> replay;
    if (!options.replayFile.empty()) {
        std::string error;
        replay = Replay::read(options.replayFile, gameVersion(), error);
        if (!replay) {
            std::cerr << "quillmarsh: " << error << std::endl;
            return 2;
        }
    }
    if (!options.recordFile.empty() && !canRecordTo(options.recordFile)) return 2;

    if (!startGlfw()) std::exit(1);
    WindowSize size, drawable;
    GLFWwindow* window = openWindow(settings, size, drawable);
    if (!window) return 1;
    glfwSetKeyCallback(window, keyCallback);
    glfwSetMouseButtonCallback(window, mouseButtonCallback);
    glfwSetFramebufferSizeCallback(window, framebufferSizeCallback);

    int status = 0;
    {
        // The game and every GL object it holds are released here, while the context is still current.
        const std::string scores = ScoreBook::defaultFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
        Game::Setup setup;
        setup.width = drawable.width;
        setup.height = drawable.height;
        setup.quality = chooseQuality(settings);
        setup.brightness = settings.brightness;
        setup.fountainGrid = settings.blobbyObjectVCount;
        setup.hudScale = settings.hudScale;
        // The first world is the one asked for; R makes new ones as always.
        setup.start.seed = options.seed ? *options.seed : freshSeed();
        setup.start.difficulty = settings.difficulty;
        setup.look = settings.look;
        setup.gameVersion = gameVersion();
        if (!scores.empty()) setup.lastReplayPath = (std::filesystem::path(scores) / "last.replay").string();
        setup.recordPath = options.recordFile;
        setup.replay = replay;
        Game game(setup);
        startup.playableMs = millisecondsSince(startup.start);
        auto scoreBook = std::make_shared<ScoreBook>(scores, std::cerr);
        scoreBook->load();
        game.setScoreBook(scoreBook);
        CallbackTarget target{&game, &settings};
        glfwSetWindowUserPointer(window, &target);
        game.setSounds(
            std::make_shared<GameAudio>(settings.audioEnabled, settings.audioVolume, settings.audioAmbience));
        setCursorFree(window, false);
        runFrames(window, game, settings, startup);
        game.finish();
        glfwSetWindowUserPointer(window, nullptr);
        if (replay && game.finished() && !game.replayMatched()) {
            std::cerr << "quillmarsh: the replay " << options.replayFile << " was recorded ending in state "
                      << World::hex(replay->endState) << std::endl;
            status = 1;
        }
    }

    closeGlWindow(window);
    return status;
}
