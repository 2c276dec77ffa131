#pragma once

#include "menu/Settings.h"

#include <string>
#include <vector>

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
// The player's layer (`chosen`) after the options changed the settings in effect from `was` to
// `now`: only the keys that changed are taken over, so what the command line put in effect stays out
// of the player's file. A render scale given up for the level's own is given up in the layer too.
Settings changedLayer(const Settings& chosen, const Settings& was, const Settings& now);
