#include "app/Settings.h"

#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

auto fields(const Settings& s) {
    return std::make_tuple(s.width, s.height, s.refreshRate, s.brightness, s.fullscreen, s.title, s.samples,
                           s.blobbyObjectVCount);
}

Settings readText(const std::string& text) {
    testsupport::TempDirectory folder;
    return readSettings(folder.writeText("settings.ini", text));
}

TEST(Settings, MissingFileIsReportedAndEveryKeyIsRead) {
    testing::internal::CaptureStdout();
    const Settings missing = readSettings("/nonexistent/settings.ini");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ERROR: Failed to load '/nonexistent/settings.ini'. Using default values instead.\n");
    EXPECT_EQ(fields(missing), std::make_tuple(1920, 1080, 60, 1.0f, false, std::string("Quillmarsh"), 2, 40));
    EXPECT_EQ(fields(readSettings("res/settings.ini")), fields(missing)) << "the committed file lists the defaults";

    const Settings s = readText(
        "[window]\nwidth = 800\nheight = 600\nrefresh_rate = 144\nbrightness = 0.5\nfullscreen = true\n"
        "title = Cats\nsamples = 4\n[world]\nblobby_object_v_count = 20\n");
    EXPECT_EQ(fields(s), std::make_tuple(800, 600, 144, 0.5f, true, std::string("Cats"), 4, 20));
}

TEST(Settings, UnusableValuesAreReportedAndReplacedByTheDefault) {
    const struct {
        const char* text;
        int Settings::*field;
        int expected;
        bool reported;
    } cases[] = {
        {"[window]\nwidth = 0", &Settings::width, 1920, true},
        {"[window]\nheight = -5", &Settings::height, 1080, true},
        {"[window]\nsamples = -1", &Settings::samples, 2, true},
        {"[window]\nsamples = 0", &Settings::samples, 0, false},
        {"[window]\nsamples = many", &Settings::samples, 2, false},
        {"[world]\nblobby_object_v_count = 1", &Settings::blobbyObjectVCount, 40, true},
        {"[world]\nblobby_object_v_count = 2", &Settings::blobbyObjectVCount, 2, false},
        {"[world]\nblobby_object_v_count = 128", &Settings::blobbyObjectVCount, 128, false},
        {"[world]\nblobby_object_v_count = 129", &Settings::blobbyObjectVCount, 40, true},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        const Settings s = readText(c.text);
        const std::string report = testing::internal::GetCapturedStderr();
        EXPECT_EQ(s.*c.field, c.expected) << c.text;
        const std::string line = std::strchr(c.text, '\n') + 1;
        EXPECT_EQ(report.find(line) != std::string::npos, c.reported) << report;
    }
    testing::internal::CaptureStderr();
    EXPECT_FLOAT_EQ(readText("[audio]\nvolume = 1.5").audioVolume, 1.0f);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("volume = 1.5"), std::string::npos);
    EXPECT_FLOAT_EQ(readText("[audio]\nvolume = 0").audioVolume, 0.0f);
}

}  // namespace
