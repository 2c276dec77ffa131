#include "terrain/AdvancedTerrain.h"

#include "scene/ObjectTags.h"
#include "scene/Random.h"
#include "physics/RayQueries.h"
#include "render/Material.h"
#include "render/TexturedMesh.h"
#include "render/VertexArray.h"
#include "support/GlContext.h"
#include "support/PhysicsWorld.h"
#include "terrain/GrassScatter.h"
#include "terrain/MarchingCubesHandler.h"
#include "terrain/TerrainChunks.h"

#include <GL/glew.h>
#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr int N = 128;
constexpr float SCALE = 6.25f;  // world units per grid unit

glm::vec3 world(float x, float y, float z) { return glm::vec3(x, y, z) * SCALE; }

// The triangle count, which the marching-cubes pass prints on the last line of its own.
unsigned long printedCount(const std::string& out) {
    const size_t end = out.find_last_not_of('\n');
    const size_t start = out.find_last_of('\n', end);
    return std::stoul(out.substr(start == std::string::npos ? 0 : start + 1));
}

class AdvancedTerrainTest : public testsupport::GlTest {
protected:
    AdvancedTerrainTest() {
        testing::internal::CaptureStdout();
        Random random(20240611u);
        terrain = std::make_unique<AdvancedTerrain>(random);
        triangles = printedCount(testing::internal::GetCapturedStdout());
    }
    bool blocked(const glm::vec3& p) const { return terrain->isBlocked(p.x, p.y, p.z); }
    // Makes every grid point air, so single points can be made solid.
    void clearGrid() { terrain->ground.assign(static_cast<size_t>(N) * N * N, 0); }
    void setPoint(int x, int y, int z, bool solid) {
        terrain->ground[static_cast<size_t>(z) * N * N + y * N + x] = solid ? 1 : 0;
    }

    std::unique_ptr<AdvancedTerrain> terrain;
    unsigned long triangles = 0;  // as the marching-cubes pass printed them
};

}  // namespace

