#include "GameStartup.h"

#include <cstdio>
#include <sstream>
#include <sys/wait.h>

namespace {

// The number of milliseconds in a line "<prefix> N ms", in seconds; negative when the line is not one.
double millisecondsAfter(const std::string& line, const std::string& prefix) {
    if (line.rfind(prefix, 0) != 0) return -1.0;
    std::istringstream rest(line.substr(prefix.size()));
    double ms = -1.0;
    std::string unit;
    if (!(rest >> ms >> unit) || unit != "ms" || ms < 0.0) return -1.0;
    return ms / 1000.0;
}

}  // namespace

GameStartup parseStartupReport(const std::string& output) {
    GameStartup startup;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        const double picture = millisecondsAfter(line, "first picture after ");
        if (picture >= 0.0) startup.firstPicture = picture;
        const double playable = millisecondsAfter(line, "playable after ");
        if (playable >= 0.0) startup.playable = playable;
    }
    if (!startup.measured()) startup.problem = "no start-up report in the game's output";
    return startup;
}

GameStartup measureGameStartup(const std::string& game, const std::string& arguments) {
    const std::string command = "'" + game + "' --startup-report " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return GameStartup{-1.0, -1.0, "cannot run " + game};
    std::string output;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    const int status = pclose(pipe);
    GameStartup startup = parseStartupReport(output);
    if (status != 0 && startup.problem.empty()) startup.problem = game + " ended with status " + std::to_string(status);
    if (!startup.problem.empty()) startup.problem += ":\n" + output;
    return startup;
}
