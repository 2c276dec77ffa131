#include "menu/Settings.h"

#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

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

// Hostile settings files: a value is checked before it is narrowed, every one the game cannot use is
// named with its key and replaced by the default, every line the reader cannot parse is named by its
// number, and only a regular text file is read at all (a FIFO must not hang the start).
TEST(Settings, HostileFilesAreNamedAndNeverMisread) {
    const struct {
        const char* text;
        int Settings::*field;
        int expected;
        const char* told;  // on standard error; null: nothing
    } integers[] = {
        {"[window]\nwidth = 4294967297", &Settings::width, 1920, "width = 4294967297 in"},
        {"[window]\nwidth = 100000", &Settings::width, 1920, "width = 100000 in"},
        {"[window]\nwidth = 0", &Settings::width, 1920, "width = 0 in"},
        {"[window]\nwidth = 0x500", &Settings::width, 1280, nullptr},
        {"[window]\nwidth = 800px", &Settings::width, 800, "width = 800px in"},
        {"[window]\nheight = -5", &Settings::height, 1080, "height = -5 in"},
        {"[window]\nrefresh_rate = -5", &Settings::refreshRate, 60, "refresh_rate = -5 in"},
        {"[window]\nsamples = many", &Settings::samples, 2, "samples = many in"},
        {"[window]\nsamples = 0", &Settings::samples, 0, nullptr},
        {"[world]\nblobby_object_v_count = 1", &Settings::blobbyObjectVCount, 40, "blobby_object_v_count = 1 in"},
        {"[world]\nblobby_object_v_count = 2", &Settings::blobbyObjectVCount, 2, nullptr},
        {"[world]\nblobby_object_v_count = 128", &Settings::blobbyObjectVCount, 128, nullptr},
        {"[world]\nblobby_object_v_count = 129", &Settings::blobbyObjectVCount, 40, "blobby_object_v_count = 129"},
        {"[window]\nwidth 640\n\nheight = 480\nwidth: 720", &Settings::width, 720, "Line 2 of"},
    };
    for (const auto& c : integers) {
        testing::internal::CaptureStderr();
        const Settings s = readText(c.text);
        const std::string told = testing::internal::GetCapturedStderr();
        EXPECT_EQ(s.*c.field, c.expected) << c.text;
        EXPECT_EQ(told.find(c.told ? c.told : "Setting") != std::string::npos, c.told != nullptr) << c.text << told;
    }
    for (const char* brightness : {"nan", "-3", "0", "1e39", "bright"}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(readText(std::string("[window]\nbrightness = ") + brightness).brightness, 1.0f) << brightness;
        EXPECT_NE(testing::internal::GetCapturedStderr().find(std::string("brightness = ") + brightness),
                  std::string::npos);
    }
    testing::internal::CaptureStderr();
    EXPECT_FLOAT_EQ(readText("[audio]\nvolume = 1.5").audioVolume, 1.0f);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("volume = 1.5"), std::string::npos);
    testing::internal::CaptureStderr();
    EXPECT_FLOAT_EQ(readText("[hud]\nscale = 2.5").hudScale, 1.0f);
    EXPECT_FLOAT_EQ(readText("[HUD]\nscale = 0.5").hudScale, 0.5f);
    const std::string toldHud = testing::internal::GetCapturedStderr();
    EXPECT_NE(toldHud.find("scale = 2.5"), std::string::npos);
    EXPECT_EQ(toldHud.find("scale = 0.5"), std::string::npos);

    testsupport::TempDirectory folder;
    const std::string fifo = folder.path() + "/fifo.ini";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, const char*> refused[] = {
        {fifo, "(is not a regular file)"},
        {folder.path(), "(is a directory)"},
        {folder.writeText("binary.ini", std::string("[window]\nwidth = 800\n\0\x7f", 22)), "(it is not a text file)"},
        {folder.writeText("empty.ini", "\n  \n"), "is empty"},
    };
    for (const auto& [path, reason] : refused) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(fields(readSettings(path)), fields(Settings{})) << path;
        const std::string told = testing::internal::GetCapturedStdout();
        EXPECT_NE(told.find("'" + path + "'"), std::string::npos) << told;
        EXPECT_NE(told.find(reason), std::string::npos) << told;
    }
}

}  // namespace