TEST_F(AdvancedTerrainTest, MeshBodyAndGridAreOneLandARegenerationSwapsThemAllAndIsBlockedAsksTheNearestGridPoints) {
    ASSERT_GT(triangles, 1000u);
    EXPECT_EQ(static_cast<unsigned long>(terrain->mesh->vertexCount), 3 * triangles);
    glm::vec3 low(1e9f), high(-1e9f);
    for (const TerrainChunks::Chunk& chunk : terrain->chunks->chunks()) {
        low = glm::min(low, chunk.min);
        high = glm::max(high, chunk.max);
    }
    EXPECT_TRUE(low.x < 10 && low.z < 10 && high.x > 780 && high.z > 780 && high.y < 100)
        << "the land drawn spans the map";

    testsupport::PhysicsWorld dynamics;
    dynamics.addBox(tags::kRabbit, glm::vec3(100, 200, 100), glm::vec3(1.0f));
    dynamics->addRigidBody(terrain->rigidBody);
    const auto oldMesh = terrain->mesh;
    Random random(20240612u);
    testing::internal::CaptureStdout();
    terrain->regenerate(dynamics.get(), random);
    const unsigned long second = printedCount(testing::internal::GetCapturedStdout());

    EXPECT_NE(terrain->mesh, oldMesh);
    EXPECT_EQ(static_cast<unsigned long>(terrain->mesh->vertexCount), 3 * second);
    const auto* shape = static_cast<const btTriangleMesh*>(terrain->collisionShape->getMeshInterface());
    EXPECT_EQ(static_cast<unsigned long>(shape->getNumTriangles()), second);
    ASSERT_EQ(dynamics->getNumCollisionObjects(), 2) << "the old body left, the new one came in";
    const physics::RayHit hit = physics::dropDown(dynamics.get(), glm::vec3(400, 150, 400), 160);
    ASSERT_TRUE(hit.hit);
    EXPECT_EQ(hit.owner, terrain.get());
    EXPECT_EQ(terrain->name, "terrain");
    const float ground = hit.position().y;
    EXPECT_TRUE(terrain->isBlocked(400, ground - 10.0f, 400)) << "ground at " << ground;
    EXPECT_FALSE(terrain->isBlocked(400, ground + 40.0f, 400)) << "ground at " << ground;
    dynamics->removeRigidBody(terrain->rigidBody);

    // On a cleared grid: rounded grid coordinates 0, 127 and beyond are off limits, 1 to 126 free.
    clearGrid();
    const glm::vec3 inside = world(64, 64, 64);
    for (int axis = 0; axis < 3; ++axis) {
        for (float c : {-1.0f, 0.0f, 0.49f, 0.5f, 1.0f, 126.0f, 126.4f, 126.6f, 127.0f, 640.0f}) {
            glm::vec3 p = inside;
            p[axis] = c * SCALE;
            EXPECT_EQ(blocked(p), c < 0.5f || c > 126.5f) << "axis " << axis << " at " << c;
        }
    }

    // Any solid point among the 27 around the nearest grid point.
    const glm::vec3 query = world(40.4f, 49.6f, 60.3f);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dz = -1; dz <= 1; ++dz) {
                setPoint(40 + dx, 50 + dy, 60 + dz, true);
                EXPECT_TRUE(blocked(query)) << dx << " " << dy << " " << dz;
                setPoint(40 + dx, 50 + dy, 60 + dz, false);
            }
    EXPECT_FALSE(blocked(query));
    setPoint(42, 50, 60, true);  // two grid steps away is no neighbour
    EXPECT_FALSE(blocked(query));

    // Halfway coordinates round away from zero: 2.5 to 3, next to the solid point at 4; 5.5 to 6.
    setPoint(4, 60, 60, true);
    EXPECT_TRUE(blocked(world(2.5f, 60, 60)));
    EXPECT_FALSE(blocked(world(2.49f, 60, 60)));
    EXPECT_FALSE(blocked(world(5.5f, 60, 60)));

    // A marched grid is kept as ground where it is denser than its iso level (exactly the level is
    // air) and freed; released, everything is blocked.
    MarchingCubesHandler& grid = *terrain->marchingCubesHandler;
    grid.points.assign(static_cast<size_t>(N) * N * N, glm::vec4(0.0f, 0.0f, 0.0f, grid.isoLevel - 1.0f));
    grid.points[static_cast<size_t>(60) * N * N + 50 * N + 40].w = grid.isoLevel;
    grid.points[static_cast<size_t>(60) * N * N + 50 * N + 80].w = grid.isoLevel + 0.01f;
    terrain->keepGround();
    EXPECT_TRUE(grid.points.empty());
    EXPECT_FALSE(blocked(world(40, 50, 60)));
    EXPECT_TRUE(blocked(world(80, 50, 60)));
    terrain->releaseGrid();
    EXPECT_TRUE(blocked(world(40, 50, 60)));
}

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
    world.addGround(tags::kTerrain, 2.0f);
    world.addGround(tags::kWater, 4.0f);  // after a reset the lake is in the world while grass is scattered
    world.addBox("rock", glm::vec3(175, 4, 400), glm::vec3(124.5f, 4, 420));  // x 50.5 to 299.5, top 8
    int queries = 0;
    Random random(11);
    grass.scatter(
        renderMap, world.get(),
        [&](float x, float, float) {
            ++queries;
            return x >= 600.0f;
        },
        random);
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
    world.addBox(tags::kTerrain, glm::vec3(200, -6, 400), glm::vec3(200, 5, 420));  // x < 400, top at -1
    Random random(12);
    grass.scatter(renderMap, world.get(), GrassScatter::BlockedQuery(), random);
    ASSERT_FALSE(tufts().empty());
    for (const auto& tuft : tufts()) {
        const glm::vec3& p = tuft->position;
        EXPECT_GE(p.x, 400.0f);
        EXPECT_TRUE(isWhole(p.y + 0.5f) && p.y >= 9.5f && p.y <= 98.5f) << "its start height less the sink";
    }
}

}  // namespace
