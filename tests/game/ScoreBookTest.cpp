#include "game/ScoreBook.h"

#include "game/AtomicFile.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
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

// Everything in the folder but the score file itself.
std::vector<std::string> otherFiles(const std::string& folder) {
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

TEST_F(ScoreBookTest, TwoGamesAtOnceNeverLoseTheBetterScore) {
    auto first = open(), second = open();
    first->record(50, 60);
    EXPECT_FALSE(second->record(20, 60));
    EXPECT_EQ(open()->best(), 50);
    EXPECT_EQ(open()->recent().size(), 2u);
}

}  // namespace
