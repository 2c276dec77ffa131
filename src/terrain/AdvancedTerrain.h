#pragma once

#include "scene/SceneObject.h"

#include <GL/glew.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class AdvancedTerrainShader;
class DensityShader;
class MarchingCubesHandler;
class MarchingCubesShader;
class Random;
class TerrainChunks;
class TexturedMesh;
class btBvhTriangleMeshShape;
class btDefaultMotionState;
class btDynamicsWorld;
class btRigidBody;
class btTriangleMesh;

// Where the time of one landscape generation went, in seconds (for the benchmark).
struct TerrainTimings {
    double density = 0.0;    // density pass with read-back
    double marching = 0.0;   // marching-cubes pass with read-back
    double upload = 0.0;     // drawable mesh upload
    double chunks = 0.0;     // shared corners and chunks, with their upload
    double collision = 0.0;  // collision mesh and BVH
};

// The landscape: the marching-cubes surface of a GPU density grid, drawn with its own program and a
// four-layer texture array, and one static triangle-mesh body named "terrain". Its transform is the
// identity, so mesh coordinates are world coordinates (6.25 world units per grid unit).
class AdvancedTerrain : public SceneObject {
public:
    // Builds the programs, grid, mesh, body and textures (needs a current GL context); the body is not
    // added to any world. The octave offsets of the grid are drawn from `random` where its sequence
    // stands. `shaderDefines` pick the variant of the landscape's program (empty: the full look) and
    // `textureHalvings` how often its 2048² textures are halved before the upload. `onGrid` is called
    // with each landscape once its grid is marched, before the grid is freed (see buildMesh).
    using GridHook = std::function<void(const AdvancedTerrain&)>;
    explicit AdvancedTerrain(Random& random, const std::string& shaderDefines = "", int textureHalvings = 0,
                             GridHook onGrid = {});
    ~AdvancedTerrain() override;

    AdvancedTerrain(const AdvancedTerrain&) = delete;
    AdvancedTerrain& operator=(const AdvancedTerrain&) = delete;

    // Marches the current grid and replaces the drawable mesh's source, the chunks, the collision mesh,
    // shape, motion state and body (the old body must have left every world). Returns the new mesh.
    // Once marched, the grid is kept only as `ground` and freed before the meshes are made.
    std::shared_ptr<TexturedMesh> buildMesh();

    // A new landscape in place: the body leaves `world` (if it is in it), a new grid (its offsets drawn
    // from `random`) and mesh are made, and the new body joins `world`. Programs, textures and the
    // handler are kept.
    void regenerate(btDynamicsWorld* world, Random& random);

    // Rebuilds the landscape's program with `shaderDefines` unless it already has them. The new
    // program has its samplers set but no lights nor shadow uniforms yet (true is returned then, so the
    // caller adds them, whatever GL name the new program got); leaves it current.
    bool useShaderVariant(const std::string& shaderDefines);
    // Loads the texture array again with its images halved `halvings` times, unless it already is.
    // Leaves no texture array bound.
    void useTextureHalvings(int halvings);

    // True when nothing may be placed at this world position: outside the grid's interior, or any of
    // the 27 grid points around the nearest one is ground (`ground`); everywhere after releaseGrid.
    bool isBlocked(float x, float y, float z) const;
    // Frees `ground` once everything is placed; the mesh, chunks and body stay, and the next
    // regenerate makes a new grid.
    void releaseGrid();
    // Takes `ground` from the handler's host grid at its iso level and frees that grid (the marching
    // freed the GPU copy).
    void keepGround();

    // One byte per grid point, x fastest: 1 where the marched grid is denser than its iso level.
    std::vector<std::uint8_t> ground;
    GridHook onGrid;

    std::shared_ptr<TexturedMesh> mesh;
    // The same surface with shared corners, in chunks of kChunkSize units that passes can cull.
    std::shared_ptr<TerrainChunks> chunks;
    static constexpr float kChunkSize = 100.0f;
    // How far (world units) the chunks' lightly and strongly simplified lists may stray from the
    // surface (see TerrainChunks::simplify); the graphics level says where each is drawn.
    static constexpr float kLightError = 0.1f;
    static constexpr float kCoarseError = 0.6f;
    std::shared_ptr<AdvancedTerrainShader> shader;
    btRigidBody* rigidBody = nullptr;
    GLuint terrainTexture = 0;
    int textureHalvings = 0;
    GLuint programId = 0;
    std::shared_ptr<MarchingCubesHandler> marchingCubesHandler;
    int gridSize = 128;
    float gridScale = 6.25f;
    btBvhTriangleMeshShape* collisionShape = nullptr;
    btDefaultMotionState* motionState = nullptr;

    TerrainTimings lastTimings;

    // The compute programs that make the grid and march it.
    std::shared_ptr<MarchingCubesShader> marchingCubesShader;
    std::shared_ptr<DensityShader> densityShader;

private:
    void generateDensity(Random& random);
    void buildProgram(const std::string& shaderDefines);
    void loadTextures();
    void releaseBody();

    btTriangleMesh* triangleMesh = nullptr;
};
