#pragma once

#include <optional>
#include <string>
#include <vector>

// Finds the folder that holds the game's data ("shader/" and "res/"). The working directory comes
// first, so a game started from the repository or from a folder with its own data uses that; then
// the folder of the executable, then "../share/quillmarsh" beside it, where `cmake --install` puts
// the data.
class DataLocator {
public:
    DataLocator(std::string workingDirectory, std::string executableDirectory);

    // The folders searched, in order.
    std::vector<std::string> candidates() const;
    // The first candidate holding both "shader" and "res" folders.
    std::optional<std::string> find() const;
    // What to tell the player when find() comes back empty: what was missing and every place looked.
    std::string failureMessage() const;
    // The settings file to read: the one named on the command line if any, else "res/settings.ini"
    // in the working directory if it exists there, else the one below `dataRoot` if that exists, else
    // "res/settings.ini" (whose absence the settings loader reports).
    std::string settingsFile(const std::string& fromCommandLine, const std::string& dataRoot) const;

    // The folder of the running executable, from /proc/self/exe; empty where that cannot be read.
    static std::string executableDirectory();

private:
    std::string workingDirectory;
    std::string executableDir;
};
