#include "game/Game.h"

#include "app/LiveOptions.h"
#include "menu/Settings.h"

#include "effects/GuiObject.h"
#include "effects/WaterFrameBuffers.h"
#include "effects/WaterTile.h"
#include "entities/Player.h"
#include "render/Camera.h"
#include "render/DirectionalLight.h"
#include "render/LookAt.h"
#include "render/SceneTarget.h"
#include "render/ShadowBox.h"
#include "support/GlProbes.h"
#include "support/TestGame.h"
#include "terrain/AdvancedTerrain.h"
#include "view/Renderer.h"
#include "view/ShadowMaster.h"
#include "view/WorldView.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <array>
#include <cmath>
#include <utility>
#include <vector>

// Whole frames of a small game (the test window's 320 × 240) at the graphics levels, on a fixed
// landscape with a clock that stands still. A game takes seconds to build, so there are few tests.

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;
constexpr int BLOCKS = 4;  // the picture compared as 4 x 4 blocks of mean colour

using Blocks = std::array<glm::vec3, BLOCKS * BLOCKS>;

class GameQualityTest : public testsupport::TestGame {
protected:
    void build(QualityLevel level) {
        Game::Setup gameSetup = setup(WIDTH, HEIGHT);
        gameSetup.quality = GraphicsQuality::forLevel(level, 0);
        TestGame::build(gameSetup);
    }
    // Mean colour of each block of the window after a frame drawn over black.
    Blocks picture() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);  // what the game's passes leave
        frame(0);
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
    game->stage([](World& w) { w.putCat(w.player()->position, 0.0f, 0.15f, false); });  // some sky in view
    const Blocks high = picture();
    std::vector<glm::vec4> planes;  // the clip plane of each scene pass
    int unclipped = 0;              // passes started with the clip plane off
    std::vector<float> coarseFrom;  // where each pass starts drawing the strongly simplified landscape
    game->onScenePass([&](const glm::vec4& plane, float) {
        planes.push_back(plane);
        unclipped += !glIsEnabled(GL_CLIP_DISTANCE0);
        coarseFrom.push_back(game->view().renderer().terrainDetail.coarseFrom);
    });
    frame(0);
    frame(0);
    EXPECT_EQ(planes.size(), 6u) << "high draws both water images every frame, standing still too";
    for (QualityLevel level : {QualityLevel::Medium, QualityLevel::Low}) {
        game->setQuality(GraphicsQuality::forLevel(level, 0));
        planes.clear();
        unclipped = 0;
        coarseFrom.clear();
        frame(0);  // the first frame after a switch draws all water images afresh
        ASSERT_EQ(planes.size(), 3u);
        const float levels = game->view().quality().terrainCoarseFrom;
        EXPECT_EQ(coarseFrom, (std::vector<float>{0.0f, levels, levels}))
            << "the mirror image draws the coarsest landscape, the see-through and the main image the level's";
        const Renderer& renderer = game->view().renderer();
        EXPECT_EQ(glm::vec2(renderer.shadowOutlineDistance, renderer.outlineModelDistance),
                  glm::vec2(game->view().quality().shadowOutlineDistance, game->view().quality().outlineModelDistance));
        EXPECT_EQ(unclipped, 0) << "the sky drawn last puts the water passes' clip plane back";
        EXPECT_EQ(planes[2], glm::vec4(0, 1, 0, 1)) << "the camera above the water at 4 sees nothing 5 below it";
        // The shadow box moves in whole steps of 32 texels of its map across the sunlight.
        const ShadowMaster& shadows = game->view().shadows();
        const glm::mat4 sun = lookAt(shadows.light->position, glm::vec3(0.0f), glm::vec3(0, 0, 1));
        const float texel = 2.0f * ShadowBox::halfExtent / static_cast<float>(game->view().quality().shadowMapSize);
        for (int i = 0; i < 8; ++i) {
            const glm::vec3 across = glm::mat3(sun) * shadows.boxCentre(glm::vec3(9.7f * i * texel));
            EXPECT_NEAR(std::remainder(across.x / texel, 32.0f), 0.0f, 0.01f) << qualityName(level) << " " << i;
        }
        const Blocks other = picture();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_TRUE(testsupport::linkedWell(game->world().terrain()->programId) &&
                    testsupport::linkedWell(game->world().waterTiles().front()->programId))
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
    frame(0);
    game->resize(640, 360);
    const Camera& camera = game->view().camera();
    EXPECT_FLOAT_EQ(camera.aspectRatio, 640.0f / 360.0f);
    const glm::mat4 projection = camera.getProjectionMatrix();
    EXPECT_FLOAT_EQ(projection[0][0], projection[1][1] * 360.0f / 640.0f);
    EXPECT_FLOAT_EQ(game->hudRows().rows()[4].x, 640.0f - 450.0f / 3.0f);
    EXPECT_EQ(game->view().lookLimit(), glm::vec2(320.0f, 180.0f));
    EXPECT_EQ(game->view().sceneTarget().width(), 320);  // low draws the scene at half the window
    EXPECT_EQ(game->view().sceneTarget().height(), 180);
    EXPECT_EQ(game->view().waterImages().refractionWidth, 160);
    GLint viewport[4] = {};
    game->view().waterImages().bindReflectionFrameBuffer();  // each image is drawn at its own size
    glGetIntegerv(GL_VIEWPORT, viewport);
    game->view().waterImages().unbindCurrentFrameBuffer();
    EXPECT_EQ(glm::ivec2(viewport[2], viewport[3]), glm::ivec2(80, 45));

    // Free look reaches the new edge, where the crosshair sits at the edge of the screen.
    for (int i = 0; i < 3; ++i) frame(0, {2000.0f * i, 0.0f});  // two frames settle, then a move
    EXPECT_FLOAT_EQ(game->lookOffset().x, 320.0f);
    EXPECT_FLOAT_EQ(game->view().crosshair().position.x, 1.0f);
    const glm::vec3 edge = game->view().aimDirection(game->lookOffset());
    EXPECT_NEAR(std::atan2(edge.x, -edge.z), std::atan(std::tan(glm::radians(30.0f)) * 640.0f / 360.0f), 1e-4f);

    game->resize(0, 0);
    frame(0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_FLOAT_EQ(camera.aspectRatio, 640.0f / 360.0f);
    EXPECT_EQ(game->view().sceneTarget().width(), 320);
    EXPECT_FALSE(std::isnan(game->world().aim(game->view().aimDirection(game->lookOffset())).point.x));

    // Switching levels rebuilds the water's and the landscape's programs; sun and lamp go into the new
    // ones whatever names they got.
    const GLuint water = game->world().waterTiles().front()->programId, land = game->world().terrain()->programId;
    createProgram = glCreateProgram;
    deleteProgram = glDeleteProgram;
    glCreateProgram = reuseProgram;
    glDeleteProgram = keepProgram;
    game->setQuality(GraphicsQuality::forLevel(QualityLevel::Medium, 0));
    glCreateProgram = createProgram;
    glDeleteProgram = deleteProgram;
    EXPECT_EQ(game->world().waterTiles().front()->programId, water);
    EXPECT_EQ(game->world().terrain()->programId, land);
    EXPECT_EQ(lightCount(water), 2);
    EXPECT_EQ(lightCount(land), 2);
    // The new level's name shows for two seconds from the first frame after the switch, however long
    // the switch took.
    const auto named = [this] {
        const auto& rows = game->overlayRows();
        return std::any_of(rows.begin(), rows.end(), [](const HudText& row) { return row.text == "Graphics: medium"; });
    };
    frame(5000);
    EXPECT_TRUE(named());
    frame(900);
    frame(900);
    EXPECT_TRUE(named());
    frame(300);
    EXPECT_FALSE(named());

    // The options apply at once: the field of view reaches the projection, invert Y the look, the HUD
    // scale the rows, the render scale the scene's target; the difficulty waits for the next world.
    Settings was;
    was.quality = QualityLevel::Medium;
    Settings wider = was;
    wider.look.fieldOfView = 90.0f;
    applyOptions(was, wider, {game.get()});
    EXPECT_NEAR(camera.getProjectionMatrix()[1][1], 1.0f / std::tan(glm::radians(45.0f)), 1e-5f);
    Settings now = wider;
    now.look.invertY = true;
    now.hudScale = 2.0f;
    now.renderScale = 0.25f;
    now.difficulty = Difficulty::Hard;
    const float cornerX = game->hudRows().rows()[4].x;
    const uint64_t ticked = game->world().ticks();
    this->now += 300000000;  // rebuilding the level for the new scale takes 300 ms: not play
    applyOptions(wider, now, {game.get()});
    EXPECT_LT(game->hudRows().rows()[4].x, cornerX) << "larger rows start farther from the right edge";
    EXPECT_EQ(game->view().sceneTarget().width(), 160);
    EXPECT_EQ(game->nextDifficulty(), Difficulty::Hard);
    EXPECT_EQ(game->world().start().difficulty, Difficulty::Normal);
    const float pitch = game->world().eye().rotation.x;
    frame(0, {0.0f, 0.0f});  // the new level's first picture
    EXPECT_EQ(game->world().ticks(), ticked);
    frame(0, {0.0f, 0.0f});     // and the frame after it, which plays no tick
    frame(17, {0.0f, 100.0f});  // the mouse down looks up
    EXPECT_GT(game->world().eye().rotation.x, pitch);
}
