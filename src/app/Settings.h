#pragma once

#include <string>

// The values of "res/settings.ini", read once at start-up and read-only afterwards.
struct Settings {
    int width = 1920;
    int height = 1080;
    int refreshRate = 60;
    float brightness = 1.0f;
    bool fullscreen = false;
    std::string title = "Quillmarsh";
    int samples = 2;
    int blobbyObjectVCount = 40;  // grid resolution of the fountain surface
    bool audioEnabled = true;
    float audioVolume = 1.0f;   // master volume, 0 to 1
    bool audioAmbience = true;  // the quiet wind under the game's sounds
};

// The process-wide record; holds the defaults until loadSettings() runs.
extern Settings settings;

// Reads `path` with INIReader. A file that cannot be opened gives the "ERROR: Failed to load" line on
// standard output and all defaults; values that do not convert fall back to their defaults; values the
// window or the fountain cannot use are reported on standard error and replaced by the default.
Settings readSettings(const std::string& path);

// Fills `settings` from "res/settings.ini" relative to the working directory.
void loadSettings();
