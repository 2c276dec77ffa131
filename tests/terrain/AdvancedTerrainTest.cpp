#include "terrain/AdvancedTerrain.h"

#include "render/TexturedMesh.h"
#include "support/GlContext.h"
#include "support/PhysicsWorld.h"
#include "terrain/DensityShader.h"
#include "terrain/MarchingCubesHandler.h"
#include "terrain/MarchingCubesShader.h"

#include <GL/glew.h>
#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

// The landscape object against a real context and a real dynamics world. A terrain takes a second or
// two to build on llvmpipe (grid, mesh, four 2048² texture layers), so the tests of one process share
// one (seeded, so every run sees the same landscape), and each test builds at most one more.

namespace {

constexpr int N = 128;
constexpr float SCALE = 6.25f;  // world units per grid unit
constexpr unsigned int SEED = 20240611u;

// Every line of `text` that is a bare number (the marching-cubes pass prints its triangle count so).
std::vector<unsigned long> numberLines(const std::string& text) {
    std::vector<unsigned long> numbers;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty()) continue;
        bool digits = true;
        for (char c : line) digits = digits && std::isdigit(static_cast<unsigned char>(c));
        if (digits) numbers.push_back(std::stoul(line));
    }
    return numbers;
}

int bodiesOf(btDynamicsWorld* world, const btCollisionObject* body) {
    int count = 0;
    const auto& objects = world->getCollisionObjectArray();
    for (int i = 0; i < objects.size(); ++i) count += objects[i] == body ? 1 : 0;
    return count;
}

int bodiesPointingAt(btDynamicsWorld* world, const void* owner) {
    int count = 0;
    const auto& objects = world->getCollisionObjectArray();
    for (int i = 0; i < objects.size(); ++i) count += objects[i]->getUserPointer() == owner ? 1 : 0;
    return count;
}

class AdvancedTerrainTest : public testsupport::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        if (!terrain) {
            testing::internal::CaptureStdout();
            terrain = std::make_shared<AdvancedTerrain>([] { return SEED; });
            constructionOutput = testing::internal::GetCapturedStdout();
            constructedMesh = terrain->mesh;
        }
    }
    static void TearDownTestSuite() {
        constructedMesh.reset();
        terrain.reset();
    }

    static std::shared_ptr<AdvancedTerrain> terrain;
    static std::shared_ptr<TexturedMesh> constructedMesh;
    static std::string constructionOutput;
};

std::shared_ptr<AdvancedTerrain> AdvancedTerrainTest::terrain;
std::shared_ptr<TexturedMesh> AdvancedTerrainTest::constructedMesh;
std::string AdvancedTerrainTest::constructionOutput;

// Replaces the terrain's grid with one uniform density for the duration of a test, so single grid
// points can be made solid; the generated grid comes back afterwards.
class GridOverride {
public:
    GridOverride(MarchingCubesHandler& handler, float density) : handler(handler), saved(handler.points) {
        for (glm::vec4& p : handler.points) p.w = density;
    }
    ~GridOverride() { handler.points = saved; }
    void set(int x, int y, int z, float density) { handler.points[index(x, y, z)].w = density; }

private:
    static size_t index(int x, int y, int z) { return static_cast<size_t>(z) * N * N + y * N + x; }
    MarchingCubesHandler& handler;
    std::vector<glm::vec4> saved;
};

glm::vec3 world(int x, int y, int z) { return glm::vec3(x, y, z) * SCALE; }

}  // namespace

TEST_F(AdvancedTerrainTest, ConstructionBuildsAMatchingMeshAndAnUnattachedBody) {
    const auto printed = numberLines(constructionOutput);
    ASSERT_EQ(printed.size(), 1u) << constructionOutput;
    ASSERT_GT(printed[0], 1000u);
    ASSERT_TRUE(constructedMesh);
    EXPECT_EQ(static_cast<unsigned long>(constructedMesh->vertexCount), 3 * printed[0]);
    EXPECT_NE(constructedMesh->vaoId, 0u);

    EXPECT_EQ(terrain->name, "terrain");
    EXPECT_EQ(terrain->gridSize, N);
    EXPECT_FLOAT_EQ(terrain->gridScale, SCALE);
    EXPECT_NE(terrain->terrainTexture, 0u);
    EXPECT_NE(terrain->programId, 0u);
    ASSERT_NE(terrain->rigidBody, nullptr);
    EXPECT_EQ(terrain->rigidBody->getUserPointer(), static_cast<SceneObject*>(terrain.get()));
    EXPECT_TRUE(terrain->rigidBody->isStaticObject());
    EXPECT_EQ(terrain->rigidBody->getBroadphaseHandle(), nullptr);  // the game adds it, not the terrain
    // The identity transform keeps mesh coordinates in world units.
    EXPECT_EQ(terrain->getModelMatrix(), glm::mat4(1.0f));
}

