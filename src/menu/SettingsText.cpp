#include "menu/SettingsText.h"

#include <sstream>

namespace {

std::string number(float value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

const char* yesNo(bool value) { return value ? "true" : "false"; }

}  // namespace

std::vector<SettingEntry> settingEntries(const Settings& s) {
    std::vector<SettingEntry> entries = {
        {"window", "fullscreen", yesNo(s.fullscreen)},
        {"graphics", "quality", s.quality ? qualityName(*s.quality) : "auto"},
        {"graphics", "vsync", yesNo(s.vsync)},
        {"graphics", "fps_limit", std::to_string(s.fpsLimit)},
        {"audio", "volume", number(s.audioVolume)},
        {"audio", "ambience", yesNo(s.audioAmbience)},
        {"hud", "scale", number(s.hudScale)},
        {"game", "difficulty", difficultyName(s.difficulty)},
        {"game", "title", yesNo(s.showTitle)},
        {"controls", "mouse_mode", mouseModeName(s.look.mode)},
        {"controls", "sensitivity", number(s.look.sensitivity)},
        {"controls", "invert_y", yesNo(s.look.invertY)},
        {"controls", "fov", number(s.look.fieldOfView)},
        {"menu", "escape_opens_menu", yesNo(s.escapeOpensMenu)},
        {"menu", "controls_seen", yesNo(s.controlsSeen)},
        {"captions", "enabled", yesNo(s.captions)},
    };
    // Without a scale of its own each level keeps its own; there is no word for that in the file.
    if (s.renderScale) entries.insert(entries.begin() + 2, {"graphics", "render_scale", number(*s.renderScale)});
    for (int a = 0; a < kActionCount; ++a) {
        const auto action = static_cast<Action>(a);
        entries.push_back({"keys", Bindings::settingKey(action), Bindings::inputName(s.bindings.input(action))});
    }
    return entries;
}

std::string changedSettingsText(const Settings& chosen, const Settings& below) {
    const std::vector<SettingEntry> mine = settingEntries(chosen), theirs = settingEntries(below);
    std::string text, section;
    for (const SettingEntry& entry : mine) {
        bool same = false;
        for (const SettingEntry& other : theirs)
            same = same || (other.section == entry.section && other.key == entry.key && other.value == entry.value);
        if (same) continue;
        if (entry.section != section) {
            text += (text.empty() ? "[" : "\n[") + entry.section + "]\n";
            section = entry.section;
        }
        text += entry.key + " = " + entry.value + "\n";
    }
    return text;
}

Settings changedLayer(const Settings& chosen, const Settings& was, const Settings& now) {
    Settings layer = readSettingsText(changedSettingsText(now, was), "the options", chosen);
    if (!now.renderScale) layer.renderScale.reset();  // "the level's own" has no value to write
    return layer;
}
