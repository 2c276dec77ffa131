#include "menu/Settings.h"

#include "game/HudLayout.h"
#include "render/WholeFile.h"

#include <INIReader.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <sstream>
#include <utility>
#include <vector>

namespace {

// A settings file is a few hundred bytes; anything this large is not one.
constexpr size_t kMaxSettingsBytes = 1 << 20;
// Lines that cannot be parsed are named up to this many; the rest are only mentioned.
constexpr int kMaxLinesNamed = 10;
// Sides larger than any monitor shows (and than GL draws into).
constexpr long kMaxWindowSide = 16384;

// Reads the keys of one file, each checked before it is narrowed to its field: a value the game cannot
// use (one that does not convert, or out of range) is reported with its key and value and replaced by
// the default; a number followed by other text is used as far as it goes, and said so.
class KeyReader {
public:
    KeyReader(const INIReader& reader, const std::string& path) : reader(reader), path(path) {}

    void integer(const char* section, const char* key, int& value, long min, long max) {
        if (!reader.HasValue(section, key)) return;
        const std::string text = reader.Get(section, key, "");
        char* end = nullptr;
        errno = 0;
        const long parsed = std::strtol(text.c_str(), &end, 0);
        if (end == text.c_str() || errno == ERANGE || parsed < min || parsed > max)
            return reject(key, text, std::to_string(value));
        value = static_cast<int>(parsed);
        noteTrailing(key, text, end, std::to_string(value));
    }

    // A finite value in [min, max] that stays finite as a float; above `min` only when `openMin`.
    bool real(const char* section, const char* key, float& value, double min, double max, bool openMin,
              const std::string& fallback) {
        if (!reader.HasValue(section, key)) return false;
        const std::string text = reader.Get(section, key, "");
        char* end = nullptr;
        const double parsed = std::strtod(text.c_str(), &end);
        const float narrowed = static_cast<float>(parsed);
        if (end == text.c_str() || !std::isfinite(narrowed) || parsed < min || (openMin && parsed <= min) ||
            parsed > max) {
            reject(key, text, fallback);
            return false;
        }
        value = narrowed;
        std::ostringstream used;
        used << value;
        noteTrailing(key, text, end, used.str());
        return true;
    }

    void boolean(const char* section, const char* key, bool& value) {
        if (!reader.HasValue(section, key)) return;
        const bool parsed = reader.GetBoolean(section, key, false);
        // A word the reader does not know gives each call its own default.
        if (parsed == reader.GetBoolean(section, key, true))
            value = parsed;
        else
            reject(key, reader.Get(section, key, ""), value ? "true" : "false");
    }

    // Names the key and value the game cannot use, so the user can fix the file, and what it uses instead.
    void reject(const char* key, const std::string& text, const std::string& fallback) const {
        std::cerr << "Setting " << key << " = " << text << " in '" << path << "' cannot be used; using " << fallback
                  << " instead." << std::endl;
    }

private:
    void noteTrailing(const char* key, const std::string& text, const char* end, const std::string& used) const {
        if (*end == '\0') return;
        std::cerr << "Setting " << key << " = " << text << " in '" << path << "' has text after the number; using "
                  << used << "." << std::endl;
    }

