#include "game/ScoreBook.h"

#include "app/ProcessSignals.h"
#include "game/AtomicFile.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string contents(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Everything in the folder but the score file itself and its lock.
std::vector<std::string> otherFiles(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name != "scores.txt" && name != "scores.txt.lock") names.push_back(name);
    }
    return names;
}

class ScoreBookTest : public ::testing::Test {
protected:
    std::unique_ptr<ScoreBook> open() {
        auto book = std::make_unique<ScoreBook>(folder, report, [this] { return now; });
        book->load();
        return book;
    }
    // One line in the report, however often it went wrong.
    bool toldOnce(const std::string& about) const {
        const std::string told = report.str();
        return told.find(about) != std::string::npos && told.find('\n') == told.size() - 1;
    }

    testsupport::TempDirectory home;
    std::string folder = home.path() + "/data/quillmarsh";
    std::ostringstream report;
    std::time_t now = 1700000000;
};

TEST_F(ScoreBookTest, RoundsAndTheBestSurviveARestartAndOnlyAHigherScoreBeatsTheBest) {
    EXPECT_EQ(ScoreBook::defaultFolder("/x/data", "/home/cat"), "/x/data/quillmarsh");
    EXPECT_EQ(ScoreBook::defaultFolder("", "/home/cat"), "/home/cat/.local/share/quillmarsh");
    auto book = open();
    EXPECT_FALSE(book->record(0, 60));
    EXPECT_TRUE(book->record(30, 60));
    EXPECT_FALSE(book->record(30, 41));  // a tie is not a new best
    now += 100;
    for (int i = 0; i < 12; ++i) book->record(i, 60);  // the best round leaves the recent list

    const auto again = open();
    EXPECT_EQ(again->best(), 30);
    ASSERT_EQ(again->recent().size(), ScoreBook::kRecentRounds);
    EXPECT_EQ(again->recent().front().score, 2);
    EXPECT_EQ(again->recent().back().score, 11);
    EXPECT_EQ(again->recent().back().date, now);
    EXPECT_EQ(report.str(), "");
}

TEST_F(ScoreBookTest, EveryWriteReplacesTheFileWholeOrNotAtAll) {
    auto book = open();
    book->record(5, 60);
    struct stat first {
    }, second{};
    stat(book->filePath().c_str(), &first);
    book->record(9, 60);
    stat(book->filePath().c_str(), &second);
    EXPECT_NE(first.st_ino, second.st_ino) << "rewritten in place instead of renamed over";
    EXPECT_TRUE(otherFiles(folder).empty());

    const std::string good = contents(book->filePath());
    fs::create_directories(AtomicFile::temporaryPath(book->filePath()));  // no temporary file can be made
    EXPECT_TRUE(book->record(12, 60));
    book->record(13, 60);
    EXPECT_EQ(contents(book->filePath()), good);
    EXPECT_EQ(book->best(), 13);
    EXPECT_TRUE(toldOnce("Cannot save the scores")) << report.str();
}

TEST_F(ScoreBookTest, ADamagedFileIsMovedAsideNeverOverwrittenAndReportedOnce) {
    const std::string damaged = "quillmarsh scores 1\nbest 40\nround 40 6";
    home.writeText("data/quillmarsh/scores.txt", damaged);
    auto book = open();
    EXPECT_EQ(book->best(), 0);
    ASSERT_EQ(otherFiles(folder).size(), 1u);
    EXPECT_EQ(contents(folder + "/" + otherFiles(folder).front()), damaged);

    EXPECT_TRUE(book->record(7, 60));
    home.writeText("data/quillmarsh/scores.txt", "best 99\n");  // damaged again, in the same second
    book->record(3, 60);
    EXPECT_EQ(otherFiles(folder).size(), 2u);
    EXPECT_EQ(open()->best(), 7);
    EXPECT_TRUE(toldOnce("moved to")) << report.str();
}

