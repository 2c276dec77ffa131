#include "app/DataLocator.h"

#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// A working directory and an installed game (PREFIX/bin, PREFIX/share/quillmarsh) in a fresh folder.
struct Folders {
    testsupport::TempDirectory root;
    std::string work = root.path() + "/work", bin = root.path() + "/prefix/bin";
    std::string share = root.path() + "/prefix/share/quillmarsh";
    DataLocator locator{work, bin};

    void giveData(const std::string& folder) {
        fs::create_directories(folder + "/shader");
        fs::create_directories(folder + "/res");
    }
};

TEST(DataLocatorTest, WorkingDirectoryThenBesideTheExecutableThenTheInstalledShare) {
    Folders f;
    EXPECT_FALSE(f.locator.find().has_value());
    const std::string message = f.locator.failureMessage();
    EXPECT_NE(message.find("  " + f.work + "\n  " + f.bin + "\n  " + f.share + "\n"), std::string::npos) << message;

    f.giveData(f.share);
    EXPECT_EQ(f.locator.find(), f.share);
    f.giveData(f.bin);
    EXPECT_EQ(f.locator.find(), f.bin);
    fs::create_directories(f.work + "/shader");  // half the data is not the data
    EXPECT_EQ(f.locator.find(), f.bin);
    f.giveData(f.work);
    EXPECT_EQ(f.locator.find(), f.work);
}

TEST(DataLocatorTest, SettingsFromTheCommandLineThenTheWorkingDirectoryThenTheInstalledDefault) {
    Folders f;
    EXPECT_EQ(f.locator.settingsFile("", f.share), "res/settings.ini");  // whose absence is reported
    const std::string installed = f.root.writeText("prefix/share/quillmarsh/res/settings.ini", "");
    EXPECT_EQ(f.locator.settingsFile("", f.share), installed);
    f.root.writeText("work/res/settings.ini", "");
    EXPECT_EQ(f.locator.settingsFile("", f.share), "res/settings.ini");
    EXPECT_EQ(f.locator.settingsFile("mine.ini", f.share), "mine.ini");
}

}  // namespace
