// Quillmarsh entry point: command line, data and settings in their layers, a replay to play or a
// recording to make, window and context, the loading screen while the Game builds its first world,
// and the session around the rounds.

#include "app/Callbacks.h"
#include "app/CommandLine.h"
#include "app/DataLocator.h"
#include "app/ProcessSignals.h"
#include "app/Session.h"
#include "app/Windowing.h"
#include "audio/GameAudio.h"
#include "game/Game.h"
#include "game/Replay.h"
#include "game/ScoreBook.h"
#include "menu/Captions.h"
#include "menu/Menus.h"
#include "menu/PlayerSettings.h"
#include "menu/Settings.h"
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

// Start-up is counted from here: the program's own first moment (its static initialisation).
const std::chrono::steady_clock::time_point kProgramStart = std::chrono::steady_clock::now();

long long millisecondsSinceStart() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - kProgramStart)
        .count();
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

// The settings in their layers: the file the game read (`below`), the player's own file over it
// (`chosen`) and the command line over those (`effective`).
struct SettingsLayers {
    Settings below;
    Settings chosen;
    Settings effective;
};

// Finds the data, makes it the root of every resource path and reads the settings in their layers.
// False (after saying where it looked) when there is no data anywhere.
bool loadDataAndSettings(const LaunchOptions& options, PlayerSettings& player, SettingsLayers& layers) {
    const DataLocator locator(getCurrentWorkingDirectory(), DataLocator::executableDirectory());
    const auto root = locator.find();
    if (!root) {
        std::cerr << locator.failureMessage();
        return false;
    }
    setResourceRoot(*root);
    layers.below = readSettings(locator.settingsFile(options.settingsFile, *root));
    layers.chosen = player.load(layers.below);
    layers.effective = layers.chosen;
    applyLaunchOptions(options, layers.effective);
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

void installCallbacks(GLFWwindow* window) {
    glfwSetKeyCallback(window, keyCallback);
    glfwSetMouseButtonCallback(window, mouseButtonCallback);
    glfwSetFramebufferSizeCallback(window, framebufferSizeCallback);
    glfwSetWindowRefreshCallback(window, windowRefreshCallback);
    glfwSetCharCallback(window, charCallback);
    glfwSetScrollCallback(window, scrollCallback);
    glfwSetWindowFocusCallback(window, focusCallback);
    glfwSetCursorEnterCallback(window, cursorEnterCallback);
}

}  // namespace

int main(int argc, char** argv) {
    ignoreFileSizeSignal();
    const ParsedCommandLine commandLine = parseCommandLine(argc, argv, std::cout, std::cerr);
    if (commandLine.exitCode) return *commandLine.exitCode;
    const LaunchOptions& options = commandLine.options;
    PlayerSettings player(PlayerSettings::defaultPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")), std::cerr);
    SettingsLayers layers;
    if (!loadDataAndSettings(options, player, layers)) return 1;
    const Settings& settings = layers.effective;
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
    // A replay or a recording plays at once, as does --play.
    const bool title = settings.showTitle && !options.play && !replay && options.recordFile.empty();

    if (!startGlfw()) std::exit(1);
    WindowSize size, drawable;
    GLFWwindow* window = openWindow(settings, size, drawable);
    if (!window) return 1;
    installCallbacks(window);

    long long firstPicture = -1;
    int status = 0;
    {
        // The menus, the game and every GL object they hold are released here, while the context is
        // still current.
        Menus menus(window, resourceRoot() + "/res/hud_font.ttf");
        const auto show = [&](const std::string& step, float done) {
            menus.drawLoading(step, done);
            glfwSwapBuffers(window);
            if (firstPicture < 0) firstPicture = millisecondsSinceStart();
            glfwPollEvents();  // the window stays responsive between the steps
        };
        // The first picture, before any shader is compiled or any world built.
        if (title) show("Starting", 0.0f);

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
        if (title) setup.onBuildStep = show;
        Game game(setup);
        auto scoreBook = std::make_shared<ScoreBook>(scores, std::cerr);
        scoreBook->load();
        game.setScoreBook(scoreBook);
        auto audio = std::make_shared<GameAudio>(settings.audioEnabled, settings.audioVolume, settings.audioAmbience);
        auto captions = std::make_shared<Captions>(audio);
        game.setSounds(captions);

        Session::Parts parts;
        parts.window = window;
        parts.game = &game;
        parts.menus = &menus;
        parts.captions = captions.get();
        parts.audio = audio.get();
        parts.scores = scoreBook;
        parts.player = options.startupReport ? nullptr : &player;  // a measurement keeps nothing
        Session session(parts, layers.below, layers.chosen, layers.effective);
        glfwSetWindowUserPointer(window, &session.target());
        session.run(title, [&] {
            if (firstPicture < 0) firstPicture = millisecondsSinceStart();
            if (!options.startupReport) return;
            // The first frame with the world built is the first that can be played.
            std::cout << "first picture after " << firstPicture << " ms" << std::endl;
            std::cout << "playable after " << millisecondsSinceStart() << " ms" << std::endl;
            glfwSetWindowShouldClose(window, GLFW_TRUE);
        });
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
