#pragma once

#include "render/GraphicsQuality.h"

#include <optional>
#include <string>

// The values of "res/settings.ini", read once at start-up and handed to whoever needs them.
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
    int fpsLimit = 0;  // frames per second at most; 0: no limit

    // [audio]
    bool audioEnabled = true;
    float audioVolume = 1.0f;   // master volume, 0 to 1
    bool audioAmbience = true;  // the quiet wind under the game's sounds
};

// The scene render scale a player may ask for.
constexpr float kMinRenderScale = 0.25f;
constexpr float kMaxRenderScale = 1.0f;

// Reads `path` with INIReader. A file that cannot be opened gives the "ERROR: Failed to load" line on
// standard output and all defaults; values that do not convert fall back to their defaults; values the
// window or the fountain cannot use are reported on standard error and replaced by the default.
Settings readSettings(const std::string& path);

// The knobs of `level` with what `s` asks of every level (its samples for high, its render scale).
GraphicsQuality graphicsQuality(QualityLevel level, const Settings& s);
// The level `s` asks for, or the one `auto` picks for `renderer` (the GL_RENDERER string).
QualityLevel chosenQualityLevel(const Settings& s, const std::string& renderer);
