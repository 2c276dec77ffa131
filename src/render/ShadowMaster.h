#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <memory>

class Camera;
class DirectionalLight;
class Mesh;
class Renderer;
class ShadowBox;
class ShadowFrameBuffer;

// Drives the sun's shadow pass each frame, in this order: render() aims the light and clears the
// depth map, the renderer draws the models (Renderer::renderShadowMap), renderTerrain() adds the
// terrain, endPass() returns to the window, and loadShadowUniforms() hands the result to the
// terrain program.
class ShadowMaster {
public:
    ShadowMaster(std::shared_ptr<Camera> camera, std::shared_ptr<Renderer> renderer,
                 std::shared_ptr<ShadowFrameBuffer> frameBuffer);

    // Cuts the camera frustum at shadowDistance (the caller restores it with updateFrustum(0) after
    // the pass), aims light->viewMatrix at the frustum centre, fits the shadow box, binds and clears
    // the depth map. Leaves the shadow framebuffer bound and the depth test on. Does nothing without a
    // light.
    void render();
    // Draws the terrain's back faces into the depth map, clamped to the box's depth range instead
    // of clipped. Restores back-face culling and turns depth clamping off.
    void renderTerrain(const Mesh& terrainMesh);
    // Binds the default framebuffer with the window-sized viewport.
    void endPass();
    // Makes `programId` current and writes "toShadowMapSpace" and "shadowDistance" (left current).
    void loadShadowUniforms(GLuint programId) const;
    // World to shadow-map texture coordinates and depth (0..1), valid from the first render().
    glm::mat4 toShadowMapSpace() const;

    std::shared_ptr<ShadowFrameBuffer> frameBuffer;
    float shadowDistance = 100.0f;
    std::shared_ptr<Camera> camera;
    std::shared_ptr<Renderer> renderer;
    std::shared_ptr<ShadowBox> shadowBox;
    std::shared_ptr<DirectionalLight> light;
};
