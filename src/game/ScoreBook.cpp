#include "game/ScoreBook.h"

#include "game/AtomicFile.h"
#include "game/FileLock.h"
#include "render/WholeFile.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const char* const kHeader = "quillmarsh scores 1";
// The game writes a few hundred bytes; a file this large is not one it wrote, and is not worth the wait.
constexpr size_t kMaxFileBytes = 1 << 20;

// One whole line of the form "KEY n1 n2 ..." with exactly `count` non-negative numbers.
bool readNumbers(const std::string& line, const std::string& key, long long* values, int count) {
    std::istringstream in(line);
    std::string word;
    if (!(in >> word) || word != key) return false;
    for (int i = 0; i < count; ++i) {
        if (!(in >> values[i]) || values[i] < 0) return false;
    }
    return (in >> std::ws).eof();
}

}  // namespace

ScoreBook::ScoreBook(std::string folderPath, std::ostream& reportTo, std::function<std::time_t()> calendarSource)
    : folder(std::move(folderPath)), report(reportTo), calendar(std::move(calendarSource)) {
    if (!calendar) calendar = [] { return std::time(nullptr); };
}

std::string ScoreBook::defaultFolder(const char* xdgDataHome, const char* home) {
    if (xdgDataHome && xdgDataHome[0] == '/') return (fs::path(xdgDataHome) / "quillmarsh").string();
    if (home && home[0] != '\0') return (fs::path(home) / ".local" / "share" / "quillmarsh").string();
    return "";
}

std::string ScoreBook::filePath() const { return (fs::path(folder) / "scores.txt").string(); }

std::string ScoreBook::lockPath() const { return filePath() + ".lock"; }

ScoreBook::Read ScoreBook::readFile(int& best, std::deque<Round>& read, std::string& why) const {
    const WholeFile file = WholeFile::read(filePath(), kMaxFileBytes);
    why = file.reason;
    switch (file.status) {
        case WholeFile::Status::Read: break;
        case WholeFile::Status::Missing: return Read::Missing;
        case WholeFile::Status::TooLarge: return Read::Bad;
        default: return Read::Unreadable;
    }
    why = "is damaged";
    std::istringstream in(file.content);
    std::string line;
    int number = 0;  // of the lines that are not blank
    long long values[3] = {0, 0, 0};
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();  // written on another system
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        if (number == 0 && line != kHeader) return Read::Bad;
        if (number == 1) {
            if (!readNumbers(line, "best", values, 1) || values[0] > INT32_MAX) return Read::Bad;
            best = static_cast<int>(values[0]);
        }
        if (number >= 2) {
            if (!readNumbers(line, "round", values, 3) || values[0] > best || values[1] > INT32_MAX) return Read::Bad;
            read.push_back(
                {static_cast<int>(values[0]), static_cast<int>(values[1]), static_cast<std::time_t>(values[2])});
            if (read.size() > kRecentRounds) read.pop_front();
        }
        ++number;
    }
    return number >= 2 ? Read::Good : Read::Bad;
}

void ScoreBook::load() {
    if (folder.empty()) return;
    const FileLock lock(lockPath());
    loadLocked();
}

void ScoreBook::loadLocked() {
    int best = 0;
    std::deque<Round> read;
    std::string why;
    switch (readFile(best, read, why)) {
        case Read::Missing: return;
        case Read::Bad: setAside(why); return;
        case Read::Unreadable:
            // Perhaps only for now (permissions, a failing disk): left as it is, and not written over.
            saving = false;
            complain(toldRead, "The score file " + filePath() + " cannot be read (" + why +
                                   "); it is left as it is and the scores of this session are not saved.");
            return;
        case Read::Good:
            bestScore = std::max(bestScore, best);
            rounds = std::move(read);
            return;
    }
}

void ScoreBook::setAside(const std::string& reason) {
    // A name no earlier damaged file has, so none of them is ever overwritten.
    const std::string stem = filePath() + ".damaged-" + std::to_string(static_cast<long long>(calendar()));
    std::string aside = stem;
    std::error_code error;
    for (int n = 1; fs::exists(aside, error) && n < 1000; ++n) aside = stem + "-" + std::to_string(n);
    fs::rename(filePath(), aside, error);
    if (error) {
        saving = false;
        complain(toldRead, "The score file " + filePath() + " " + reason + " and cannot be moved aside (" +
                               error.message() + "); scores of this session are not saved.");
        return;
    }
    complain(toldRead,
             "The score file " + filePath() + " " + reason + "; it was moved to " + aside + " and a new one begun.");
}

void ScoreBook::complain(bool& told, const std::string& message) {
    if (told) return;
    told = true;
    report << message << std::endl;
}

std::string ScoreBook::contents() const {
    std::ostringstream out;
    out << kHeader << "\nbest " << bestScore << "\n";
    for (const Round& round : rounds)
        out << "round " << round.score << " " << round.seconds << " " << static_cast<long long>(round.date) << "\n";
    return out.str();
}

bool ScoreBook::record(int score, int seconds) {
    if (folder.empty()) complain(toldWrite, "Scores are not saved: neither XDG_DATA_HOME nor HOME is set.");
    std::error_code error;
    std::optional<FileLock> lock;
    if (saving && !folder.empty()) {
        fs::create_directories(folder, error);
        // Read, merge and write as one step: another game may have written since this one read the file,
        // and must not write between this one's reading and writing, or one of the two best scores is lost.
        lock.emplace(lockPath());
        loadLocked();
    }
    const bool beaten = score > bestScore;
    bestScore = std::max(bestScore, score);
    rounds.push_back({score, seconds, calendar()});
    while (rounds.size() > kRecentRounds) rounds.pop_front();
    if (!saving || folder.empty()) return beaten;
    std::string why;
    if (error || !AtomicFile::write(filePath(), contents(), why))
        complain(toldWrite, "Cannot save the scores to " + filePath() + ": " + (error ? error.message() : why));
    return beaten;
}
