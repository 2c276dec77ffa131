#pragma once

#include <ctime>
#include <deque>
#include <functional>
#include <iosfwd>
#include <string>

// The player's best score and the last few rounds, kept in "scores.txt" in a per-user folder
// ($XDG_DATA_HOME/quillmarsh, by default ~/.local/share/quillmarsh). Every change is written at once
// and atomically. A file that cannot be read or makes no sense is reported once, moved aside (never
// overwritten) and the game plays on with what it knows; a best score once seen is never lowered.
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
    enum class Read { Missing, Good, Bad };
    Read readFile(int& best, std::deque<Round>& read) const;
    void setAside(const std::string& reason);
    // Says `message` unless a problem of the same kind (reading or writing) was told before.
    void complain(bool& told, const std::string& message);
    std::string contents() const;

    std::string folder;
    std::ostream& report;
    std::function<std::time_t()> calendar;
    int bestScore = 0;
    std::deque<Round> rounds;
    bool saving = true;  // off once a bad file could not be moved out of the way
    bool toldRead = false;
    bool toldWrite = false;
};
