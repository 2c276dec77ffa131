#include "render/GraphicsQuality.h"

#include "render/SceneTarget.h"

#include <gtest/gtest.h>

TEST(GraphicsQuality, AutoPicksLowOnlyOnSoftwareRasterisers) {
    for (const char* software :
         {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Google SwiftShader", "Mesa OffScreen swrast",
          "Microsoft Basic Render Driver", "GDI Generic", "Apple Software Renderer", "LLVMPIPE"}) {
        EXPECT_TRUE(isSoftwareRenderer(software)) << software;
        EXPECT_EQ(automaticQualityLevel(software), QualityLevel::Low) << software;
    }
    for (const char* hardware :
         {"NVIDIA GeForce RTX 3060/PCIe/SSE2", "AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)",
          "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", ""}) {
        EXPECT_FALSE(isSoftwareRenderer(hardware)) << hardware;
        EXPECT_EQ(automaticQualityLevel(hardware), QualityLevel::High) << hardware;
    }
}

TEST(GraphicsQuality, LevelNamesInAnyCaseAndTheKeyCyclesThroughAll) {
    QualityLevel level = QualityLevel::High;
    ASSERT_TRUE(parseQualityLevel("LOW", level));
    EXPECT_EQ(level, QualityLevel::Low);
    EXPECT_FALSE(parseQualityLevel("auto", level));
    EXPECT_EQ(level, QualityLevel::Low);  // untouched by a word it does not know
    for (const char* expected : {"medium", "high", "low"}) {
        level = GraphicsQuality::next(level);
        EXPECT_STREQ(qualityName(level), expected);
    }
}

// High is the full look with the settings' multisampling; low draws with none.
TEST(GraphicsQuality, HighIsTheFullLookWithTheSettingsSamples) {
    const GraphicsQuality high = GraphicsQuality::forLevel(QualityLevel::High, 4);
    EXPECT_EQ(high.samples, 4);
    EXPECT_EQ(high.shadowMapSize, 4096);
    EXPECT_EQ(high.waterImageScale, 0.0f);  // the fixed image sizes
    EXPECT_FALSE(high.skipHiddenWater || high.terrainChunks || high.skyLast || high.clipUnderWater);
    EXPECT_EQ(high.terrainShaderDefines(), "#define TERRAIN_DETAIL 2\n#define SHADOW_RADIUS 2\n");
    EXPECT_EQ(high.waterShaderDefines(), "");
    EXPECT_EQ(GraphicsQuality::forLevel(QualityLevel::Low, 4).samples, 0);
}

// Low draws half the window, but never more than 480 x 270 pixels; high always the whole window.
TEST(GraphicsQuality, LowCapsTheScenePixelsOfLargeWindows) {
    const GraphicsQuality low = GraphicsQuality::forLevel(QualityLevel::Low, 2);
    EXPECT_FLOAT_EQ(low.sceneScale(960, 540), 0.5f);
    EXPECT_FLOAT_EQ(low.sceneScale(1920, 1080), 0.25f);
    EXPECT_FLOAT_EQ(GraphicsQuality::forLevel(QualityLevel::High, 2).sceneScale(3840, 2160), 1.0f);
    EXPECT_EQ(SceneTarget::scaled(1366, 0.75f), 1025) << "1024.5 pixels round up";
}
