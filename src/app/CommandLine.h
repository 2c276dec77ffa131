#pragma once

#include "menu/Settings.h"

#include <iosfwd>
#include <optional>
#include <string>

// What the command line asks for. Every field left empty keeps what the settings file says.
struct LaunchOptions {
    std::string settingsFile;        // --settings FILE
    std::optional<unsigned> seed;    // --seed N: the first world's seed
    std::optional<bool> fullscreen;  // --fullscreen (true) or --windowed (false)
    std::optional<int> width;        // --size WxH
    std::optional<int> height;
    std::string quality;         // --quality LEVEL: auto, low, medium or high; empty when not given
    std::string recordFile;      // --record FILE: the session is recorded there
    std::string replayFile;      // --replay FILE: that recording is played back, then the game ends
    bool play = false;           // --play: no title; the round starts as soon as the world is ready
    bool startupReport = false;  // --startup-report: say when the first picture and play came, then end
};

// The options, or the code the program exits with straight away: 0 after --help or --version, 2 after
// an unknown option or a value that cannot be used.
struct ParsedCommandLine {
    LaunchOptions options;
    std::optional<int> exitCode;
};

// Reads argv with CLI11. Help and version go to `out`; a refusal writes the reason and the usage line to
// `err`. Opens nothing but checks that a --settings file exists.
ParsedCommandLine parseCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// Lays the command line's window choices over the settings read from the file.
void applyLaunchOptions(const LaunchOptions& options, Settings& settings);

// The game's version, as --version prints it ("1.0.0").
const char* gameVersion();
