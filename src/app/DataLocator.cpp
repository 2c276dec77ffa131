#include "app/DataLocator.h"

#include <filesystem>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const char* const kSettings = "res/settings.ini";

bool isDirectory(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

}  // namespace

DataLocator::DataLocator(std::string working, std::string executable)
    : workingDirectory(std::move(working)), executableDir(std::move(executable)) {}

std::vector<std::string> DataLocator::candidates() const {
    std::vector<std::string> folders;
    if (!workingDirectory.empty()) folders.push_back(workingDirectory);
    if (!executableDir.empty()) {
        folders.push_back(executableDir);
        folders.push_back((fs::path(executableDir) / ".." / "share" / "quillmarsh").lexically_normal().string());
    }
    return folders;
}

std::optional<std::string> DataLocator::find() const {
    for (const std::string& folder : candidates()) {
        if (isDirectory(fs::path(folder) / "shader") && isDirectory(fs::path(folder) / "res")) return folder;
    }
    return std::nullopt;
}

std::string DataLocator::failureMessage() const {
    std::ostringstream message;
    message << "Cannot find the game's data (the folders shader/ and res/). Looked in:\n";
    for (const std::string& folder : candidates()) message << "  " << folder << "\n";
    message << "Start the game from a folder that holds them, or install it with cmake --install.\n";
    return message.str();
}

std::string DataLocator::settingsFile(const std::string& fromCommandLine, const std::string& dataRoot) const {
    if (!fromCommandLine.empty()) return fromCommandLine;
    if (isFile(fs::path(workingDirectory) / kSettings)) return kSettings;
    const fs::path installed = fs::path(dataRoot) / kSettings;
    if (!dataRoot.empty() && isFile(installed)) return installed.string();
    return kSettings;
}

std::string DataLocator::executableDirectory() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : executable.parent_path().string();
}
