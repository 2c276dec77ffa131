#include "app/Settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// Writes `text` to a fresh temporary INI file and reads it back through readSettings.
class SettingsFile : public ::testing::Test {
protected:
    Settings read(const std::string& text) {
        char name[] = "/tmp/quillmarsh-settings-XXXXXX";
        const int fd = mkstemp(name);
        EXPECT_GE(fd, 0);
        close(fd);
        path = name;
        std::ofstream(path) << text;
        return readSettings(path);
    }
    void TearDown() override {
        if (!path.empty()) std::remove(path.c_str());
    }
    std::string path;
};

TEST_F(SettingsFile, MissingFileReportsOnceAndUsesEveryDefault) {
    testing::internal::CaptureStdout();
    const Settings s = readSettings("/tmp/quillmarsh-no-such-dir/settings.ini");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ERROR: Failed to load '/tmp/quillmarsh-no-such-dir/settings.ini'. Using default values instead.\n");
    EXPECT_EQ(s.width, 1920);
    EXPECT_EQ(s.height, 1080);
    EXPECT_EQ(s.refreshRate, 60);
    EXPECT_FLOAT_EQ(s.brightness, 1.0f);
    EXPECT_FALSE(s.fullscreen);
    EXPECT_EQ(s.title, "Quillmarsh");
    EXPECT_EQ(s.samples, 2);
    EXPECT_EQ(s.blobbyObjectVCount, 40);
}

TEST_F(SettingsFile, IntegersInHexadecimalOctalAndDecimal) {
    const Settings s = read("[window]\nwidth = 0x500\nheight = 01000\nrefresh_rate = 144\n");
    EXPECT_EQ(s.width, 1280);
    EXPECT_EQ(s.height, 512);
    EXPECT_EQ(s.refreshRate, 144);
}

TEST_F(SettingsFile, BooleanWordsInAnyCase) {
    EXPECT_TRUE(read("[window]\nfullscreen = Yes\n").fullscreen);
    EXPECT_TRUE(read("[window]\nfullscreen = ON\n").fullscreen);
    EXPECT_TRUE(read("[window]\nfullscreen = 1\n").fullscreen);
    EXPECT_TRUE(read("[window]\nfullscreen = tRuE\n").fullscreen);
    EXPECT_FALSE(read("[window]\nfullscreen = sometimes\n").fullscreen);
    EXPECT_FALSE(read("[window]\nfullscreen = off\n").fullscreen);
}

TEST_F(SettingsFile, SectionAndKeyNamesIgnoreCase) {
    const Settings s = read("[WINDOW]\nWIDTH = 800\nTitle = Cats\n[World]\nBLOBBY_OBJECT_V_COUNT = 20\n");
    EXPECT_EQ(s.width, 800);
    EXPECT_EQ(s.title, "Cats");
    EXPECT_EQ(s.blobbyObjectVCount, 20);
}

TEST_F(SettingsFile, NumbersFollowedByLettersAndValuesThatDoNotConvert) {
    Settings s = read("[window]\nbrightness = 0.5 bright\nwidth = 800px\nsamples = many\n");
    EXPECT_FLOAT_EQ(s.brightness, 0.5f);
    EXPECT_EQ(s.width, 800);
    EXPECT_EQ(s.samples, 2);
    s = read("[window]\nbrightness = dim\n");
    EXPECT_FLOAT_EQ(s.brightness, 1.0f);
}

TEST_F(SettingsFile, ContinuedTitleLineJoinsWithLineFeed) {
    const Settings s = read("[window]\ntitle = Quill\n  marsh\n");
    EXPECT_EQ(s.title, "Quill\nmarsh");
}

TEST_F(SettingsFile, SyntaxErrorsKeepTheLinesThatParse) {
    const Settings s = read("[window]\nthis line is nonsense\nheight = 600\n[broken\nwidth = 700\n");
    EXPECT_EQ(s.height, 600);
    EXPECT_EQ(s.width, 700);
}

TEST_F(SettingsFile, UnusableValuesAreNamedAndReplacedByDefaults) {
    testing::internal::CaptureStderr();
    const Settings s = read(
        "[window]\nwidth = 0\nheight = -5\nsamples = -1\n[world]\nblobby_object_v_count = 129\n[audio]\nvolume = "
        "1.5\n");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(s.width, 1920);
    EXPECT_EQ(s.height, 1080);
    EXPECT_EQ(s.samples, 2);
    EXPECT_EQ(s.blobbyObjectVCount, 40);
    EXPECT_FLOAT_EQ(s.audioVolume, 1.0f);
    EXPECT_NE(err.find("width = 0"), std::string::npos) << err;
    EXPECT_NE(err.find("height = -5"), std::string::npos) << err;
    EXPECT_NE(err.find("samples = -1"), std::string::npos) << err;
    EXPECT_NE(err.find("blobby_object_v_count = 129"), std::string::npos) << err;
    EXPECT_NE(err.find("volume = 1.5"), std::string::npos) << err;

    EXPECT_EQ(read("[world]\nblobby_object_v_count = 1\n").blobbyObjectVCount, 40);
    EXPECT_EQ(read("[world]\nblobby_object_v_count = 2\n").blobbyObjectVCount, 2);
    EXPECT_EQ(read("[world]\nblobby_object_v_count = 128\n").blobbyObjectVCount, 128);
    EXPECT_EQ(read("[window]\nsamples = 0\n").samples, 0);
    EXPECT_FLOAT_EQ(read("[audio]\nvolume = -0.1\n").audioVolume, 1.0f);
    EXPECT_FLOAT_EQ(read("[audio]\nvolume = 0\n").audioVolume, 0.0f);
}

TEST(CommittedSettings, ListTheDefaults) {
    const Settings s = readSettings("res/settings.ini");
    const Settings defaults;
    EXPECT_EQ(s.width, defaults.width);
    EXPECT_EQ(s.height, defaults.height);
    EXPECT_EQ(s.refreshRate, defaults.refreshRate);
    EXPECT_FLOAT_EQ(s.brightness, defaults.brightness);
    EXPECT_EQ(s.fullscreen, defaults.fullscreen);
    EXPECT_EQ(s.title, defaults.title);
    EXPECT_EQ(s.samples, defaults.samples);
    EXPECT_EQ(s.blobbyObjectVCount, defaults.blobbyObjectVCount);
    EXPECT_EQ(s.audioEnabled, defaults.audioEnabled);
    EXPECT_FLOAT_EQ(s.audioVolume, defaults.audioVolume);
    EXPECT_EQ(s.audioAmbience, defaults.audioAmbience);
}

}  // namespace
