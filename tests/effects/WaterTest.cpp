#include "effects/WaterShader.h"

#include "effects/WaterTile.h"
#include "physics/RayQueries.h"
#include "render/Camera.h"
#include "view/Renderer.h"
#include "render/TexturedMesh.h"
#include "support/GlContext.h"
#include "support/GlProbes.h"
#include "support/PhysicsWorld.h"

#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using testsupport::Pixel;

class WaterTest : public testsupport::GlTest {
protected:
    WaterTile tile{glm::vec3(400.0f, 4.0f, 400.0f)};
};

TEST_F(WaterTest, TheTileIsAFlatQuadOverTheMapThatRaysHitWithWavesThatCrossIt) {
    for (const glm::vec3& corner : tile.worldCorners()) {
        EXPECT_NEAR(corner.y, 4.0f, 1e-3f);
        EXPECT_NEAR(std::fabs(corner.x - 400.0f), 800.0f, 1e-2f);
        EXPECT_NEAR(std::fabs(corner.z - 400.0f), 800.0f, 1e-2f);
    }
    testsupport::PhysicsWorld world;
    world.add(tile.rigidBody);
    const physics::RayHit ray = physics::dropDown(world.get(), glm::vec3(250, 50, 650), 100);
    ASSERT_TRUE(ray.hit && ray.owner);
    EXPECT_NEAR(ray.point.y(), 4.0, 0.05);
    EXPECT_EQ(ray.owner->name, "water");

    // The waves advance two hundredths a second and their phase wraps below one.
    tile.advance(1.0f);
    EXPECT_NEAR(tile.moveFactor, 0.02f, 1e-6f);
    tile.moveFactor = 0.995f;
    tile.advance(0.5f);
    EXPECT_NEAR(tile.moveFactor, 0.005f, 1e-5f);
    // A sum just short of 1 in double precision rounds to 1 as a float; the phase must still wrap.
    tile.moveFactor = std::nextafter(1.0f, 0.0f);
    tile.advance(2e-6f);
    EXPECT_TRUE(tile.moveFactor >= 0.0f && tile.moveFactor < 1.0f) << tile.moveFactor;
}

// The water program with a red reflection, a blue refraction and a chosen depth below the surface.
TEST_F(WaterTest, LookingDownShowsTheDepthsAGrazingLookTheMirrorTheShoreNothingAndTheDistanceFog) {
    auto camera = std::make_shared<Camera>(1.0f);
    bool culling = true;
    float brightness = 1.0f;
    Renderer renderer(camera, DrawSwitches{&culling, &brightness});
    renderer.skyColor = glm::vec3(0.0f, 1.0f, 0.0f);  // green fog shows up in any pixel it reaches
    const GLuint reflection = testsupport::solidTexture({255, 0, 0, 255});
    const GLuint refraction = testsupport::solidTexture({0, 0, 255, 255});
    // The bed at the far plane (deep water), at the near plane (the shore) and 2 units under the surface
    // 10 units below the camera.
    const glm::vec4 bed = camera->getProjectionMatrix() * glm::vec4(0.0f, 0.0f, -12.0f, 1.0f);
    GLuint depths[3];
    glGenTextures(3, depths);
    for (int i = 0; i < 3; ++i) {
        const float depth = i == 0 ? 1.0f : i == 1 ? 0.0f : 0.5f * bed.z / bed.w + 0.5f;
        glBindTexture(GL_TEXTURE_2D, depths[i]);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT32, 1, 1, 0, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    }
    // The pixel in column 16, `row` of 32 (the middle by default).
    const auto look = [&](float height, float pitch, GLuint depth, GLuint mirror = 0, int row = 16) {
        camera->setTransform(glm::vec3(400.0f, height, 400.0f), glm::vec3(pitch, 0.0f, 0.0f), glm::vec3(1.0f));
        testsupport::OffscreenTarget target(32);
        target.clear();
        const auto& mesh = *tile.meshes.front();
        glDisable(GL_CULL_FACE);
        renderer.prepareTerrain(mesh, *tile.shader);
        renderer.renderWater(mesh, *tile.shader, mirror ? mirror : reflection, refraction, tile.textures[2],
                             tile.textures[3], depth, 0.3f);
        glBindVertexArray(0);
        return target.at(16, row);
    };
    const Pixel down = look(14.0f, -1.5707964f, depths[0]);
    EXPECT_LT(down[0], 40) << "almost no reflection straight down";
    EXPECT_GT(down[2], 100) << "the refraction, tinted by the depth";
    EXPECT_LT(down[1], 140) << "no fog 10 units away";
    brightness = 0.5f;
    EXPECT_NEAR(look(14.0f, -1.5707964f, depths[0])[2], down[2] / 2, 2) << "the settings' brightness";
    brightness = 1.0f;
    const Pixel grazing = look(4.5f, -0.05f, depths[0]);
    EXPECT_GT(grazing[0], 120) << "mostly mirror at a grazing angle";
    EXPECT_GT(grazing[0], grazing[2]);
    EXPECT_EQ(look(14.0f, -1.5707964f, depths[1]), (Pixel{0, 0, 0, 255})) << "clear where there is no depth of water";
    const Pixel shallow = look(14.0f, -1.5707964f, depths[2]);
    EXPECT_TRUE(shallow[2] > 80 && shallow[2] < 160) << "half clear 2 units deep: " << int(shallow[2]);
    // The mirror image was drawn upside down: the lower half of the view shows its upper half.
    const GLuint mirror =
        testsupport::imageTexture(2, {{255, 0, 0, 255}, {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 255, 0, 255}});
    const Pixel below = look(4.5f, -0.05f, depths[0], mirror, 4);
    EXPECT_GT(below[1], below[0]);
    // About 450 units away the water is mostly fog, like the land around it.
    const Pixel far = look(24.0f, -0.06f, depths[0]);
    EXPECT_GT(far[1], 150);
    EXPECT_GT(far[1], std::max(far[0], far[2]));
    const GLuint textures[] = {reflection, refraction, mirror, depths[0], depths[1], depths[2]};
    glDeleteTextures(6, textures);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