// One test for the three sides of the query, so a test process builds only one terrain for them.
TEST_F(AdvancedTerrainTest, IsBlockedAnswersFromTheGridPointsAroundTheNearestOne) {
    const float iso = terrain->marchingCubesHandler->isoLevel;
    {
        SCOPED_TRACE("outside the grid's interior, whatever the densities");
        GridOverride grid(*terrain->marchingCubesHandler, iso - 1.0f);
        EXPECT_TRUE(terrain->isBlocked(0, 0, 0));
        const glm::vec3 inside = world(64, 64, 64);
        ASSERT_FALSE(terrain->isBlocked(inside.x, inside.y, inside.z));
        // Rounded grid coordinates 0, 127 and beyond are off limits; 1 and 126 are the first free ones.
        const float blockedCoordinates[] = {-1000.0f,    -SCALE,         0.0f,   0.49f * SCALE,
                                            127 * SCALE, 126.6f * SCALE, 4000.0f};
        const float freeCoordinates[] = {0.5f * SCALE, SCALE, 126 * SCALE, 126.4f * SCALE};
        for (int axis = 0; axis < 3; ++axis) {
            for (float c : blockedCoordinates) {
                glm::vec3 p = inside;
                p[axis] = c;
                EXPECT_TRUE(terrain->isBlocked(p.x, p.y, p.z)) << "axis " << axis << " at " << c;
            }
            for (float c : freeCoordinates) {
                glm::vec3 p = inside;
                p[axis] = c;
                EXPECT_FALSE(terrain->isBlocked(p.x, p.y, p.z)) << "axis " << axis << " at " << c;
            }
        }
    }
    {
        SCOPED_TRACE("any solid point among the 27 around the nearest grid point");
        GridOverride grid(*terrain->marchingCubesHandler, iso - 1.0f);
        const int cx = 40, cy = 50, cz = 60;
        // Slightly off the grid point, on the side that still rounds to it.
        const glm::vec3 query = world(cx, cy, cz) + glm::vec3(0.4f, -0.4f, 0.3f) * SCALE;
        ASSERT_FALSE(terrain->isBlocked(query.x, query.y, query.z));

        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                for (int dz = -1; dz <= 1; ++dz) {
                    grid.set(cx + dx, cy + dy, cz + dz, iso + 0.01f);
                    EXPECT_TRUE(terrain->isBlocked(query.x, query.y, query.z)) << dx << " " << dy << " " << dz;
                    // Exactly at the iso level is still air.
                    grid.set(cx + dx, cy + dy, cz + dz, iso);
                }
        EXPECT_FALSE(terrain->isBlocked(query.x, query.y, query.z));

        // Ground two grid steps away is not a neighbour.
        for (int axis = 0; axis < 3; ++axis)
            for (int step : {-2, 2}) {
                glm::ivec3 g(cx, cy, cz);
                g[axis] += step;
                grid.set(g.x, g.y, g.z, iso + 100.0f);
            }
        EXPECT_FALSE(terrain->isBlocked(query.x, query.y, query.z));
    }
    {
        SCOPED_TRACE("halfway coordinates round away from zero");
        GridOverride grid(*terrain->marchingCubesHandler, iso - 1.0f);
        const glm::ivec3 centre(60, 60, 60);
        for (int axis = 0; axis < 3; ++axis) {
            SCOPED_TRACE("axis " + std::to_string(axis));
            glm::ivec3 solid = centre;
            solid[axis] = 4;  // the only ground: its neighbours along this axis are 3, 4 and 5
            grid.set(solid.x, solid.y, solid.z, iso + 1.0f);
            glm::vec3 p = world(centre.x, centre.y, centre.z);
            const auto blockedAt = [&](float gridCoordinate) {
                p[axis] = gridCoordinate * SCALE;
                return terrain->isBlocked(p.x, p.y, p.z);
            };
            EXPECT_TRUE(blockedAt(2.5f));    // rounds to 3, next to the ground (not to 2, the even one)
            EXPECT_FALSE(blockedAt(2.49f));  // rounds to 2
            EXPECT_FALSE(blockedAt(5.5f));   // rounds to 6 (not 5, which truncation would give)
            EXPECT_FALSE(blockedAt(0.5f));   // 1, inside the grid (not 0, outside it)
            grid.set(solid.x, solid.y, solid.z, iso - 1.0f);
        }
        // The example halfway point between grid points 1 and 2 belongs to 2.
        grid.set(3, 60, 60, iso + 1.0f);
        const glm::vec3 q = world(0, 60, 60) + glm::vec3(SCALE * 1.5f, 0, 0);
        EXPECT_TRUE(terrain->isBlocked(q.x, q.y, q.z));
    }
}

