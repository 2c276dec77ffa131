#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

class Game;

// The frame's drawing passes over the game's world: the shadow map, the water's reflection and
// refraction images, the scene (sky, batched models, landscape), the water surfaces and the
// fountains; and the targets they draw into, kept at the window's size and the graphics level. It
// keeps the query that tells whether any water was drawn, so a frame may skip the water images. The
// game owns it and outlives it; every pass needs the current context and changes the GL state it
// says.
class ScenePasses {
public:
    explicit ScenePasses(Game& game);
    ~ScenePasses();

    ScenePasses(const ScenePasses&) = delete;
    ScenePasses& operator=(const ScenePasses&) = delete;

    // The shadow map of the sun, then the shadow uniforms of the landscape's program.
    void renderShadows();
    // The reflection and refraction images of every tile in view (all of them with culling off).
    void renderWaterImages(float dt);
    // The main image into the scene target, clipped where the level allows.
    void renderMainImage(float dt);
    // Sky, batched models and landscape into the bound framebuffer, clipped by `clipPlane`; every
    // pass turns the sky a little.
    void renderScene(float dt, const glm::vec4& clipPlane, float maxDistance);
    // Every water tile, counting whether any of it was drawn where the level skips hidden water.
    void renderWaterSurfaces(float dt);
    // Near fountains in view flow (while `running`) and are drawn.
    void renderFountains(float dt, bool running);

    // The scene target and the water images for the window size and the level.
    void sizeTargets();
    // The shadow map, its box's steps and cache, and the landscape's program and texture filter for
    // the level. Leaves texture unit 0's 2D array binding at 0.
    void applyShadowAndTerrainQuality();
    // The water program of the level, with sun and lamp if it was rebuilt.
    void useWaterVariant();
    // Sun and lamp into the landscape's program (after it was rebuilt).
    void loadTerrainLights();
    // New images are drawn next frame whatever was seen in the last one.
    void forgetWaterSeen() { waterQueried = false; }

private:
    // Whether the water images can be skipped: no water pixel was drawn last frame.
    bool waterHiddenLastFrame();
    // The main image's clip plane: nothing clipped, or, above the water where the level allows, the
    // landscape deeper than the water hides.
    glm::vec4 mainClipPlane() const;
    // The mirror image and the see-through image of the water at height `h`.
    void renderWaterImagesAt(float dt, float h);

    Game& game;
    GLuint waterQuery = 0;      // samples of water drawn in the last frame
    bool waterQueried = false;  // waterQuery holds a result to read
};
