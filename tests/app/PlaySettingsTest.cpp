#include "menu/Settings.h"

#include "support/TempDirectory.h"

#include <gtest/gtest.h>

namespace {

struct Read {
    Settings settings;
    std::string errors;
};

Read readText(const std::string& text) {
    testsupport::TempDirectory folder;
    const std::string path = folder.writeText("settings.ini", text);
    testing::internal::CaptureStderr();
    Read read{readSettings(path), ""};
    read.errors = testing::internal::GetCapturedStderr();
    return read;
}

}  // namespace

// [game] and [controls]: words in any case, numbers within their ranges; anything else is named with its
// key and value and the default used.
TEST(PlaySettings, DifficultyAndControlsAreReadAndUnusableValuesNamedAndReplaced) {
    const Read good = readText(
        "[game]\ndifficulty = Hard\n[controls]\nmouse_mode = TURN\nsensitivity = 2.5\ninvert_y = yes\nfov = 75\n");
    EXPECT_EQ(good.errors, "");
    EXPECT_EQ(good.settings.difficulty, Difficulty::Hard);
    EXPECT_EQ(good.settings.look.mode, MouseMode::Turn);
    EXPECT_FLOAT_EQ(good.settings.look.sensitivity, 2.5f);
    EXPECT_TRUE(good.settings.look.invertY);
    EXPECT_FLOAT_EQ(good.settings.look.fieldOfView, 75.0f);
    EXPECT_EQ(readText("[game]\ndifficulty = easy\n").settings.difficulty, Difficulty::Easy);

    const Read bad = readText(
        "[game]\ndifficulty = nightmare\n[controls]\nmouse_mode = wiggle\nsensitivity = 0\ninvert_y = maybe\n"
        "fov = 179\n");
    EXPECT_EQ(bad.settings.difficulty, Difficulty::Normal);
    EXPECT_EQ(bad.settings.look.mode, MouseMode::Crosshair);
    EXPECT_FLOAT_EQ(bad.settings.look.sensitivity, 1.0f);
    EXPECT_FALSE(bad.settings.look.invertY);
    EXPECT_FLOAT_EQ(bad.settings.look.fieldOfView, 60.0f);
    for (const char* named :
         {"difficulty = nightmare", "mouse_mode = wiggle", "sensitivity = 0", "invert_y = maybe", "fov = 179"})
        EXPECT_NE(bad.errors.find(named), std::string::npos) << named << " in " << bad.errors;

    const Settings committed = readSettings("res/settings.ini");
    EXPECT_EQ(committed.difficulty, Difficulty::Normal);
    EXPECT_EQ(committed.look.mode, MouseMode::Crosshair);
}
