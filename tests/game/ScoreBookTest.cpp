#include "game/ScoreBook.h"

#include "game/AtomicFile.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ino_t inodeOf(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// Files in `folder` other than the score file itself.
std::vector<std::string> strayFiles(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename() != "scores.txt") names.push_back(entry.path().filename().string());
    return names;
}

class ScoreBookTest : public ::testing::Test {
protected:
    std::unique_ptr<ScoreBook> open() {
        auto book = std::make_unique<ScoreBook>(folder, report, [this] { return now; });
        book->load();
        return book;
    }

    testsupport::TempDirectory home;
    std::string folder = home.path() + "/data/quillmarsh";
    std::ostringstream report;
    std::time_t now = 1700000000;
};

TEST_F(ScoreBookTest, FolderFollowsXdgDataHomeThenHome) {
    EXPECT_EQ(ScoreBook::defaultFolder("/x/data", "/home/cat"), "/x/data/quillmarsh");
    EXPECT_EQ(ScoreBook::defaultFolder("", "/home/cat"), "/home/cat/.local/share/quillmarsh");
    EXPECT_EQ(ScoreBook::defaultFolder("relative/data", "/home/cat"), "/home/cat/.local/share/quillmarsh");
    EXPECT_EQ(ScoreBook::defaultFolder(nullptr, nullptr), "");
}

TEST_F(ScoreBookTest, RoundsAndBestSurviveARestartAndOnlyAHigherScoreBeatsTheBest) {
    auto book = open();
    EXPECT_FALSE(book->record(0, 60));  // nothing to beat yet, but nothing won either
    EXPECT_TRUE(book->record(30, 60));
    now += 100;
    EXPECT_FALSE(book->record(30, 41));  // a tie is not a new best
    EXPECT_TRUE(book->record(31, 12));
    for (int i = 0; i < 12; ++i) book->record(i, 60);  // pushes the best round out of the recent list

    const auto again = open();
    EXPECT_EQ(again->best(), 31);
    ASSERT_EQ(again->recent().size(), ScoreBook::kRecentRounds);
    EXPECT_EQ(again->recent().front().score, 2);
    EXPECT_EQ(again->recent().back().score, 11);
    EXPECT_EQ(again->recent().back().seconds, 60);
    EXPECT_EQ(again->recent().back().date, now);
    EXPECT_EQ(report.str(), "");
}

TEST_F(ScoreBookTest, EveryWriteReplacesTheFileWholeOrNotAtAll) {
    auto book = open();
    book->record(5, 60);
    const std::string path = book->filePath();
    const std::string before = contents(path);
    const ino_t inode = inodeOf(path);
    book->record(9, 60);
    EXPECT_NE(inodeOf(path), inode) << "rewritten in place instead of renamed over";
    EXPECT_TRUE(strayFiles(folder).empty());

    // The temporary file cannot be made: the file keeps its last good content, the game its best.
    const std::string good = contents(path);
    fs::create_directories(AtomicFile::temporaryPath(path));
    EXPECT_TRUE(book->record(12, 60));
    book->record(13, 60);
    EXPECT_EQ(contents(path), good);
    EXPECT_NE(good, before);
    EXPECT_EQ(book->best(), 13);
    EXPECT_NE(report.str().find("Cannot save the scores"), std::string::npos);
    EXPECT_EQ(report.str().find('\n'), report.str().size() - 1) << "said more than once: " << report.str();
}

TEST_F(ScoreBookTest, ADamagedFileIsMovedAsideOnceAndANewOneBegun) {
    const std::string damaged = "quillmarsh scores 1\nbest 40\nround 40 6";
    home.writeText("data/quillmarsh/scores.txt", damaged);
    auto book = open();
    EXPECT_EQ(book->best(), 0);
    const auto aside = strayFiles(folder);
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(contents(folder + "/" + aside.front()), damaged);
    EXPECT_NE(report.str().find(aside.front()), std::string::npos) << report.str();

    EXPECT_TRUE(book->record(7, 60));
    home.writeText("data/quillmarsh/scores.txt", "best 99\n");  // damaged again, in the same second
    book->record(3, 60);
    EXPECT_EQ(strayFiles(folder).size(), 2u) << "the first damaged file was overwritten";
    EXPECT_EQ(report.str().find('\n'), report.str().size() - 1) << "said more than once: " << report.str();
    EXPECT_EQ(open()->best(), 7);
}

TEST_F(ScoreBookTest, TwoGamesAtOnceNeverLoseTheBetterScore) {
    auto first = open();
    auto second = open();
    first->record(50, 60);
    EXPECT_FALSE(second->record(20, 60));
    EXPECT_EQ(second->best(), 50);
    EXPECT_EQ(open()->best(), 50);
    EXPECT_EQ(open()->recent().size(), 2u);
}

}  // namespace
