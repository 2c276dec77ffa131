#include "menu/PlayerSettings.h"

#include "game/AtomicFile.h"
#include "menu/SettingsText.h"
#include "render/WholeFile.h"

#include <INIReader.h>

#include <filesystem>
#include <ostream>
#include <sstream>

namespace {

constexpr size_t kMaxPlayerFileBytes = 1 << 20;

}  // namespace

PlayerSettings::PlayerSettings(std::string path, std::ostream& report) : file(std::move(path)), report(report) {}

std::string PlayerSettings::defaultPath(const char* xdgConfigHome, const char* home) {
    std::filesystem::path folder;
    if (xdgConfigHome && std::filesystem::path(xdgConfigHome).is_absolute())
        folder = xdgConfigHome;
    else if (home && *home)
        folder = std::filesystem::path(home) / ".config";
    else
        return "";
    return (folder / "quillmarsh" / "settings.ini").string();
}

void PlayerSettings::setAside(const std::string& reason) {
    const std::string aside = file + ".bad";
    std::error_code error;
    std::filesystem::remove_all(aside, error);
    std::filesystem::rename(file, aside, error);
    report << "Your settings file '" << file << "' " << reason << "; "
           << (error ? "it could not be moved aside (" + error.message() + ")" : "it was moved to '" + aside + "'")
           << " and the game goes on without it." << std::endl;
}

Settings PlayerSettings::load(const Settings& below) {
    if (file.empty()) return below;
    const WholeFile read = WholeFile::read(file, kMaxPlayerFileBytes);
    if (read.status == WholeFile::Status::Missing) return below;
    if (read.status == WholeFile::Status::Failed) {
        // Not damaged, only out of reach (no permission, a disk error): left as it is, and not replaced.
        report << "Your settings file '" << file << "' cannot be read (" << read.reason
               << "); the game goes on without it and keeps your choices for this session only." << std::endl;
        untouchable = true;
        return below;
    }
    if (!read.ok()) {
        setAside("cannot be used (" + read.reason + ")");
        return below;
    }
    if (read.content.find('\0') != std::string::npos) {
        setAside("is not a text file");
        return below;
    }
    const int brokenLine = INIReader(read.content.data(), read.content.size()).ParseError();
    if (brokenLine != 0) {
        setAside("cannot be read at line " + std::to_string(brokenLine));
        return below;
    }
    return readSettingsText(read.content, file, below);
}

bool PlayerSettings::save(const Settings& chosen, const Settings& below) {
    if (file.empty() || untouchable) return false;
    std::string why;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), error);
    const std::string text =
        "; Your choices in Quillmarsh's options: only what differs from the game's settings file.\n" +
        changedSettingsText(chosen, below);
    if (!error && AtomicFile::write(file, text, why)) return true;
    if (error) why = "cannot make its folder: " + error.message();
    if (!toldSaveProblem) report << "Cannot keep your settings in '" << file << "': " << why << std::endl;
    toldSaveProblem = true;
    return false;
}
