#include "app/DataLocator.h"

#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// A folder tree with a working directory and an installed game (PREFIX/bin, PREFIX/share/quillmarsh).
class DataLocatorTest : public ::testing::Test {
protected:
    void giveData(const std::string& folder) {
        fs::create_directories(fs::path(folder) / "shader");
        fs::create_directories(fs::path(folder) / "res");
    }
    std::string dir(const std::string& relative) {
        const std::string path = root.file(relative + "/.keep");
        return fs::path(path).parent_path().string();
    }

    testsupport::TempDirectory root;
    std::string work = dir("work");
    std::string bin = dir("prefix/bin");
    std::string share = root.path() + "/prefix/share/quillmarsh";
};

TEST_F(DataLocatorTest, WorkingDirectoryThenBesideTheExecutableThenTheInstalledShare) {
    const DataLocator locator(work, bin);
    EXPECT_EQ(locator.candidates(), (std::vector<std::string>{work, bin, share}));

    giveData(share);
    EXPECT_EQ(locator.find(), share);
    giveData(bin);
    EXPECT_EQ(locator.find(), bin);
    fs::create_directories(fs::path(work) / "shader");  // half the data is not the data
    EXPECT_EQ(locator.find(), bin);
    giveData(work);
    EXPECT_EQ(locator.find(), work);
}

TEST_F(DataLocatorTest, NoDataAnywhereNamesEveryPlaceLooked) {
    const DataLocator locator(work, bin);
    EXPECT_FALSE(locator.find().has_value());
    const std::string message = locator.failureMessage();
    const size_t inWork = message.find("  " + work + "\n");
    const size_t inBin = message.find("  " + bin + "\n");
    const size_t inShare = message.find("  " + share + "\n");
    ASSERT_NE(inWork, std::string::npos) << message;
    ASSERT_NE(inBin, std::string::npos) << message;
    ASSERT_NE(inShare, std::string::npos) << message;
    EXPECT_LT(inWork, inBin);
    EXPECT_LT(inBin, inShare);
    EXPECT_NE(message.find("shader/"), std::string::npos);
}

TEST_F(DataLocatorTest, CommandLineThenWorkingDirectoryThenInstalledSettings) {
    const DataLocator locator(work, bin);
    // Nothing anywhere: the usual name, whose absence the settings loader reports.
    EXPECT_EQ(locator.settingsFile("", share), "res/settings.ini");
    const std::string installed = root.writeText("prefix/share/quillmarsh/res/settings.ini", "");
    EXPECT_EQ(locator.settingsFile("", share), installed);
    root.writeText("work/res/settings.ini", "");
    EXPECT_EQ(locator.settingsFile("", share), "res/settings.ini");
    EXPECT_EQ(locator.settingsFile("mine.ini", share), "mine.ini");
}

}  // namespace
