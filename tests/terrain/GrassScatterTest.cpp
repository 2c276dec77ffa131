#include "terrain/GrassScatter.h"

#include "render/Material.h"
#include "render/TexturedMesh.h"
#include "render/TexturedShader.h"
#include "render/VertexArray.h"
#include "support/GlContext.h"
#include "support/PhysicsWorld.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

bool isWhole(float v) { return v == std::round(v); }

class GrassScatterTest : public testsupport::GlTest {
protected:
    const std::list<std::shared_ptr<TexturedMesh>>& tufts() { return renderMap.at(static_cast<int>(grass.texture)); }

    testsupport::PhysicsWorld world;
    RenderMap renderMap;
    GrassScatter grass;
};

TEST_F(GrassScatterTest, TuftsSitJustBelowTheFirstBodyUnderTheirStartPoint) {
    world.addGround("terrain", 2.0f);
    world.addBox("rock", glm::vec3(175, 4, 400), glm::vec3(124.5f, 4, 420));  // x 50.5 to 299.5, top 8
    int queries = 0;
    const auto blockedEast = [&](float x, float, float) {
        ++queries;
        return x >= 600.0f;
    };
    std::srand(11);
    grass.scatter(renderMap, world.get(), blockedEast);

    EXPECT_EQ(queries, GrassScatter::kAttempts);
    const auto& placed = tufts();
    EXPECT_GT(placed.size(), 300u) << "all but the blocked quarter";
    EXPECT_LT(placed.size(), 450u);
    for (const auto& tuft : placed) {
        const glm::vec3& p = tuft->position;
        EXPECT_TRUE(isWhole(p.x) && isWhole(p.z)) << p.x << ", " << p.z;
        EXPECT_GE(p.x, 50.0f);
        EXPECT_LT(p.x, 600.0f) << "blocked start points place nothing";
        EXPECT_GE(p.z, 50.0f);
        EXPECT_LE(p.z, 749.0f);
        EXPECT_NEAR(p.y, p.x > 50.0f && p.x < 300.0f ? 7.5f : 1.5f, 1e-4f) << "on the rock or the ground";
        EXPECT_NEAR(tuft->rotation.x, -1.5707964f, 1e-5f);
        EXPECT_TRUE(isWhole(tuft->rotation.y));
        EXPECT_GE(tuft->rotation.y, 0.0f);
        EXPECT_LT(tuft->rotation.y, 360.0f);
        EXPECT_FLOAT_EQ(tuft->scale.x, 1.0f);
        EXPECT_EQ(tuft->parent, nullptr);
        EXPECT_EQ(tuft->vaoId, grass.templateMesh->vaoId);
        EXPECT_EQ(tuft->material, grass.templateMesh->material);
    }
    const auto& material = grass.templateMesh->material;
    EXPECT_EQ(material->textureId, grass.texture);
    EXPECT_TRUE(material->hasTransparency);
    EXPECT_FLOAT_EQ(material->shineDamper, 1.0f);
    EXPECT_FLOAT_EQ(material->reflectivity, 1.0f);
    EXPECT_EQ(material->shader, TexturedShader::getInstance());
}

TEST_F(GrassScatterTest, NothingBelowFloatsAndGroundUnderWaterLevelGetsNone) {
    world.addBox("terrain", glm::vec3(200, -6, 400), glm::vec3(200, 5, 420));  // x < 400, top at -1
    std::srand(12);
    grass.scatter(renderMap, world.get(), GrassScatter::BlockedQuery());

    ASSERT_FALSE(tufts().empty());
    for (const auto& tuft : tufts()) {
        const glm::vec3& p = tuft->position;
        EXPECT_GE(p.x, 400.0f);
        EXPECT_TRUE(isWhole(p.y + 0.5f)) << "its start height less the sink";
        EXPECT_GE(p.y, 9.5f);
        EXPECT_LE(p.y, 98.5f);
    }
}

TEST_F(GrassScatterTest, TuftsLookThroughTheWaterToTheLakeBed) {
    world.addGround("terrain", 2.0f);
    world.addGround("water", 4.0f);  // after a reset the lake is in the world while grass is scattered
    std::srand(13);
    grass.scatter(renderMap, world.get(), GrassScatter::BlockedQuery());

    ASSERT_FALSE(tufts().empty());
    for (const auto& tuft : tufts()) EXPECT_NEAR(tuft->position.y, 1.5f, 1e-4f);
}

TEST_F(GrassScatterTest, SameSeedAndGroundGiveTheSameGrass) {
    world.addGround("terrain", 3.0f);
    world.addBox("rock", glm::vec3(400, 5, 400), glm::vec3(100, 5, 100));
    const auto layout = [&] {
        std::srand(77);
        grass.scatter(renderMap, world.get(), GrassScatter::BlockedQuery());
        std::vector<glm::vec4> placed;
        for (const auto& tuft : tufts()) placed.emplace_back(tuft->position, tuft->rotation.y);
        return placed;
    };
    const auto first = layout();
    const auto second = layout();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first, second);
    EXPECT_EQ(renderMap.size(), 1u) << "the earlier scatter's list is gone";
}

TEST_F(GrassScatterTest, EachScatterReleasesThePreviousModelAndTexture) {
    world.addGround("terrain", 1.0f);
    grass.scatter(renderMap, world.get(), GrassScatter::BlockedQuery());
    for (int reset = 0; reset < 20; ++reset) {
        const GLuint oldTexture = grass.texture;
        std::weak_ptr<VertexArray> oldVertices = grass.templateMesh->vertexArray;
        ASSERT_FALSE(oldVertices.expired());
        grass.scatter(renderMap, world.get(), GrassScatter::BlockedQuery());
        EXPECT_NE(grass.texture, oldTexture);
        EXPECT_EQ(glIsTexture(oldTexture), GL_FALSE);
        EXPECT_TRUE(oldVertices.expired()) << "no tuft of the old world keeps the old model";
        EXPECT_EQ(renderMap.size(), 1u);
    }
}

}  // namespace