TEST_F(AdvancedTerrainTest, RegenerationSwapsTheBodyInTheWorld) {
    testsupport::PhysicsWorld physics;
    physics.addBox("rabbit", glm::vec3(100, 200, 100), glm::vec3(1.0f));
    physics->addRigidBody(terrain->rigidBody);
    ASSERT_EQ(physics->getNumCollisionObjects(), 2);

    terrain->marchingCubesHandler->seedSource = [] { return SEED + 1; };  // a different landscape
    testing::internal::CaptureStdout();
    terrain->regenerate(physics.get());
    const std::string output = testing::internal::GetCapturedStdout();

    ASSERT_NE(terrain->rigidBody, nullptr);
    EXPECT_EQ(physics->getNumCollisionObjects(), 2);  // the old body left, the new one came in
    EXPECT_EQ(bodiesOf(physics.get(), terrain->rigidBody), 1);
    EXPECT_EQ(bodiesPointingAt(physics.get(), static_cast<SceneObject*>(terrain.get())), 1);
    EXPECT_EQ(terrain->name, "terrain");

    // Mesh, collision shape and occupancy grid all describe the new surface.
    const auto printed = numberLines(output);
    ASSERT_EQ(printed.size(), 1u) << output;
    EXPECT_EQ(static_cast<unsigned long>(terrain->mesh->vertexCount), 3 * printed[0]);
    EXPECT_NE(terrain->mesh, constructedMesh);
    ASSERT_NE(terrain->collisionShape, nullptr);
    const auto* triangles = static_cast<const btTriangleMesh*>(terrain->collisionShape->getMeshInterface());
    EXPECT_EQ(static_cast<unsigned long>(triangles->getNumTriangles()), printed[0]);

    const btVector3 from(400, 150, 400), to(400, -10, 400);
    btCollisionWorld::ClosestRayResultCallback hit(from, to);
    physics->rayTest(from, to, hit);
    ASSERT_TRUE(hit.hasHit());
    EXPECT_EQ(hit.m_collisionObject, terrain->rigidBody);
    const auto* object = static_cast<const SceneObject*>(hit.m_collisionObject->getUserPointer());
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->name, "terrain");
    const float ground = static_cast<float>(hit.m_hitPointWorld.y());
    EXPECT_TRUE(terrain->isBlocked(400, ground - 10.0f, 400)) << "ground at " << ground;
    EXPECT_FALSE(terrain->isBlocked(400, ground + 40.0f, 400)) << "ground at " << ground;

    physics->removeRigidBody(terrain->rigidBody);
}

TEST_F(AdvancedTerrainTest, SecondTerrainReusesTheComputePrograms) {
    const auto marching = AdvancedTerrain::marchingCubesShader;
    const auto density = AdvancedTerrain::densityShader;
    const GLuint marchingId = MarchingCubesHandler::marchingCubesProgramId;
    const GLuint densityId = MarchingCubesHandler::densityProgramId;
    ASSERT_TRUE(marching && density);
    {
        testing::internal::CaptureStdout();
        AdvancedTerrain second([] { return SEED; });
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(AdvancedTerrain::marchingCubesShader, marching);
        EXPECT_EQ(AdvancedTerrain::densityShader, density);
        EXPECT_EQ(MarchingCubesHandler::marchingCubesProgramId, marchingId);
        EXPECT_EQ(MarchingCubesHandler::densityProgramId, densityId);
        // Same seed, same programs: the same landscape.
        EXPECT_EQ(second.mesh->vertexCount, constructedMesh->vertexCount);
        EXPECT_NE(second.rigidBody, terrain->rigidBody);
    }
    // Dropping the second terrain leaves the shared programs alive for the first.
    EXPECT_TRUE(glIsProgram(marchingId));
    EXPECT_TRUE(glIsProgram(densityId));
}
