#include "menu/Settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// Reads `text` as a settings file and keeps what was reported on standard error.
struct Read {
    Settings settings;
    std::string errors;
};

Read readText(const std::string& text) {
    char name[] = "/tmp/quillmarsh-graphics-XXXXXX";
    const int fd = mkstemp(name);
    EXPECT_GE(fd, 0);
    close(fd);
    std::ofstream(name) << text;
    testing::internal::CaptureStderr();
    Read read{readSettings(name), ""};
    read.errors = testing::internal::GetCapturedStderr();
    std::remove(name);
    return read;
}

}  // namespace

TEST(GraphicsSettings, EveryKeyIsOptionalAndAutoLeavesTheChoiceToTheRenderer) {
    const Read none = readText("[window]\nwidth = 800\n");
    EXPECT_EQ(none.errors, "");
    EXPECT_EQ(chosenQualityLevel(none.settings, "llvmpipe (LLVM 15.0.6, 256 bits)"), QualityLevel::Low);
    EXPECT_EQ(chosenQualityLevel(readText("[graphics]\nquality = AUTO\n").settings, "NVIDIA"), QualityLevel::High);

    const Read chosen = readText("[Graphics]\nQuality = Medium\nrender_scale = 0.6\nvsync = yes\nfps_limit = 0x3c\n");
    EXPECT_EQ(chosen.errors, "");
    EXPECT_EQ(chosenQualityLevel(chosen.settings, "llvmpipe"), QualityLevel::Medium);
    EXPECT_TRUE(chosen.settings.vsync);
    EXPECT_EQ(chosen.settings.fpsLimit, 60);
    // The player's scale holds at every level; the settings' samples go to high.
    for (QualityLevel level : {QualityLevel::Low, QualityLevel::High})
        EXPECT_FLOAT_EQ(graphicsQuality(level, chosen.settings).sceneScale(1920, 1080), 0.6f);
    EXPECT_EQ(graphicsQuality(QualityLevel::High, readText("[window]\nsamples = 4\n").settings).samples, 4);
    EXPECT_FLOAT_EQ(graphicsQuality(QualityLevel::Low, none.settings).renderScale,
                    GraphicsQuality::forLevel(QualityLevel::Low, 2).renderScale);
}

TEST(GraphicsSettings, UnusableValuesAreNamedAndReplacedByDefaults) {
    const Read bad = readText("[graphics]\nquality = ultra\nrender_scale = 0.2\nvsync = sometimes\nfps_limit = -5\n");
    EXPECT_FALSE(bad.settings.quality);
    EXPECT_FALSE(bad.settings.renderScale);
    EXPECT_FALSE(bad.settings.vsync);
    EXPECT_EQ(bad.settings.fpsLimit, 0);
    for (const char* named : {"quality = ultra", "render_scale = 0.2", "vsync = sometimes", "fps_limit = -5"})
        EXPECT_NE(bad.errors.find(named), std::string::npos) << named << " in " << bad.errors;

    EXPECT_FALSE(readText("[graphics]\nrender_scale = half\n").settings.renderScale);
    EXPECT_FALSE(readText("[graphics]\nrender_scale = 1.01\n").settings.renderScale);
    EXPECT_FLOAT_EQ(*readText("[graphics]\nrender_scale = 0.25\n").settings.renderScale, 0.25f);
    EXPECT_EQ(readText("[graphics]\nfps_limit = many\n").settings.fpsLimit, 0);
}
