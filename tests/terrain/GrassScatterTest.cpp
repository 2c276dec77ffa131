#include "terrain/GrassScatter.h"

#include "render/Material.h"
#include "render/TexturedMesh.h"
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

TEST_F(GrassScatterTest, TuftsSitJustBelowWhatTheirDropFindsFirstLookingThroughWater) {
    world.addGround("terrain", 2.0f);
    world.addGround("water", 4.0f);  // after a reset the lake is in the world while grass is scattered
    world.addBox("rock", glm::vec3(175, 4, 400), glm::vec3(124.5f, 4, 420));  // x 50.5 to 299.5, top 8
    int queries = 0;
    std::srand(11);
    grass.scatter(renderMap, world.get(), [&](float x, float, float) {
        ++queries;
        return x >= 600.0f;
    });
    EXPECT_EQ(queries, GrassScatter::kAttempts);
    EXPECT_GT(tufts().size(), 300u) << "all but the blocked quarter";
    for (const auto& tuft : tufts()) {
        const glm::vec3& p = tuft->position;
        EXPECT_TRUE(isWhole(p.x) && isWhole(p.z) && isWhole(tuft->rotation.y));
        EXPECT_TRUE(p.x >= 50.0f && p.x < 600.0f && p.z >= 50.0f && p.z <= 749.0f) << p.x << ", " << p.z;
        EXPECT_NEAR(p.y, p.x > 50.0f && p.x < 300.0f ? 7.5f : 1.5f, 1e-4f) << "on the rock or the ground";
        EXPECT_NEAR(tuft->rotation.x, -1.5707964f, 1e-5f);
        EXPECT_TRUE(tuft->rotation.y >= 0.0f && tuft->rotation.y < 360.0f);
        EXPECT_EQ(tuft->vaoId, grass.templateMesh->vaoId);
    }
    EXPECT_TRUE(grass.templateMesh->material->hasTransparency) << "both sides of the blades show";
}

TEST_F(GrassScatterTest, NothingBelowLeavesTheStartHeightAndGroundBelowTheWaterLineGetsNone) {
    world.addBox("terrain", glm::vec3(200, -6, 400), glm::vec3(200, 5, 420));  // x < 400, top at -1
    std::srand(12);
    grass.scatter(renderMap, world.get(), GrassScatter::BlockedQuery());
    ASSERT_FALSE(tufts().empty());
    for (const auto& tuft : tufts()) {
        const glm::vec3& p = tuft->position;
        EXPECT_GE(p.x, 400.0f);
        EXPECT_TRUE(isWhole(p.y + 0.5f) && p.y >= 9.5f && p.y <= 98.5f) << "its start height less the sink";
    }
}

}  // namespace
