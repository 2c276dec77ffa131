#pragma once

#include "render/DrawSwitches.h"
#include "render/ModelInstances.h"
#include "render/RenderMap.h"
#include "view/FluidSurfaces.h"
#include "terrain/TriangleTableBuffer.h"
#include "terrain/TerrainChunks.h"
#include "view/ParticleInstances.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <initializer_list>
#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

class AdvancedTerrainShader;
class BlobbyShader;
class Camera;
class DebugLineShader;
class DirectionalLight;
class FountainSurfaceShader;
class GuiShader;
class Liquid;
class Mesh;
class ParticleShader;
class ParticleSystem;
class ShadowShader;
class TexturedShader;
class WaterShader;
struct GuiObject;

// The particle systems to draw, by texture name.
using ParticleBatches = std::unordered_map<GLuint, std::list<std::shared_ptr<ParticleSystem>>>;

// Knows the programs, uniforms and GL state for every kind of thing the scene draws, and owns the
// programs and buffers those draws share: the textured program, the particle program with its
// instance buffer, the metaball program with the fountains' density grid and its triangle table. All
// operations need the current context and draw into whatever framebuffer is bound. They leave their
// program current and their textures bound; any other GL state they leave changed is named below.
class Renderer {
public:
    // Builds the textured, overlay, shadow, debug-line, particle and metaball programs, the two unit
    // quads, the particle instance buffer (10 000 records of 21 floats, wired to attributes 1 to 6 of
    // particleQuad) and the fountains' density grid (sized later by the fountains). Says so on standard
    // error when the driver offers fewer shader-storage binding points than the game binds.
    // `switches` are read at every draw.
    Renderer(std::shared_ptr<Camera> camera, DrawSwitches switches);
    // Frees the density grid and the instance buffer while a context is current.
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // The textured models of one scene pass, with `clipPlane` and the camera's culling frustum.
    // Meshes within min(maxDistance, 200) are frustum-tested; farther ones are drawn only while
    // culling is switched off. The copies of one model in a batch go in one instanced draw.
    // Transparent batches turn off back-face culling. Leaves back-face culling on and the model
    // instance buffer bound at its storage binding.
    void renderEntities(const RenderMap& batches, float maxDistance);
    // The textured models into the bound shadow map, seen through `light.viewMatrix` and
    // `lightProjection`. Only visible meshes within the limit and inside the camera frustum cast
    // shadows, whatever the culling switch; the copies of one model in one instanced draw. Leaves
    // back-face culling on and the shadow program's "instanceBase" at -1 (its model matrix uniform).
    void renderShadowMap(const RenderMap& batches, const DirectionalLight& light, const glm::mat4& lightProjection,
                         float maxDistance);

