#pragma once

#include <string>
#include <vector>

struct Settings;

// One key of the settings as the file writes it.
struct SettingEntry {
    std::string section;
    std::string key;
    std::string value;
};

// Every key of `s` a player may choose, in the file's order, written as readSettings reads it back.
std::vector<SettingEntry> settingEntries(const Settings& s);
// A settings file holding only the keys whose values in `chosen` differ from those in `below`, each
// under its section; empty when none differs.
std::string changedSettingsText(const Settings& chosen, const Settings& below);
