#pragma once

#include "menu/Settings.h"

#include <iosfwd>
#include <string>

// The player's own settings file ($XDG_CONFIG_HOME/quillmarsh/settings.ini): the choices made in the
// options menu, over the settings file the game read. It holds only the keys whose values differ from
// what the layers below give, and is replaced atomically. A file that is not a regular file, holds
// binary bytes or has lines that cannot be read is said once, moved aside as "settings.ini.bad" and
// the game goes on without it (the next save begins a new one).
class PlayerSettings {
public:
    PlayerSettings(std::string path, std::ostream& report);

    // "$XDG_CONFIG_HOME/quillmarsh/settings.ini", or "~/.config/quillmarsh/settings.ini" when that is
    // unset or not absolute; empty when neither is known.
    static std::string defaultPath(const char* xdgConfigHome, const char* home);

    // The player's file laid over `below`; `below` itself without a file (or with a damaged one).
    Settings load(const Settings& below);
    // Writes the keys of `chosen` that differ from `below` (an empty file when none does). False, said
    // once per session, when it cannot.
    bool save(const Settings& chosen, const Settings& below);

    const std::string& path() const { return file; }

private:
    void setAside(const std::string& reason);

    std::string file;
    std::ostream& report;
    bool toldSaveProblem = false;
    bool untouchable = false;  // there but unreadable: never replaced
};