    // Makes `program` current, writes its model, view, projection and sky colour, binds the mesh's
    // vertex array and enables attributes 0 and 2 (left bound for renderArray / renderWater).
    void prepareTerrain(const Mesh& mesh, TexturedShader& program);
    // Draws the non-indexed terrain mesh with its texture array on unit 0 and the shadow map on
    // unit 1. Leaves back-face culling on and unit 0 active.
    void renderArray(const Mesh& mesh, const AdvancedTerrainShader& program, GLuint arrayTexture);
    // The same from the landscape's chunks: those the camera frustum (while culling is on) and the
    // clip plane leave in view, nearest first. Leaves back-face culling on, unit 0 active and no
    // vertex array bound.
    void renderChunks(const TerrainChunks& chunks, const AdvancedTerrainShader& program, GLuint arrayTexture);
    // Draws one water tile after prepareTerrain with the tile's `program`: the five images on units 0
    // to 4, alpha-blended, at the settings' brightness. Leaves unit 0 active, blending off and the
    // tile's vertex array bound (its attributes disabled).
    void renderWater(const Mesh& waterMesh, const WaterShader& program, GLuint reflectionTexture,
                     GLuint refractionTexture, GLuint dudvTexture, GLuint normalTexture, GLuint depthTexture,
                     float moveFactor);
    // The overlay images over everything: blended, without depth test. Leaves depth test on and
    // blending off.
    void renderGui(const std::vector<std::shared_ptr<GuiObject>>& guiObjects);
    // Every particle system of `batches`, one instanced draw per system with alive particles, each
    // particle facing the camera; systems whose emitter is outside the frustum are counted as culled.
    // Sets the blend function and leaves blending off, depth test on, the instance attributes disabled
    // and no vertex array bound.
    void renderParticles(const ParticleBatches& batches);
    // The same draws with every system, empty ones too, as one particle shrunk to a point: nothing
    // shows, but the driver builds the program's state for them now (on a world's first picture)
    // rather than on the frame a system first shows a particle. Leaves the same state.
    void primeParticles(const ParticleBatches& batches);
    // One fountain surface from the density grid (the last fountain density pass wrote it) of
    // `dimensions` points: a compute pass lists the triangles of cells of `stride` grid steps a side,
    // a second one (dispatched indirectly) writes their vertices into the surface buffer and counts
    // them in the indirect command, and one indirect draw shows them. Binds the grid, the table and
    // the surface buffers itself. Leaves back-face culling on and no vertex array bound.
    void renderFluid(const glm::mat4& modelMatrix, const glm::vec3& dimensions, int stride = 1);
    // `fountain`'s surface in cells of `stride` grid steps marched anew (its density pass first) when
    // the fountain says it is due or no surface of it is kept; otherwise nothing. The compute passes
    // wait for the drawing queued before them, so a frame marches before it draws anything.
    void marchFountain(Liquid& fountain, int stride);
    // Draws the surface kept for `fountain` in cells of `stride` grid steps, marching it first if none
    // is (more fountains marched in a frame than surfaces are kept). Leaves the same state as renderFluid.
    void drawFountain(Liquid& fountain, int stride);
    // marchFountain, then drawFountain.
    void renderFountain(Liquid& fountain, int stride);
    // The vertex count the last renderFluid or renderFountain drew (reads the command back: for tests and tools).
    GLuint fluidVertexCount() const;
    // Room in the surface buffer, in vertices; a surface with more is drawn without the rest.
    static constexpr GLuint kFluidVertexCapacity = 3 * 16384;

    // Makes the textured program current with the material and camera of `mesh`, binds its vertex
    // array and texture and enables attributes 0 to 2; a transparent material turns culling off.
    void prepareTexturedModel(const TexturedMesh& mesh, TexturedShader& shader);

    glm::vec3 skyColor{0.0f};
    std::shared_ptr<TexturedShader> texturedShader;
    std::shared_ptr<Mesh> particleQuad;
    std::shared_ptr<ParticleShader> particleShader;
    GLuint particleProgramId = 0;
    GLuint instanceBuffer = 0;       // the particle instance records
    GLuint modelInstanceBuffer = 0;  // the model matrices of the batch being drawn
    std::shared_ptr<BlobbyShader> blobbyShader;
    GLuint fountainDensity = 0;    // the density grid every fountain writes before its surface is drawn
    GLuint fountainTriangles = 0;  // the triangles the surface pass listed
    std::shared_ptr<FountainSurfaceShader> fountainSurfaceShader;
    std::shared_ptr<Camera> camera;
    std::vector<float> quadVertices{-1, 1, -1, -1, 1, 1, 1, -1};
    std::shared_ptr<Mesh> guiQuad;
    std::shared_ptr<GuiShader> guiShader;
    GLuint guiProgramId = 0;
    glm::vec4 clipPlane{0.0f};
    std::shared_ptr<ShadowShader> shadowShader;
    GLuint shadowProgramId = 0;
    GLuint shadowMapTexture = 0;
    int shadowMapSize = 0;
    // Models farther than this from the camera are drawn (and cast shadows) from their coarser
    // indices where they have them (Mesh::coarseCount); 0 never.
    float coarseModelDistance = 0.0f;
    // Models farther than this cast their shadows from their outlines where they have them
    // (Mesh::outlineCount), and farther than the second are also drawn from them; 0 never.
    float shadowOutlineDistance = 0.0f;
    float outlineModelDistance = 0.0f;
    // Where the models drawn by the last renderShadowMap may cover its map, in the light's clip
    // coordinates: lowest x and y, highest x and y (the lowest above the highest when none was drawn).
    glm::vec4 shadowCastBounds() const { return castBounds; }
    // Which of the landscape chunks' lists renderChunks draws at which distance.
    TerrainChunks::Detail terrainDetail;
    std::shared_ptr<DebugLineShader> debugLineShader;
    GLuint debugLineProgramId = 0;
    GLuint blobbyProgramId = 0;

private:
    // The particle program's locations.
    struct ParticleLocations {
        GLint viewMatrix = -1;
        GLint projectionMatrix = -1;
        GLint numberOfRows = -1;
    };

