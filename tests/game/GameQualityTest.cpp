#include "game/Game.h"

#include "effects/GuiObject.h"
#include "effects/Hud.h"
#include "effects/WaterFrameBuffers.h"
#include "effects/WaterShader.h"
#include "entities/Player.h"
#include "render/Camera.h"
#include "render/DirectionalLight.h"
#include "render/LookAt.h"
#include "render/SceneTarget.h"
#include "render/ShadowBox.h"
#include "render/ShadowMaster.h"
#include "terrain/AdvancedTerrain.h"
#include "support/GlContext.h"
#include "support/GlProbes.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

// Whole frames of a small game (the test window's 320 × 240) at the graphics levels, on a fixed
// landscape with a clock that stands still. A game takes seconds to build, so there are few tests.

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;
constexpr int BLOCKS = 4;  // the picture compared as 4 x 4 blocks of mean colour

using Blocks = std::array<glm::vec3, BLOCKS * BLOCKS>;

class GameQualityTest : public testsupport::GlTest {
protected:
    void build(QualityLevel level) {
        game = std::make_unique<Game>(
            static_cast<float>(WIDTH) / HEIGHT, WIDTH, HEIGHT, [] { return 1000; }, [] { return 777u; },
            GraphicsQuality::forLevel(level, 0));
        testing::internal::CaptureStdout();  // the landscape's triangle count
        game->init();
        testing::internal::GetCapturedStdout();
    }
    void frame() {
        testing::internal::CaptureStdout();
        game->update(0.0f, 0.0f, std::vector<int>(kPlayerKeyCount, 0));
        testing::internal::GetCapturedStdout();
    }
    // Mean colour of each block of the window after a frame drawn over black.
    Blocks picture() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);  // what the game's passes leave
        frame();
        std::vector<unsigned char> pixels(WIDTH * HEIGHT * 4);
        glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        Blocks blocks{};
        for (int y = 0; y < HEIGHT; ++y)
            for (int x = 0; x < WIDTH; ++x) {
                const unsigned char* p = &pixels[(y * WIDTH + x) * 4];
                blocks[(y * BLOCKS / HEIGHT) * BLOCKS + x * BLOCKS / WIDTH] += glm::vec3(p[0], p[1], p[2]);
            }
        for (glm::vec3& block : blocks) block /= static_cast<float>(WIDTH * HEIGHT / (BLOCKS * BLOCKS));
        return blocks;
    }
    void TearDown() override { game.reset(); }

    std::unique_ptr<Game> game;
};

// A driver that gives a rebuilt program the name of the one it replaces: deleting a program keeps it
// for the next glCreateProgram, which hands it back bare (its shaders detached, so it links afresh with
// every uniform at its default, as a new program would).
GLuint keptProgram = 0;
PFNGLCREATEPROGRAMPROC createProgram = nullptr;
PFNGLDELETEPROGRAMPROC deleteProgram = nullptr;
void GLAPIENTRY keepProgram(GLuint program) { keptProgram = program; }
GLuint GLAPIENTRY reuseProgram() {
    if (keptProgram == 0) return createProgram();
    GLuint shaders[8];
    GLsizei count = 0;
    glGetAttachedShaders(keptProgram, 8, &count, shaders);
    for (GLsizei i = 0; i < count; ++i) glDetachShader(keptProgram, shaders[i]);
    return std::exchange(keptProgram, 0);
}

GLint lightCount(GLuint program) {
    GLint count = -1;
    glGetUniformiv(program, glGetUniformLocation(program, "numberOfLights"), &count);
    return count;
}

}  // namespace

