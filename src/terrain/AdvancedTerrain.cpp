#include "terrain/AdvancedTerrain.h"

#include "scene/ObjectTags.h"
#include "physics/Bodies.h"
#include "physics/BulletMath.h"
#include "render/GlContextState.h"
#include "render/TextureLoader.h"
#include "render/TexturedMesh.h"
#include "render/VaoLoader.h"
#include "terrain/AdvancedTerrainShader.h"
#include "terrain/DensityShader.h"
#include "terrain/LooseRock.h"
#include "terrain/MarchingCubesHandler.h"
#include "terrain/MarchingCubesShader.h"
#include "terrain/TerrainChunks.h"

#include <btBulletDynamicsCommon.h>

#include <chrono>
#include <cmath>

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

AdvancedTerrain::AdvancedTerrain(Random& random, const std::string& shaderDefines, int halvings, GridHook gridHook)
    : onGrid(std::move(gridHook)), textureHalvings(halvings) {
    marchingCubesHandler = std::make_shared<MarchingCubesHandler>();
    marchingCubesShader = std::make_shared<MarchingCubesShader>();
    marchingCubesHandler->marchingCubesProgramId = marchingCubesShader->init();
    densityShader = std::make_shared<DensityShader>();
    marchingCubesHandler->densityProgramId = densityShader->init();
    buildProgram(shaderDefines);

    gridSize = 128;
    generateDensity(random);
    mesh = buildMesh();
    loadTextures();
}

void AdvancedTerrain::loadTextures() {
    if (terrainTexture != 0) glDeleteTextures(1, &terrainTexture);
    terrainTexture = loadTextureArray({"sand_tile_2048.png", "sand_tile_2048.png", "Jade_2048.png", "Jade_2048.png"},
                                      textureHalvings);
}

void AdvancedTerrain::useTextureHalvings(int halvings) {
    if (halvings != textureHalvings) {
        textureHalvings = halvings;
        loadTextures();
    }
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
}

AdvancedTerrain::~AdvancedTerrain() {
    releaseBody();
    if (terrainTexture != 0 && hasCurrentGlContext()) glDeleteTextures(1, &terrainTexture);
}

void AdvancedTerrain::buildProgram(const std::string& shaderDefines) {
    shader = std::make_shared<AdvancedTerrainShader>(shaderDefines);
    programId = shader->init();
    glUseProgram(programId);
    const GLint shadowMapLocation = glGetUniformLocation(programId, "shadowMap");
    const GLint texLocation = glGetUniformLocation(programId, "tex");
    glUniform1i(texLocation, 0);
    glUniform1i(shadowMapLocation, 1);
}

bool AdvancedTerrain::useShaderVariant(const std::string& shaderDefines) {
    if (shader && shader->defines == shaderDefines) return false;
    buildProgram(shaderDefines);
    return true;
}

void AdvancedTerrain::generateDensity(Random& random) {
    const auto start = std::chrono::steady_clock::now();
    marchingCubesHandler->generateDensity(gridSize, 10.0f, glm::vec3(0.5f), glm::vec3(-0.64f, 0.0f, 0.0f), random);
    lastTimings.density = secondsSince(start);
}

void AdvancedTerrain::releaseBody() {
    // A body still in a world is kept (leaked) with everything it refers to.
    if (physics::releaseBody(rigidBody, motionState, collisionShape)) {
        delete triangleMesh;  // the shape referred to it, so it goes after the shape
    }
    rigidBody = nullptr;
    motionState = nullptr;
    collisionShape = nullptr;
    triangleMesh = nullptr;
}

