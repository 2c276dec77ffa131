#pragma once

#include <ctime>
#include <deque>
#include <functional>
#include <iosfwd>
#include <string>

// The player's best score and the last few rounds, kept in "scores.txt" in a per-user folder
// ($XDG_DATA_HOME/quillmarsh, by default ~/.local/share/quillmarsh). Every change is written at once
// and atomically, under a lock (a lock file beside it) from reading to writing, so two games at once
// never lose each other's better score. A file that makes no sense (or is far larger than any the game
// writes) is reported once, moved aside (never overwritten) and the game plays on with what it knows;
// one that cannot be read at all (permissions, a failing disk) is reported, left in place, and this
// session's scores are not saved. Blank lines and CR line ends are accepted; only the last rounds are
// kept. A best score once seen is never lowered.
class ScoreBook {
public:
    struct Round {
        int score = 0;
        int seconds = 0;       // how long the round lasted
        std::time_t date = 0;  // when it ended
    };
    static constexpr size_t kRecentRounds = 10;

    // `folder` holds the file and is created on the first write. Problems go to `report`; `calendar`
    // stamps the rounds and names the files moved aside.
    explicit ScoreBook(std::string folder, std::ostream& report, std::function<std::time_t()> calendar = {});

    // The folder for this user: $XDG_DATA_HOME/quillmarsh when that is an absolute path, else
    // $HOME/.local/share/quillmarsh; empty when neither is known. Either argument may be null.
    static std::string defaultFolder(const char* xdgDataHome, const char* home);

    // Reads the file if there is one.
    void load();
    // Adds a finished round, writes the file and tells whether the round beat every earlier one.
    bool record(int score, int seconds);

    int best() const { return bestScore; }
    const std::deque<Round>& recent() const { return rounds; }
    std::string filePath() const;

private:
    enum class Read { Missing, Good, Bad, Unreadable };
    // The file's best and last rounds; otherwise why not in `why`.
    Read readFile(int& best, std::deque<Round>& read, std::string& why) const;
    // load() while the lock is held.
    void loadLocked();
    std::string lockPath() const;
    void setAside(const std::string& reason);
    // Says `message` unless a problem of the same kind (reading or writing) was told before.
    void complain(bool& told, const std::string& message);
    std::string contents() const;

    std::string folder;
    std::ostream& report;
    std::function<std::time_t()> calendar;
    int bestScore = 0;
    std::deque<Round> rounds;
    bool saving = true;  // off once the file could not be read or a bad one not moved out of the way
    bool toldRead = false;
    bool toldWrite = false;
};