// The same view at each level, switched while playing: the sky, the hills and the cat stay where
// they are, so every block keeps roughly its colour; and no level leaves a block black.
TEST_F(GameQualityTest, EveryLevelDrawsTheSameSceneRecognisably) {
    build(QualityLevel::High);
    game->camera->rotateAround(game->player->position, glm::vec3(0.15f, 0.0f, 0.0f));  // some sky in view
    const Blocks high = picture();
    std::vector<glm::vec4> planes;  // the clip plane of each scene pass
    int unclipped = 0;              // passes started with the clip plane off
    game->onScenePass = [&](const glm::vec4& plane, float) {
        planes.push_back(plane);
        unclipped += !glIsEnabled(GL_CLIP_DISTANCE0);
    };
    for (QualityLevel level : {QualityLevel::Medium, QualityLevel::Low}) {
        game->setQuality(GraphicsQuality::forLevel(level, 0));
        planes.clear();
        unclipped = 0;
        frame();  // the first frame after a switch draws all water images afresh
        ASSERT_EQ(planes.size(), 3u);
        EXPECT_EQ(unclipped, 0) << "the sky drawn last puts the water passes' clip plane back";
        EXPECT_EQ(planes[2], glm::vec4(0, 1, 0, 1)) << "the camera above the water at 4 sees nothing 5 below it";
        // The shadow box moves in whole steps of 32 texels of its map across the sunlight.
        const ShadowMaster& shadows = *game->shadowMaster;
        const glm::mat4 sun = lookAt(shadows.light->position, glm::vec3(0.0f), glm::vec3(0, 0, 1));
        const float texel = 2.0f * ShadowBox::halfExtent / static_cast<float>(game->graphicsQuality().shadowMapSize);
        for (int i = 0; i < 8; ++i) {
            const glm::vec3 across = glm::mat3(sun) * shadows.boxCentre(glm::vec3(9.7f * i * texel));
            EXPECT_NEAR(std::remainder(across.x / texel, 32.0f), 0.0f, 0.01f) << qualityName(level) << " " << i;
        }
        const Blocks other = picture();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_TRUE(testsupport::linkedWell(game->terrain->programId) &&
                    testsupport::linkedWell(WaterShader::getInstance()->programId))
            << qualityName(level);
        for (int i = 0; i < BLOCKS * BLOCKS; ++i) {
            const glm::vec3 difference = glm::abs(other[i] - high[i]);
            EXPECT_LT(difference.r + difference.g + difference.b, 60.0f)
                << qualityName(level) << " block " << i << " differs from high";
            EXPECT_GT(other[i].r + other[i].g + other[i].b, 30.0f) << qualityName(level) << " block " << i;
        }
    }
}

// Resizing follows with projection, HUD, crosshair, aim and targets; a minimised window changes nothing.
TEST_F(GameQualityTest, ResizeAndLevelSwitchFollowWithProjectionHudTargetsAndLights) {
    build(QualityLevel::Low);
    frame();
    game->resize(640, 360);
    EXPECT_FLOAT_EQ(game->camera->aspectRatio, 640.0f / 360.0f);
    const glm::mat4 projection = game->camera->getProjectionMatrix();
    EXPECT_FLOAT_EQ(projection[0][0], projection[1][1] * 360.0f / 640.0f);
    const glm::vec4 corner = game->hud->projection * glm::vec4(640.0f, 360.0f, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(corner.x, 1.0f);
    EXPECT_FLOAT_EQ(corner.y, 1.0f);
    EXPECT_FLOAT_EQ(game->hudTexts[4].x, 640.0f - 450.0f);
    EXPECT_EQ(game->sceneTarget->width(), 320);  // low draws the scene at half the window
    EXPECT_EQ(game->sceneTarget->height(), 180);
    EXPECT_EQ(game->waterFrameBuffers->refractionWidth, 160);
    GLint viewport[4] = {};
    game->waterFrameBuffers->bindReflectionFrameBuffer();  // each image is drawn at its own size
    glGetIntegerv(GL_VIEWPORT, viewport);
    game->waterFrameBuffers->unbindCurrentFrameBuffer();
    EXPECT_EQ(glm::ivec2(viewport[2], viewport[3]), glm::ivec2(80, 45));

    // Free look reaches the new edge, where the crosshair sits at the edge of the screen.
    game->lookOffset = glm::vec2(1000.0f, 0.0f);
    frame();
    EXPECT_FLOAT_EQ(game->lookOffset.x, 320.0f);
    EXPECT_FLOAT_EQ(game->crosshair->position.x, 1.0f);

    game->resize(0, 0);
    frame();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_FLOAT_EQ(game->camera->aspectRatio, 640.0f / 360.0f);
    EXPECT_EQ(game->sceneTarget->width(), 320);
    EXPECT_FALSE(std::isnan(game->aimPoint.x));

    // Switching levels rebuilds the water's and the landscape's programs; sun and lamp go into the new
    // ones whatever names they got.
    const GLuint water = WaterShader::getInstance()->programId, land = game->terrain->programId;
    createProgram = glCreateProgram;
    deleteProgram = glDeleteProgram;
    glCreateProgram = reuseProgram;
    glDeleteProgram = keepProgram;
    game->setQuality(GraphicsQuality::forLevel(QualityLevel::Medium, 0));
    glCreateProgram = createProgram;
    glDeleteProgram = deleteProgram;
    EXPECT_EQ(WaterShader::getInstance()->programId, water);
    EXPECT_EQ(game->terrain->programId, land);
    EXPECT_EQ(lightCount(water), 2);
    EXPECT_EQ(lightCount(land), 2);
}
