#pragma once

#include "game/LookSettings.h"
#include "menu/Bindings.h"
#include "render/GraphicsQuality.h"
#include "world/Difficulty.h"

#include <optional>
#include <string>

// The values of "res/settings.ini" with the player's own choices over them: read at start-up, changed
// by the options menu and handed to whoever needs them.
struct Settings {
    int width = 1920;
    int height = 1080;
    int refreshRate = 60;
    float brightness = 1.0f;
    bool fullscreen = false;
    std::string title = "Quillmarsh";
    int samples = 2;
    int blobbyObjectVCount = 40;  // grid resolution of the fountain surface

    // [graphics]
    std::optional<QualityLevel> quality;  // empty: auto, chosen from the GL renderer
    std::optional<float> renderScale;     // empty: the level's own
    bool vsync = false;
    int fpsLimit = 0;                 // frames per second at most; 0: no limit
    bool spreadRasterThreads = true;  // a software renderer's threads each on a processor of its own

    // [audio]
    bool audioEnabled = true;
    float audioVolume = 1.0f;   // master volume, 0 to 1
    bool audioAmbience = true;  // the quiet wind under the game's sounds

    // [hud]
    float hudScale = 1.0f;  // 0.5 to 2, times the size the HUD has for the window

    // [game]
    Difficulty difficulty = Difficulty::Normal;
    bool showTitle = true;  // the title screen before the first round

    // [controls]
    LookSettings look;

    // [menu]
    bool escapeOpensMenu = false;  // Escape opens the pause menu instead of quitting
    bool controlsSeen = false;     // the controls were shown at a first start

    // [captions]
    bool captions = false;  // a caption for every sound

    // [keys]
    Bindings bindings;
};

// The scene render scale a player may ask for.
constexpr float kMinRenderScale = 0.25f;
constexpr float kMaxRenderScale = 1.0f;

// Reads `path` with INIReader. Only a regular text file is read: one that is missing, cannot be read,
// is not a regular file (a folder, a FIFO) or holds binary bytes gives the "ERROR: Failed to load" line
// (with the reason, unless it is missing) on standard output and all defaults; so does an empty one,
// with a line of its own. Lines that cannot be parsed are named by number on standard error and
// ignored. A value the game cannot use (one that does not convert, or out of range: width and height
// 1 to 16384, refresh rate 0 to 1000, brightness finite and above 0, samples 0 to 64, fountain grid 2
// to 128, volume 0 to 1, HUD scale 0.5 to 2, ...) is reported with its key and value on standard error and replaced by
// the default; a number followed by other text is used and said so.
Settings readSettings(const std::string& path);
// The keys of `text` (read from `path`, which only names it in messages) laid over `base`: keys the
// text does not hold keep base's values. Values are checked as readSettings checks them.
Settings readSettingsText(const std::string& text, const std::string& path, const Settings& base);

// The knobs of `level` with what `s` asks of every level (its samples for high, its render scale).
GraphicsQuality graphicsQuality(QualityLevel level, const Settings& s);
// The level `s` asks for, or the one `auto` picks for `renderer` (the GL_RENDERER string).
QualityLevel chosenQualityLevel(const Settings& s, const std::string& renderer);