    const INIReader& reader;
    const std::string& path;

public:
    const std::string& file() const { return path; }
};

// Every [graphics] key is optional; a value that does not convert is reported like one out of range.
void readGraphics(const INIReader& reader, KeyReader& keys, Settings& s) {
    const char* section = "graphics";
    if (reader.HasValue(section, "quality")) {
        const std::string quality = reader.Get(section, "quality", "auto");
        if (!parseQualitySetting(quality, s.quality)) keys.reject("quality", quality, "auto");
    }
    float scale = 1.0f;
    if (keys.real(section, "render_scale", scale, kMinRenderScale, kMaxRenderScale, false, "the level's own"))
        s.renderScale = scale;
    keys.boolean(section, "vsync", s.vsync);
    keys.integer(section, "fps_limit", s.fpsLimit, 0, 1000);
    keys.boolean(section, "spread_software_threads", s.spreadRasterThreads);
}

// [game] and [controls]: words the game does not know are reported like numbers out of range.
void readPlay(const INIReader& reader, KeyReader& keys, Settings& s) {
    if (reader.HasValue("game", "difficulty")) {
        const std::string word = reader.Get("game", "difficulty", "");
        if (const std::optional<Difficulty> difficulty = parseDifficulty(word))
            s.difficulty = *difficulty;
        else
            keys.reject("difficulty", word, difficultyName(s.difficulty));
    }
    const char* section = "controls";
    if (reader.HasValue(section, "mouse_mode")) {
        const std::string word = reader.Get(section, "mouse_mode", "");
        if (const std::optional<MouseMode> mode = parseMouseMode(word))
            s.look.mode = *mode;
        else
            keys.reject("mouse_mode", word, mouseModeName(s.look.mode));
    }
    keys.real(section, "sensitivity", s.look.sensitivity, LookSettings::kMinSensitivity, LookSettings::kMaxSensitivity,
              false, "1");
    keys.boolean(section, "invert_y", s.look.invertY);
    keys.real(section, "fov", s.look.fieldOfView, LookSettings::kMinFieldOfView, LookSettings::kMaxFieldOfView, false,
              "60");
}

// [game] title, [menu], [captions] and [keys]. A key name the game does not know, or one another
// action already holds, is reported like a value out of range and the action keeps its key.
void readMenus(const INIReader& reader, KeyReader& keys, Settings& s) {
    keys.boolean("game", "title", s.showTitle);
    keys.boolean("menu", "escape_opens_menu", s.escapeOpensMenu);
    keys.boolean("menu", "controls_seen", s.controlsSeen);
    keys.boolean("captions", "enabled", s.captions);
    // The actions the file names give up their keys first, so that a file may swap two keys.
    const Bindings before = s.bindings;
    std::vector<std::pair<Action, std::string>> named;
    for (int a = 0; a < kActionCount; ++a) {
        const auto action = static_cast<Action>(a);
        if (!reader.HasValue("keys", Bindings::settingKey(action))) continue;
        named.emplace_back(action, reader.Get("keys", Bindings::settingKey(action), ""));
        s.bindings.unbind(action);
    }
    for (const auto& [action, name] : named) {
        const std::optional<int> input = Bindings::parseInput(name);
        std::string refusal = "there is no key of that name";
        if (input && s.bindings.bind(action, *input, refusal)) continue;
        // The action keeps its key, unless another took it meanwhile.
        std::string unused;
        const int kept = before.input(action);
        const bool keeps = s.bindings.bind(action, kept, unused);
        std::cerr << "Setting " << Bindings::settingKey(action) << " = " << name << " in '" << keys.file()
                  << "' cannot be used (" << refusal << "); "
                  << (keeps ? "using " + Bindings::inputName(kept) + " instead." : "the action has no key.")
                  << std::endl;
    }
}

// The text with the lines the reader cannot parse blanked out, each named on standard error (the
// reader uses every line it can parse but tells only the first one it cannot). After a few, the rest
// are only mentioned; the reader ignores them all the same.
std::string withoutBrokenLines(std::string text, const std::string& path) {
    for (int named = 0;; ++named) {
        const int line = INIReader(text.data(), text.size()).ParseError();
        if (line <= 0) return text;
        if (named == kMaxLinesNamed) {
            std::cerr << "More lines of '" << path << "' cannot be read; they are ignored too." << std::endl;
            return text;
        }
        std::cerr << "Line " << line << " of '" << path
                  << "' cannot be read (expected [section], key = value or a ; comment); it is ignored." << std::endl;
        size_t start = 0;
        for (int n = 1; n < line && start != std::string::npos; ++n) {
            start = text.find('\n', start);
            if (start != std::string::npos) ++start;
        }
        if (start == std::string::npos) return text;
        text.erase(start, std::min(text.find('\n', start), text.size()) - start);
    }
}

}  // namespace

Settings readSettings(const std::string& path) {
    Settings s;
    const WholeFile file = WholeFile::read(path, kMaxSettingsBytes);
    std::string problem = file.status == WholeFile::Status::Missing ? "" : file.reason;
    if (file.ok() && file.content.find('\0') != std::string::npos) problem = "it is not a text file";
    if (!file.ok() || !problem.empty()) {
        std::cout << "ERROR: Failed to load '" << path << "'" << (problem.empty() ? "" : " (" + problem + ")")
                  << ". Using default values instead." << std::endl;
        return s;
    }
    if (file.content.find_first_not_of(" \t\r\n") == std::string::npos) {
        std::cout << "The settings file '" << path << "' is empty. Using default values." << std::endl;
        return s;
    }
    return readSettingsText(file.content, path, s);
}

Settings readSettingsText(const std::string& content, const std::string& path, const Settings& base) {
    Settings s = base;
    const std::string text = withoutBrokenLines(content, path);
    const INIReader reader(text.data(), text.size());
    KeyReader keys(reader, path);
    keys.integer("window", "width", s.width, 1, kMaxWindowSide);
    keys.integer("window", "height", s.height, 1, kMaxWindowSide);
    keys.integer("window", "refresh_rate", s.refreshRate, 0, 1000);
    keys.real("window", "brightness", s.brightness, 0.0, std::numeric_limits<float>::max(), true, "1");
    keys.boolean("window", "fullscreen", s.fullscreen);
    s.title = reader.Get("window", "title", s.title);
    keys.integer("window", "samples", s.samples, 0, 64);
    keys.integer("world", "blobby_object_v_count", s.blobbyObjectVCount, 2, 128);
    keys.boolean("audio", "enabled", s.audioEnabled);
    keys.real("audio", "volume", s.audioVolume, 0.0, 1.0, false, "1");
    keys.boolean("audio", "ambience", s.audioAmbience);
    keys.real("hud", "scale", s.hudScale, HudLayout::kMinHudScale, HudLayout::kMaxHudScale, false, "1");
    readGraphics(reader, keys, s);
    readPlay(reader, keys, s);
    readMenus(reader, keys, s);
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
