#pragma once

#include <string>

// The game program's own start-up, as it reports it with --startup-report: seconds from its process
// start to its first picture and to a playable world; negative where a line was missing.
struct GameStartup {
    double firstPicture = -1.0;
    double playable = -1.0;
    std::string problem;  // why the figures are missing, empty when both were read

    bool measured() const { return firstPicture >= 0.0 && playable >= 0.0; }
};

// Reads "first picture after N ms" and "playable after N ms" out of the game's output.
GameStartup parseStartupReport(const std::string& output);

// Runs `game` with --startup-report and `arguments` (already quoted for the shell) on the current
// display and reads its report.
GameStartup measureGameStartup(const std::string& game, const std::string& arguments);
