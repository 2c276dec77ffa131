// Quillmarsh entry point: command line, data and settings, window and context, the Game, and the
// frame loop.

#include "app/Callbacks.h"
#include "app/CommandLine.h"
#include "app/CursorOffset.h"
#include "app/DataLocator.h"
#include "app/FrameLimiter.h"
#include "app/GamepadMapping.h"
#include "app/Globals.h"
#include "app/ProcessSignals.h"
#include "app/Settings.h"
#include "app/Windowing.h"
#include "audio/GameAudio.h"
#include "entities/PlayerKey.h"
#include "game/Game.h"
#include "game/Random.h"
#include "game/ScoreBook.h"
#include "render/ResourcePath.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdlib>
#include <iostream>
#include <memory>
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
GraphicsQuality chooseQuality() {
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
bool loadDataAndSettings(const LaunchOptions& options) {
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

// The first pad GLFW knows a gamepad mapping for, read into `state`; null when none is plugged in.
const GLFWgamepadstate* readGamepad(GLFWgamepadstate& state) {
    for (int pad = GLFW_JOYSTICK_1; pad <= GLFW_JOYSTICK_LAST; ++pad) {
        if (glfwJoystickIsGamepad(pad) && glfwGetGamepadState(pad, &state)) return &state;
    }
    return nullptr;
}

// The pad's presses, between two frames like the callbacks; fire and dash wait while paused.
void applyGamepad(const GamepadMapping& pad, Game& game) {
    if (pad.pausePressed()) game.pause.toggle();
    if (pad.newWorldPressed()) game.reset();
    if (game.pause.paused()) return;
    if (pad.fired()) game.firePlayerShot();
    if (pad.dashed()) dashToCrosshair(game);
}

// Frees or captures the cursor. The disabled cursor's position settles only with the events that
// follow the switch, so they are taken now: the next frame reads where it rests, not where it was.
void setCursorFree(GLFWwindow* window, bool free) {
    glfwSetInputMode(window, GLFW_CURSOR, free ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_DISABLED);
    glfwPollEvents();
}

void runFrames(GLFWwindow* window, Game& game) {
    std::vector<int> keys(kPlayerKeyCount, 0);
    FrameLimiter limiter(settings.fpsLimit);
    GamepadMapping pad;
    GLFWgamepadstate padState{};
    bool cursorFree = false;
    bool focused = glfwGetWindowAttrib(window, GLFW_FOCUSED) == GLFW_TRUE;
    double lastPadRead = glfwGetTime();
    while (!glfwWindowShouldClose(window)) {
        const glm::vec2 offset = sampleCursor(window) + pad.look();
        culledObjectCount = 0;
        sampleKeys(window, keys);
        pad.addHeldKeys(keys);
        game.update(offset.x, offset.y, keys);
        glfwSwapBuffers(window);
        glfwPollEvents();
        const double now = glfwGetTime();
        pad.update(readGamepad(padState), static_cast<float>(now - lastPadRead));
        lastPadRead = now;
        applyGamepad(pad, game);
        // The focus is read once a frame rather than per event: a window manager (or the pointer grab
        // of a disabled cursor) may take it away and give it back within one event poll.
        if (focused != (glfwGetWindowAttrib(window, GLFW_FOCUSED) == GLFW_TRUE)) {
            focused = !focused;
            game.pause.focusChanged(focused);
        }
        if (game.pause.paused() != cursorFree) {
            // A paused game hands the cursor back to the desktop.
            cursorFree = game.pause.paused();
            setCursorFree(window, cursorFree);
        }
        glGetError();
        limiter.endFrame();
    }
}

}  // namespace

int main(int argc, char** argv) {
    ignoreFileSizeSignal();
    const ParsedCommandLine commandLine = parseCommandLine(argc, argv, std::cout, std::cerr);
    if (commandLine.exitCode) return *commandLine.exitCode;
    if (!loadDataAndSettings(commandLine.options)) return 1;
    if (!startGlfw()) std::exit(1);
    WindowSize size, drawable;
    GLFWwindow* window = openWindow(size, drawable);
    if (!window) return 1;
    cullingEnabled = true;

    glfwSetKeyCallback(window, keyCallback);
    glfwSetMouseButtonCallback(window, mouseButtonCallback);
    glfwSetFramebufferSizeCallback(window, framebufferSizeCallback);
    const int width = drawable.width, height = drawable.height;

    {
        // The game and every GL object it holds are released here, while the context is still current.
        std::function<unsigned int()> seed;
        if (commandLine.options.seed) {
            // The first world is the one asked for; R makes new ones as always.
            seed = [n = *commandLine.options.seed, first = true]() mutable {
                const unsigned int chosen = first ? n : freshSeed();
                first = false;
                return chosen;
            };
        }
        auto game = std::make_unique<Game>(static_cast<float>(width) / static_cast<float>(height), width, height,
                                           systemClockMs, seed, chooseQuality());
        game->scoreBook = std::make_shared<ScoreBook>(
            ScoreBook::defaultFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")), std::cerr);
        game->scoreBook->load();
        gameInstance = game.get();
        game->setSounds(
            std::make_shared<GameAudio>(settings.audioEnabled, settings.audioVolume, settings.audioAmbience));
        game->init();
        setCursorFree(window, false);
        runFrames(window, *game);
        gameInstance = nullptr;
    }

    closeGlWindow(window);
    return 0;
}