    DrawSwitches switches;
    ParticleLocations particleLocations;

    bool culling() const { return *switches.cullingEnabled; }
    float brightness() const { return *switches.brightness; }
    glm::mat4 viewMatrix() const;
    glm::mat4 projectionMatrix() const;
    // Strictly closer to the camera than `limit`.
    bool isWithin(const Mesh& mesh, float limit) const;
    // The mesh's bounding box moved to its position, tested against the camera frustum (a rejection
    // counts in the camera's culled count).
    bool isInFrustum(const Mesh& mesh) const;
    // The visible meshes of `meshes` into modelInstances, uploaded; the draws then go run by run.
    // `test` tells whether a visible mesh is drawn; those beyond `outlineDistance` (if above 0) go in
    // as outlines, others beyond coarseModelDistance as coarse versions.
    template <typename Test>
    void gatherInstances(const std::list<std::shared_ptr<TexturedMesh>>& meshes, Test test, float outlineDistance);
    // One instanced draw per run of modelInstances, the program's "instanceBase" at `baseLocation`,
    // the runs' vertex arrays with `attributes` enabled.
    void drawInstanceRuns(GLint baseLocation, std::initializer_list<GLuint> attributes);
    ModelInstances modelInstances;
    glm::vec4 castBounds{1.0f, 1.0f, -1.0f, -1.0f};  // see shadowCastBounds
    // Scratch space for isInFrustum, kept so that culling allocates nothing per mesh.
    mutable std::vector<glm::vec3> movedCorners;
    // The particle instances of one system, kept from frame to frame for the same reason.
    ParticleInstances particleInstances;
    // The uniforms and textures of renderArray and renderChunks.
    void loadTerrainUniforms(const glm::mat4& model, const AdvancedTerrainShader& program, GLuint arrayTexture);
    // The GL state every terrain draw starts and ends with.
    void beginTerrain(const AdvancedTerrainShader& program);
    void endTerrain();
    // Makes the view and projection of the particle program current.
    void loadParticleUniforms();
    // One system's instanced draw, unless it is empty or outside the frustum; when `prime`, one
    // particle shrunk to a point whatever the system holds.
    void drawParticleSystem(const ParticleSystem& system, bool prime);
    // renderParticles, priming with `prime`.
    void drawParticles(const ParticleBatches& batches, bool prime);

    // Marches the density grid of `dimensions` points into `slot` (see renderFluid).
    void marchFluid(const FluidSurfaces::Slot& slot, const glm::vec3& dimensions, int stride);
    // Draws the surface `slot` holds with `modelMatrix` (a grid of `dimensions` points), back faces
    // culled while the camera is outside the grid.
    void drawFluid(const FluidSurfaces::Slot& slot, const glm::mat4& modelMatrix, const glm::vec3& dimensions);
    // The fountains' surfaces, kept between frames.
    std::unique_ptr<FluidSurfaces> fluidSurfaces;
    // The marching-cubes table of the fountain surface.
    TriangleTableBuffer surfaceTable;
    GLuint surfaceVao = 0;  // no attributes: the surface's vertices are read by number
    GLint surfacePhaseLocation = -1, surfaceDimensionsLocation = -1, surfaceStrideLocation = -1,
          surfaceCapacityLocation = -1;
};