// Files it did not write as it writes them: blank lines and CR line ends are read, a long history costs
// only its last rounds, one too large to be a score file is moved aside, and one that cannot be read at
// all (here a folder in its place) is left alone and not written over.
TEST_F(ScoreBookTest, ForeignFilesAreReadBoundedOrLeftAlone) {
    home.writeText("data/quillmarsh/scores.txt", "quillmarsh scores 1\r\nbest 40\r\n\r\nround 40 6 1\r\n\n");
    EXPECT_EQ(open()->best(), 40);
    std::string history = "quillmarsh scores 1\nbest 90\n";
    for (int i = 0; i < 20000; ++i) history += "round " + std::to_string(i % 90) + " 60 1700000000\n";
    home.writeText("data/quillmarsh/scores.txt", history);
    auto book = open();
    ASSERT_EQ(book->recent().size(), ScoreBook::kRecentRounds);
    EXPECT_EQ(book->recent().back().score, 19999 % 90);
    EXPECT_EQ(report.str(), "");

    home.writeText("data/quillmarsh/scores.txt", history + history + history);
    EXPECT_EQ(open()->best(), 0);
    EXPECT_TRUE(toldOnce("is larger than")) << report.str();
    ASSERT_EQ(otherFiles(folder).size(), 1u);

    fs::remove(folder + "/scores.txt");
    fs::create_directory(folder + "/scores.txt");
    report.str("");
    book = open();
    book->record(30, 60);
    EXPECT_TRUE(fs::is_directory(folder + "/scores.txt"));
    EXPECT_EQ(otherFiles(folder).size(), 1u);
    EXPECT_TRUE(toldOnce("cannot be read (is a directory); it is left as it is")) << report.str();
}

// Two games ending their rounds at the same moment, as two real processes, again and again: neither
// round and never the better score is lost.
TEST_F(ScoreBookTest, TwoGamesAtOnceNeverLoseTheBetterScore) {
    for (int trial = 0; trial < 10; ++trial) {
        const std::string shared = folder + "/" + std::to_string(trial);
        int go[2];
        ASSERT_EQ(pipe(go), 0);
        pid_t games[2];
        for (int game = 0; game < 2; ++game) {
            games[game] = fork();
            if (games[game] != 0) continue;
            close(go[1]);
            std::ostringstream quiet;
            ScoreBook book(shared, quiet);
            book.load();
            char start = 0;
            while (read(go[0], &start, 1) < 0) {}  // both are let go at once, when the pipe closes
            book.record(game == 0 ? 100 : 50, 60);
            _exit(quiet.str().empty() ? 0 : 3);
        }
        close(go[0]);
        close(go[1]);
        for (pid_t game : games) {
            int status = 0;
            waitpid(game, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        }
        ScoreBook after(shared, report);
        after.load();
        EXPECT_EQ(after.best(), 100) << "trial " << trial;
        EXPECT_EQ(after.recent().size(), 2u) << "trial " << trial;
    }
}

// A file-size limit (ulimit -f) makes the write fail, said once, with no temporary file left behind,
// rather than ending the game at the round's end.
TEST(ScoreBookDeathTest, AFileSizeLimitIsAFailedWriteNotTheEnd) {
    testsupport::TempDirectory home;
    const auto endRoundsUnderTheLimit = [&home] {
        ignoreFileSizeSignal();
        const rlimit limit{24, 24};  // below the file's size, which the report must not reach
        setrlimit(RLIMIT_FSIZE, &limit);
        std::ostringstream report;
        ScoreBook book(home.path(), report);
        book.record(5, 60);
        book.record(6, 60);
        const bool left = fs::exists(AtomicFile::temporaryPath(book.filePath()));
        const std::string told = report.str();
        const bool once = std::count(told.begin(), told.end(), '\n') == 1;
        std::exit(!left && once && told.find("File too large") != std::string::npos ? 0 : 3);
    };
    EXPECT_EXIT(endRoundsUnderTheLimit(), testing::ExitedWithCode(0), "");
}

}  // namespace
