#include "terrain/AdvancedTerrain.h"

#include "render/TexturedMesh.h"
#include "support/GlContext.h"
#include "support/PhysicsWorld.h"
#include "terrain/MarchingCubesHandler.h"

#include <GL/glew.h>
#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

// The landscape against a real context and dynamics world; each test builds one, seeded.

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
        terrain = std::make_unique<AdvancedTerrain>([] { return 20240611u; });
        triangles = printedCount(testing::internal::GetCapturedStdout());
    }
    bool blocked(const glm::vec3& p) const { return terrain->isBlocked(p.x, p.y, p.z); }
    // Makes every grid point air, so single points can be made solid.
    void clearGrid() {
        for (glm::vec4& p : terrain->marchingCubesHandler->points) p.w = iso() - 1.0f;
    }
    void setPoint(int x, int y, int z, float density) {
        terrain->marchingCubesHandler->points[static_cast<size_t>(z) * N * N + y * N + x].w = density;
    }
    float iso() const { return terrain->marchingCubesHandler->isoLevel; }

    std::unique_ptr<AdvancedTerrain> terrain;
    unsigned long triangles = 0;  // as the marching-cubes pass printed them
};

}  // namespace

TEST_F(AdvancedTerrainTest, MeshBodyAndGridDescribeTheSameLandAndARegenerationSwapsThemAll) {
    ASSERT_GT(triangles, 1000u);
    EXPECT_EQ(static_cast<unsigned long>(terrain->mesh->vertexCount), 3 * triangles);
    EXPECT_EQ(terrain->rigidBody->getUserPointer(), static_cast<SceneObject*>(terrain.get()));
    EXPECT_EQ(terrain->rigidBody->getBroadphaseHandle(), nullptr) << "the game adds it, not the terrain";

    testsupport::PhysicsWorld physics;
    physics.addBox("rabbit", glm::vec3(100, 200, 100), glm::vec3(1.0f));
    physics->addRigidBody(terrain->rigidBody);
    const auto oldMesh = terrain->mesh;
    terrain->marchingCubesHandler->seedSource = [] { return 20240612u; };
    testing::internal::CaptureStdout();
    terrain->regenerate(physics.get());
    const unsigned long second = printedCount(testing::internal::GetCapturedStdout());

    EXPECT_NE(terrain->mesh, oldMesh);
    EXPECT_EQ(static_cast<unsigned long>(terrain->mesh->vertexCount), 3 * second);
    const auto* shape = static_cast<const btTriangleMesh*>(terrain->collisionShape->getMeshInterface());
    EXPECT_EQ(static_cast<unsigned long>(shape->getNumTriangles()), second);
    ASSERT_EQ(physics->getNumCollisionObjects(), 2) << "the old body left, the new one came in";
    const btVector3 from(400, 150, 400), to(400, -10, 400);
    btCollisionWorld::ClosestRayResultCallback hit(from, to);
    physics->rayTest(from, to, hit);
    ASSERT_TRUE(hit.hasHit());
    EXPECT_EQ(hit.m_collisionObject, terrain->rigidBody);
    const float ground = static_cast<float>(hit.m_hitPointWorld.y());
    EXPECT_TRUE(terrain->isBlocked(400, ground - 10.0f, 400)) << "ground at " << ground;
    EXPECT_FALSE(terrain->isBlocked(400, ground + 40.0f, 400)) << "ground at " << ground;
    physics->removeRigidBody(terrain->rigidBody);
}

TEST_F(AdvancedTerrainTest, IsBlockedAsksTheGridPointsAroundTheNearestOne) {
    clearGrid();
    // Rounded grid coordinates 0, 127 and beyond are off limits; 1 and 126 are the first free ones.
    const glm::vec3 inside = world(64, 64, 64);
    for (int axis = 0; axis < 3; ++axis) {
        for (float c : {-1.0f, 0.0f, 0.49f, 126.6f, 127.0f, 640.0f}) {
            glm::vec3 p = inside;
            p[axis] = c * SCALE;
            EXPECT_TRUE(blocked(p)) << "axis " << axis << " at " << c;
        }
        for (float c : {0.5f, 1.0f, 126.0f, 126.4f}) {
            glm::vec3 p = inside;
            p[axis] = c * SCALE;
            EXPECT_FALSE(blocked(p)) << "axis " << axis << " at " << c;
        }
    }

    // Any solid point among the 27 around the nearest grid point; exactly the iso level is air.
    const glm::vec3 query = world(40.4f, 49.6f, 60.3f);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dz = -1; dz <= 1; ++dz) {
                setPoint(40 + dx, 50 + dy, 60 + dz, iso() + 0.01f);
                EXPECT_TRUE(blocked(query)) << dx << " " << dy << " " << dz;
                setPoint(40 + dx, 50 + dy, 60 + dz, iso());
            }
    EXPECT_FALSE(blocked(query));
    setPoint(42, 50, 60, iso() + 100.0f);  // two grid steps away is no neighbour
    EXPECT_FALSE(blocked(query));

    // Halfway coordinates round away from zero: 2.5 to 3, next to the solid point at 4; 5.5 to 6.
    setPoint(4, 60, 60, iso() + 1.0f);
    EXPECT_TRUE(blocked(world(2.5f, 60, 60)));
    EXPECT_FALSE(blocked(world(2.49f, 60, 60)));
    EXPECT_FALSE(blocked(world(5.5f, 60, 60)));
}
