#include "app/Settings.h"

#include <INIReader.h>

#include <iostream>

Settings settings;

namespace {

// Replaces a value the game cannot use by its default, naming the key so the user can fix the file.
template <typename Value>
void rejectUnless(bool usable, const char* key, Value& value, Value fallback, const std::string& path) {
    if (usable) return;
    std::cerr << "Setting " << key << " = " << value << " in '" << path << "' cannot be used; using " << fallback
              << " instead." << std::endl;
    value = fallback;
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
    rejectUnless(s.audioVolume >= 0.0f && s.audioVolume <= 1.0f, "volume", s.audioVolume, defaults.audioVolume, path);
    return s;
}

void loadSettings() { settings = readSettings("res/settings.ini"); }
