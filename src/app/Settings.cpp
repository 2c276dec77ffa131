#include "app/Settings.h"

#include <INIReader.h>

#include <iostream>
#include <sstream>

namespace {

// Names the key and value the game cannot use, so the user can fix the file, and what it uses instead.
void report(const char* key, const std::string& value, const std::string& path, const std::string& fallback) {
    std::cerr << "Setting " << key << " = " << value << " in '" << path << "' cannot be used; using " << fallback
              << " instead." << std::endl;
}

// Replaces a value the game cannot use by its default, reported.
template <typename Value>
void rejectUnless(bool usable, const char* key, Value& value, Value fallback, const std::string& path) {
    if (usable) return;
    std::ostringstream shown, used;
    shown << value;
    used << fallback;
    report(key, shown.str(), path, used.str());
    value = fallback;
}

// Every [graphics] key is optional; a value that does not convert is reported like one out of range.
void readGraphics(const INIReader& reader, Settings& s, const std::string& path) {
    const char* section = "graphics";
    const std::string quality = reader.Get(section, "quality", "auto");
    if (!parseQualitySetting(quality, s.quality)) report("quality", quality, path, "auto");

    if (reader.HasValue(section, "render_scale")) {
        // A value that does not convert gives each call its own default.
        const double scale = reader.GetReal(section, "render_scale", -1.0);
        if (scale == reader.GetReal(section, "render_scale", -2.0) && scale >= kMinRenderScale &&
            scale <= kMaxRenderScale) {
            s.renderScale = static_cast<float>(scale);
        } else {
            report("render_scale", reader.Get(section, "render_scale", ""), path, "the level's own");
        }
    }

    if (reader.HasValue(section, "vsync")) {
        const bool vsync = reader.GetBoolean(section, "vsync", false);
        if (vsync == reader.GetBoolean(section, "vsync", true))
            s.vsync = vsync;
        else
            report("vsync", reader.Get(section, "vsync", ""), path, "false");
    }

    if (reader.HasValue(section, "fps_limit")) {
        const long limit = reader.GetInteger(section, "fps_limit", -1);
        if (limit == reader.GetInteger(section, "fps_limit", -2) && limit >= 0 && limit <= 1000)
            s.fpsLimit = static_cast<int>(limit);
        else
            report("fps_limit", reader.Get(section, "fps_limit", ""), path, "0");
    }
}

}  // namespace

Settings readSettings(const std::string& path) {
    const Settings defaults;
    Settings s;
    INIReader reader(path);
    if (reader.ParseError() < 0) {
        std::cout << "ERROR: Failed to load '" << path << "'. Using default values instead." << std::endl;
        return s;
    }
    s.width = static_cast<int>(reader.GetInteger("window", "width", defaults.width));
    s.height = static_cast<int>(reader.GetInteger("window", "height", defaults.height));
    s.refreshRate = static_cast<int>(reader.GetInteger("window", "refresh_rate", defaults.refreshRate));
    s.brightness = static_cast<float>(reader.GetReal("window", "brightness", defaults.brightness));
    s.fullscreen = reader.GetBoolean("window", "fullscreen", defaults.fullscreen);
    s.title = reader.Get("window", "title", defaults.title);
    s.samples = static_cast<int>(reader.GetInteger("window", "samples", defaults.samples));
    s.blobbyObjectVCount =
        static_cast<int>(reader.GetInteger("world", "blobby_object_v_count", defaults.blobbyObjectVCount));
    s.audioEnabled = reader.GetBoolean("audio", "enabled", defaults.audioEnabled);
    s.audioVolume = static_cast<float>(reader.GetReal("audio", "volume", defaults.audioVolume));
    s.audioAmbience = reader.GetBoolean("audio", "ambience", defaults.audioAmbience);

    rejectUnless(s.width > 0, "width", s.width, defaults.width, path);
    rejectUnless(s.height > 0, "height", s.height, defaults.height, path);
    rejectUnless(s.samples >= 0, "samples", s.samples, defaults.samples, path);
    rejectUnless(s.blobbyObjectVCount >= 2 && s.blobbyObjectVCount <= 128, "blobby_object_v_count",
                 s.blobbyObjectVCount, defaults.blobbyObjectVCount, path);
    readGraphics(reader, s, path);
    rejectUnless(s.audioVolume >= 0.0f && s.audioVolume <= 1.0f, "volume", s.audioVolume, defaults.audioVolume, path);
    return s;
}

GraphicsQuality graphicsQuality(QualityLevel level, const Settings& s) {
    GraphicsQuality quality = GraphicsQuality::forLevel(level, s.samples);
    if (s.renderScale) {
        quality.renderScale = *s.renderScale;
        quality.maxScenePixels = 0;  // the player's scale, whatever the window
    }
    return quality;
}

QualityLevel chosenQualityLevel(const Settings& s, const std::string& renderer) {
    return s.quality ? *s.quality : automaticQualityLevel(renderer);
}