std::shared_ptr<TexturedMesh> AdvancedTerrain::buildMesh() {
    auto start = std::chrono::steady_clock::now();
    unsigned int count = 0;
    // Nothing of the landscape hangs in the air: the mesh, the body and the occupancy queries all see
    // the tidied grid.
    LooseRock::clean(marchingCubesHandler->points, gridSize, marchingCubesHandler->levelToMarch());
    const Triangle* triangles = marchingCubesHandler->generateTriangles(gridSize, count);
    lastTimings.marching = secondsSince(start);
    gridScale = 800.0f / static_cast<float>(gridSize);
    if (onGrid) onGrid(*this);
    // The 32 MiB grid goes before the collision mesh, upload and chunks add theirs to the peak.
    keepGround();

    start = std::chrono::steady_clock::now();
    releaseBody();
    std::vector<float> positions(static_cast<size_t>(count) * 9, 0.0f);
    std::vector<float> normals(static_cast<size_t>(count) * 9, 0.0f);
    triangleMesh = new btTriangleMesh(true, true);
    triangleMesh->preallocateVertices(static_cast<int>(count) * 3);
    for (unsigned int k = 0; k < count; ++k) {
        const Triangle& t = triangles[k];
        const glm::vec3 a = t.vertexA * gridScale, b = t.vertexB * gridScale, c = t.vertexC * gridScale;
        float* p = &positions[static_cast<size_t>(k) * 9];
        float* n = &normals[static_cast<size_t>(k) * 9];
        const glm::vec3 corners[3] = {a, b, c};
        const glm::vec3 cornerNormals[3] = {t.normalA, t.normalB, t.normalC};
        for (int i = 0; i < 3; ++i) {
            p[3 * i] = corners[i].x;
            p[3 * i + 1] = corners[i].y;
            p[3 * i + 2] = corners[i].z;
            n[3 * i] = cornerNormals[i].x;
            n[3 * i + 1] = cornerNormals[i].y;
            n[3 * i + 2] = cornerNormals[i].z;
        }
        triangleMesh->addTriangle(physics::toBullet(a), physics::toBullet(b), physics::toBullet(c), false);
    }
    // Copied into the mesh and the collision mesh: the read-back goes before the BVH and the upload
    // add theirs to the peak.
    std::vector<Triangle>().swap(marchingCubesHandler->triangles);
    if (count > 0) {
        collisionShape = new btBvhTriangleMeshShape(triangleMesh, false, true);
    } else {
        // An empty landscape still gets a body, so the world and the rules see "terrain" as usual;
        // Bullet cannot build a BVH over no triangles, so a degenerate triangle stands in.
        triangleMesh->addTriangle(btVector3(0, -1000, 0), btVector3(1, -1000, 0), btVector3(0, -1000, 1), false);
        collisionShape = new btBvhTriangleMeshShape(triangleMesh, false, true);
    }
    rigidBody = physics::createBody(this, collisionShape, 0.0, btTransform::getIdentity(), motionState);
    name = tags::kTerrain;
    lastTimings.collision = secondsSince(start);

    start = std::chrono::steady_clock::now();
    auto built = loadToVAO(positions, normals);
    lastTimings.upload = secondsSince(start);

    start = std::chrono::steady_clock::now();
    TerrainChunks::Layout layout = TerrainChunks::build(positions, normals, kChunkSize);
    TerrainChunks::simplify(layout, kLightError, kCoarseError);
    chunks = std::make_shared<TerrainChunks>(layout);
    glBindVertexArray(0);
    lastTimings.chunks = secondsSince(start);
    return built;
}

void AdvancedTerrain::regenerate(btDynamicsWorld* world, Random& random) {
    physics::removeFromWorld(rigidBody, world);
    // The old land goes before the new grid is made, so the two never share the peak.
    releaseBody();
    mesh.reset();
    chunks.reset();
    generateDensity(random);
    mesh = buildMesh();
    if (world) world->addRigidBody(rigidBody);
}

void AdvancedTerrain::keepGround() {
    const auto& points = marchingCubesHandler->points;
    ground.assign(points.size(), 0);
    for (size_t k = 0; k < points.size(); ++k) ground[k] = points[k].w > marchingCubesHandler->isoLevel ? 1 : 0;
    std::vector<glm::vec4>().swap(marchingCubesHandler->points);
}

void AdvancedTerrain::releaseGrid() {
    std::vector<std::uint8_t>().swap(ground);
    marchingCubesHandler->releaseGrid();
}

bool AdvancedTerrain::isBlocked(float x, float y, float z) const {
    const long gx = std::lround(x / gridScale);
    const long gy = std::lround(y / gridScale);
    const long gz = std::lround(z / gridScale);
    const long last = gridSize - 1;
    if (gx < 1 || gy < 1 || gz < 1 || gx >= last || gy >= last || gz >= last) return true;
    const long n = gridSize;
    if (ground.size() < static_cast<size_t>(n * n * n)) return true;
    int solid = 0;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dz = -1; dz <= 1; ++dz) {
                const long index = (gz + dz) * n * n + (gy + dy) * n + (gx + dx);
                solid += ground[static_cast<size_t>(index)];
            }
    return solid != 0;
}
