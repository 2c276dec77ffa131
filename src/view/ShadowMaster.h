#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <memory>

class AdvancedTerrainShader;
class Camera;
class DirectionalLight;
class Mesh;
class Renderer;
class ShadowBox;
class ShadowFrameBuffer;
class TerrainChunks;

// Drives the sun's shadow pass each frame, in this order: render() aims the light and clears the
// depth map, the renderer draws the models (Renderer::renderShadowMap), renderTerrain() adds the
// terrain, endPass() returns to the window, and loadShadowUniforms() hands the result to the
// terrain program.
class ShadowMaster {
public:
    ShadowMaster(std::shared_ptr<Camera> camera, std::shared_ptr<Renderer> renderer,
                 std::shared_ptr<ShadowFrameBuffer> frameBuffer);

    // The same as beginPass().
    void render();
    // Cuts the camera frustum at shadowDistance (the caller restores it with updateFrustum(0) after
    // the pass), aims light->viewMatrix at the box centre (the frustum's centre, or with boxStep > 0 the
    // eye's position, each snapped by boxCentre), fits the shadow box, binds the depth map and
    // clears it unless `clear` is false (renderTerrainChunks then fills it). Leaves the shadow
    // framebuffer bound and depth test on. Does nothing without a light.
    void beginPass(bool clear = true);
    // Draws the terrain's back faces into the depth map, clamped to the box's depth range instead
    // of clipped. Restores back-face culling and turns depth clamping off.
    void renderTerrain(const Mesh& terrainMesh);
    // The same from the landscape's chunks, only those inside the box, into the depth map it clears
    // first. While `cacheTerrain` is set the depth drawn is kept, and as long as the box and the
    // chunks stay the same it is copied back instead; where the box only stepped across the sunlight
    // it is copied moved by whole texels and only the strips left open are drawn. So this comes right
    // after beginPass(false), before anything else is drawn. Leaves the scissor test off. While the box
    // stands still only the texels last covered by models (see castModels) are copied back.
    void renderTerrainChunks(const std::shared_ptr<TerrainChunks>& chunks);
    // Notes where the models drawn after renderTerrainChunks may have covered the depth map: a
    // rectangle of the box's clip coordinates (lowest x and y, highest x and y; empty when the lowest
    // lies above the highest), as Renderer::shadowCastBounds gives it.
    void castModels(const glm::vec4& clipBounds);
    // Binds the default framebuffer with the window-sized viewport.
    void endPass();
    // Makes the terrain program current and writes "toShadowMapSpace" and "shadowDistance" (left
    // current).
    void loadShadowUniforms(const AdvancedTerrainShader& terrain) const;
    // World to shadow-map texture coordinates and depth (0..1), valid from the first render().
    glm::mat4 toShadowMapSpace() const;

    // The light-space point the box is centred on: the frustum centre, moved to the nearest corner of
    // a grid of `boxStep` world units across the sunlight (600 along it) when boxStep > 0, so the box
    // stands still while the view moves within one cell.
    glm::vec3 boxCentre(const glm::vec3& frustumCentre) const;
    // The centre a stepping box (boxStep > 0) stands on for the eye at `eye`: the last one, until the
    // eye is three quarters of a step beyond it across or along the sunlight; then boxCentre(eye).
    glm::vec3 heldBoxCentre(const glm::vec3& eye);

    std::shared_ptr<ShadowFrameBuffer> frameBuffer;
    float shadowDistance = 100.0f;
    float boxStep = 0.0f;
    bool cacheTerrain = false;
    std::shared_ptr<Camera> camera;
    std::shared_ptr<Renderer> renderer;
    std::shared_ptr<ShadowBox> shadowBox;
    std::shared_ptr<DirectionalLight> light;

    ~ShadowMaster();
    ShadowMaster(const ShadowMaster&) = delete;
    ShadowMaster& operator=(const ShadowMaster&) = delete;

private:
    // Clears the `texels` (x, y, width, height) of the depth map and draws into them the chunks that
    // may cover them, with the scissor rectangle set to them.
    void drawLandscapeDepth(const TerrainChunks& chunks, const glm::mat4& box, const glm::ivec4& texels);
    // Copies the depth map into the kept landscape depth (while cacheTerrain is set).
    void keepLandscapeDepth(const std::shared_ptr<TerrainChunks>& chunks, const glm::mat4& box);

    // The landscape's depth alone, as last drawn, with the box and the chunks it was drawn for.
    GLuint cachedDepth = 0;
    int cachedSize = 0;
    glm::mat4 cachedBox{0.0f};
    std::weak_ptr<const TerrainChunks> cachedChunks;
    // Texels the models covered in the depth map since the landscape was last put there (x, y,
    // width, height), while known; otherwise the whole map is copied back.
    glm::ivec4 castTexels{0};
    glm::vec3 heldCentre{0.0f};  // see heldBoxCentre
    float heldStep = 0.0f;       // the boxStep it was found for; 0: none held
    bool castKnown = false;
    bool cacheFilled = false;
};
