#include "physics/Bodies.h"
#include "physics/BulletMath.h"
#include "scene/ObjectTags.h"
#include "scene/Random.h"
#include "support/GlContext.h"
#include "support/PhysicsWorld.h"
#include "terrain/DensityShader.h"
#include "terrain/LooseRock.h"
#include "terrain/MarchingCubesHandler.h"
#include "terrain/MarchingCubesShader.h"
#include "world/OpenStart.h"

#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numeric>
#include <tuple>

namespace {

constexpr float kIso = 8.0f;

class SmallGrid {
public:
    explicit SmallGrid(int n) : n(n), points(static_cast<size_t>(n) * n * n, glm::vec4(0.0f)) {}
    glm::vec4& at(int x, int y, int z) {
        return points[x + static_cast<size_t>(y) * n + static_cast<size_t>(z) * n * n];
    }
    void fill(glm::ivec3 from, glm::ivec3 to, float density) {
        for (int z = from.z; z <= to.z; ++z)
            for (int y = from.y; y <= to.y; ++y)
                for (int x = from.x; x <= to.x; ++x) at(x, y, z).w = density;
    }
    bool solid(int x, int y, int z) { return at(x, y, z).w > kIso; }

    int n;
    std::vector<glm::vec4> points;
};

}  // namespace

// A ground slab with a sealed bubble in it, a pillar standing on it with a shelf one point thick, and a
// cube hanging free: the shelf and the cube go, the bubble is filled, the ground and pillar stay.
TEST(LooseRock, FreePiecesAndThinSheetsGoSealedBubblesAreFilledAndTheGroundStays) {
    SmallGrid grid(14);
    grid.fill({0, 0, 0}, {13, 4, 13}, 20.0f);   // the ground, 5 points thick
    grid.at(6, 2, 6).w = 0.0f;                  // a bubble sealed inside it
    grid.fill({9, 5, 9}, {11, 10, 11}, 20.0f);  // a pillar on it
    grid.fill({4, 8, 9}, {8, 8, 11}, 20.0f);    // a shelf off its side, one point thick
    grid.fill({3, 10, 2}, {5, 12, 4}, 20.0f);   // a cube in the air
    const LooseRock::Changed changed = LooseRock::clean(grid.points, grid.n, kIso);
    EXPECT_EQ(changed.thin, 15);
    EXPECT_EQ(changed.floating, 27);
    EXPECT_EQ(changed.sealed, 1);
    EXPECT_TRUE(grid.solid(6, 2, 6));
    EXPECT_TRUE(grid.solid(6, 4, 6) && grid.solid(0, 0, 0) && grid.solid(10, 10, 10));
    EXPECT_FALSE(grid.solid(6, 8, 10) || grid.solid(4, 11, 3));
    EXPECT_LT(grid.at(6, 8, 10).w, kIso);
    EXPECT_GT(grid.at(6, 8, 10).w, kIso - 0.1f) << "a thinned point sits just below the level";

    SmallGrid floor(6);
    floor.fill({0, 0, 0}, {5, 0, 5}, 20.0f);
    EXPECT_EQ(LooseRock::clean(floor.points, floor.n, kIso).floating, 0) << "the bottom layer alone is ground";
}

