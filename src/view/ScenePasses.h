#pragma once

#include "view/WaterImageSchedule.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <utility>
#include <vector>

class Liquid;
class World;
struct ViewParts;

// The frame's drawing passes over a world: the shadow map, the water's reflection and refraction
// images, the scene (sky, batched models, landscape), the water surfaces and the fountains; and the
// targets they draw into, kept at the window's size and the graphics level. It keeps the query that
// tells whether any water was drawn, so a frame may skip the water images. Its view owns it and the
// parts it is handed; every pass needs the current context and changes the GL state it says.
class ScenePasses {
public:
    explicit ScenePasses(ViewParts& parts);
    ~ScenePasses();

    ScenePasses(const ScenePasses&) = delete;
    ScenePasses& operator=(const ScenePasses&) = delete;

    // The shadow map of the sun, then the shadow uniforms of the landscape's program.
    void renderShadows(const World& world);
    // The reflection and refraction images of every tile in view (all of them with culling off).
    void renderWaterImages(const World& world);
    // The main image into the scene target, clipped where the level allows.
    void renderMainImage(const World& world);
    // Sky, batched models and landscape into the bound framebuffer, clipped by `clipPlane`.
    void renderScene(const World& world, const glm::vec4& clipPlane, float maxDistance);
    // Every water tile, its waves moved on by `seconds`, counting whether any of it was drawn where the
    // level skips hidden water.
    void renderWaterSurfaces(const World& world, float seconds);
    // Near fountains in view flow for `seconds` of the world's time and have their surfaces marched
    // where due: before the frame draws anything, so the compute passes wait on nothing queued. Needs
    // the camera's frustum of this frame.
    void prepareFountains(const World& world, float seconds);
    // The fountains prepareFountains found due, drawn.
    void renderFountains();

    // The scene target and the water images for the window size and the level; the world's water
    // tiles (if any) get the new images.
    void sizeTargets(const World* world);
    // The shadow map, its box's steps and cache, and the landscape's program and texture filter for
    // the level. Leaves texture unit 0's 2D array binding at 0.
    void applyShadowAndTerrainQuality(const World* world);
    // The water program of the level, with sun and lamp if it was rebuilt.
    void useWaterVariant(const World& world);
    // Sun and lamp into the programs of the world's landscape and water, the sun into the textured
    // and the fountain programs.
    void loadLights(const World& world);
    // New images are drawn next frame whatever was seen in the last one.
    void forgetWaterSeen() {
        waterQueried = false;
        waterImages.forget();
    }

private:
    // Whether the water images can be skipped: no water pixel was drawn last frame.
    bool waterHiddenLastFrame();
    // The main image's clip plane: nothing clipped, or, above the water where the level allows, the
    // landscape deeper than the water hides.
    glm::vec4 mainClipPlane(const World& world) const;
    // The mirror image and the see-through image of the water at height `h`, those of `images`
    // (WaterImageSchedule's bits).
    void renderWaterImagesAt(const World& world, float h, int images);
    // The renderer's coarse-model distance for the main image or (`images`) the shadow map and the
    // water images.
    void useCoarseModels(bool images);
    // The renderer's landscape detail for the mirror image (`mirror`) or every other pass that draws
    // the chunks.
    void useLandscapeDetail(bool mirror);

    ViewParts& parts;
    GLuint waterQuery = 0;      // samples of water drawn in the last frame
    bool waterQueried = false;  // waterQuery holds a result to read
    WaterImageSchedule waterImages;
    // This frame's fountains to draw, each with the stride its surface was marched in; the world
    // holds them for the frame.
    std::vector<std::pair<Liquid*, int>> dueFountains;
};
