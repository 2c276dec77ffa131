#include "game/ScoreBook.h"

#include "game/AtomicFile.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const char* const kHeader = "quillmarsh scores 1";

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

ScoreBook::Read ScoreBook::readFile(int& best, std::deque<Round>& read) const {
    std::error_code error;
    if (!fs::exists(filePath(), error) && !error) return Read::Missing;
    std::ifstream in(filePath());
    std::string line;
    if (!in || !std::getline(in, line) || line != kHeader) return Read::Bad;
    long long values[3] = {0, 0, 0};
    if (!std::getline(in, line) || !readNumbers(line, "best", values, 1) || values[0] > INT32_MAX) return Read::Bad;
    best = static_cast<int>(values[0]);
    while (std::getline(in, line)) {
        if (!readNumbers(line, "round", values, 3) || values[0] > best || values[1] > INT32_MAX) return Read::Bad;
        read.push_back({static_cast<int>(values[0]), static_cast<int>(values[1]), static_cast<std::time_t>(values[2])});
    }
    return in.bad() ? Read::Bad : Read::Good;
}

void ScoreBook::load() {
    if (folder.empty()) return;
    int best = 0;
    std::deque<Round> read;
    switch (readFile(best, read)) {
        case Read::Missing: return;
        case Read::Bad: setAside("cannot be read or is damaged"); return;
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
    // Another game may have written since this one read the file; its rounds and best count too.
    if (saving) load();
    const bool beaten = score > bestScore;
    bestScore = std::max(bestScore, score);
    rounds.push_back({score, seconds, calendar()});
    while (rounds.size() > kRecentRounds) rounds.pop_front();
    if (folder.empty()) complain(toldWrite, "Scores are not saved: neither XDG_DATA_HOME nor HOME is set.");
    if (!saving || folder.empty()) return beaten;
    std::error_code error;
    fs::create_directories(folder, error);
    std::string why;
    if (error || !AtomicFile::write(filePath(), contents(), why))
        complain(toldWrite, "Cannot save the scores to " + filePath() + ": " + (error ? error.message() : why));
    return beaten;
}