namespace {

// Welds the marching-cubes triangles by the grid edges their corners lie on and counts the pieces that
// reach none of the grid's sides: pieces that stand on nothing.
int detachedPieces(const MarchingCubesHandler& handler, unsigned int count, int n) {
    std::vector<int> parent(count);
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&parent](int i) {
        while (parent[i] != i) i = parent[i] = parent[parent[i]];
        return i;
    };
    std::map<std::tuple<int, int, int, int>, int> firstOnEdge;
    std::vector<char> touchesSide(count, 0);
    for (unsigned int t = 0; t < count; ++t) {
        const Triangle& tri = handler.triangles[t];
        for (const glm::vec3& v : {tri.vertexA, tri.vertexB, tri.vertexC}) {
            int axis = 3;
            for (int a = 0; a < 3; ++a)
                if (v[a] != std::floor(v[a])) axis = a;
            const auto key = std::make_tuple(axis, int(std::floor(v.x)), int(std::floor(v.y)), int(std::floor(v.z)));
            const auto [it, fresh] = firstOnEdge.emplace(key, int(t));
            if (!fresh) parent[find(int(t))] = find(it->second);
            if (v.x <= 1.0f || v.z <= 1.0f || v.x >= n - 2.0f || v.z >= n - 2.0f || v.y >= n - 2.0f) touchesSide[t] = 1;
        }
    }
    std::map<int, bool> grounded;
    for (unsigned int t = 0; t < count; ++t) grounded[find(int(t))] |= touchesSide[t] != 0;
    int detached = 0;
    for (const auto& piece : grounded) detached += piece.second ? 0 : 1;
    return detached;
}

class SmallLandTest : public testsupport::GlTest {
protected:
    static constexpr int kGrid = 32;

    // The landscape of `seed` on a grid of kGrid points a side (the game's makes 128), tidied or not.
    unsigned int generate(uint32_t seed, bool tidy) {
        handler.densityProgramId = density.init();
        handler.marchingCubesProgramId = marching.init();
        Random random(seed);
        handler.generateDensity(kGrid, 10.0f, glm::vec3(0.5f), glm::vec3(-0.64f, 0.0f, 0.0f), random);
        if (tidy) LooseRock::clean(handler.points, kGrid, handler.levelToMarch());
        unsigned int count = 0;
        testing::internal::CaptureStdout();
        handler.generateTriangles(kGrid, count);
        testing::internal::GetCapturedStdout();
        return count;
    }

    DensityShader density;
    MarchingCubesShader marching;
    MarchingCubesHandler handler;
};

}  // namespace

// Over 50 seeds: the tidied landscape has no piece detached from the ground (the untidied ones have
// some), and the cat's start on it is level dry ground facing a view of some tens of units.
TEST_F(SmallLandTest, FiftySeedsHaveNoDetachedLandAndStartFacingAnOpenView) {
    int seedsWithLooseRock = 0;
    for (uint32_t seed = 1; seed <= 50; ++seed) {
        seedsWithLooseRock += detachedPieces(handler, generate(seed, false), kGrid) > 0 ? 1 : 0;
        const unsigned int count = generate(seed, true);
        ASSERT_GT(count, 100u) << "seed " << seed;
        EXPECT_EQ(detachedPieces(handler, count, kGrid), 0) << "seed " << seed;

        // The land at the game's size, as a body of the landscape.
        btTriangleMesh mesh;
        const float scale = 800.0f / kGrid;
        for (unsigned int t = 0; t < count; ++t) {
            const Triangle& tri = handler.triangles[t];
            mesh.addTriangle(physics::toBullet(tri.vertexA * scale), physics::toBullet(tri.vertexB * scale),
                             physics::toBullet(tri.vertexC * scale));
        }
        btBvhTriangleMeshShape shape(&mesh, true);
        SceneObject land;
        land.name = tags::kTerrain;
        btDefaultMotionState* motion = nullptr;
        btRigidBody* body = physics::createBody(&land, &shape, 0.0, btTransform::getIdentity(), motion);
        testsupport::PhysicsWorld world;
        world.add(body);
        const OpenStart::Place start = OpenStart::find(world.get(), glm::vec3(400, 100, 400));
        EXPECT_GE(start.view, 30.0f) << "seed " << seed;
        EXPECT_FLOAT_EQ(OpenStart::viewAlong(world.get(), start.ground, start.yaw), start.view);
        for (int d = 0; d < OpenStart::kDirections; ++d)
            EXPECT_LE(OpenStart::viewAlong(world.get(), start.ground, 6.2831853f * d / OpenStart::kDirections),
                      start.view)
                << "seed " << seed << ": no better way to face";
        world.remove(body);
        delete body;
        delete motion;
    }
    EXPECT_GT(seedsWithLooseRock, 0) << "the check finds loose rock where there is some";
}
