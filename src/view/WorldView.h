#pragma once

#include "effects/HudShapes.h"
#include "effects/HudText.h"
#include "render/GraphicsQuality.h"
#include "view/ScenePasses.h"
#include "view/ViewParts.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <functional>
#include <memory>
#include <vector>

class BulletDebugDrawer;
class SceneTarget;
class TexturedMesh;
class WaterFrameBuffers;
class Hud;
class World;
struct GuiObject;

// What the player sees of a world, and everything that drawing needs from one frame to the next: the
// camera (put where the world's eye is each frame), the renderer and its programs, the sun and the
// lamp, the shadow pass, the sky, the water images, the scene target, the crosshair and the HUD text.
// It reads the world and never changes what play depends on; it owns the looks of the world's
// things only as far as the level asks (their program variants, texture sizes and the water images).
// Every operation needs the current context.
class WorldView {
public:
    struct Setup {
        int width = 0;
        int height = 0;
        GraphicsQuality quality;
        float brightness = 1.0f;
        // The culling switch (F8), read at every draw; must outlive the view.
        const bool* cullingEnabled = nullptr;
    };

    // What one frame shows besides the world.
    struct Frame {
        float worldSeconds = 0.0f;   // how much the world ran in this frame (waves, fountains)
        glm::vec2 lookOffset{0.0f};  // the crosshair, in pixels from the window's centre
        bool aimOnTerrain = false;   // the crosshair turns white over the landscape
        bool lampFrozen = false;     // the lamp stays where it was (Q)
        bool showHud = true;         // the HUD text is drawn (F3)
        bool showCrosshair = true;
        glm::vec2 crosshairScale{0.03f, 0.05f};  // half its size in normalised device coordinates
        bool firstPicture = false;               // a world's or level's first: the driver builds what later frames use
    };

    explicit WorldView(const Setup& setup);
    ~WorldView();
    WorldView(const WorldView&) = delete;
    WorldView& operator=(const WorldView&) = delete;

    // Makes the world's landscape and lake look as this view draws: the level's program variants and
    // texture sizes, the water images, the lights. After a world is built.
    void adopt(const World& world);
    // A new world in place of the last (its landscape and lake are the same objects): the water images
    // are drawn again whatever was seen, the lamp goes to the cat.
    void worldRestarted(const World& world);
    // Draws from the next frame on with `quality` (and gives `world` the looks it needs).
    void setQuality(const GraphicsQuality& quality, const World& world);
    const GraphicsQuality& quality() const { return parts.quality; }
    // The window's drawable area changed: projection, HUD, targets follow. A zero size is ignored.
    void resize(int width, int height, const World& world);
    int width() const { return parts.width; }
    // The vertical field of view, in degrees, from the next frame on.
    void setFieldOfView(float degrees);
    int height() const { return parts.height; }

    // The direction through the point `lookOffset` pixels from the window's centre, in the eye's own
    // frame (-z ahead): the aim as a tick takes it.
    glm::vec3 aimDirection(const glm::vec2& lookOffset) const;
    // How far the crosshair may move from the centre: half the window.
    glm::vec2 lookLimit() const;

    // The HUD rows of the next draw, over `shapes`.
    void setRows(const std::vector<HudText>& rows, const HudShapes& shapes = HudShapes());
    // The width of `text` at `scale` in the HUD's font, in pixels, and how far its ink reaches above
    // and below the baseline at scale 1.
    float textWidth(const std::string& text, float scale) const;
    float textAscent() const;
    float textDescent() const;

    // One frame: the camera at the world's eye, the lamp following the cat, the shadows, the water
    // images, the scene, the water, the fountains, the sparkles, the scene into the window, the
    // crosshair and the HUD text. Leaves the default framebuffer bound.
    void draw(const World& world, const Frame& frame);

    // Objects skipped by culling in the last draw.
    int culledCount() const { return parts.culledCount; }
    const Camera& camera() const { return *parts.camera; }
    const PointLight& lamp() const { return *parts.lamp; }
    const SkyBox& sky() const { return *parts.skyBox; }
    const GuiObject& crosshair() const { return *crosshairImage; }
    const SceneTarget& sceneTarget() const { return *parts.sceneTarget; }
    const WaterFrameBuffers& waterImages() const { return *parts.waterFrameBuffers; }
    const ShadowMaster& shadows() const { return *parts.shadowMaster; }
    GLuint crosshairTexture(bool white) const { return white ? crosshairWhiteTexture : crosshairPlainTexture; }
    // The renderer, for tools that time its draws.
    Renderer& renderer() const { return *parts.renderer; }
    // The fountains' shared density grid (the liquid fountains write it).
    GLuint fountainDensityBuffer() const;
    // The debug drawer to hand to physics worlds.
    BulletDebugDrawer* debugDrawer() const { return lines.get(); }

    // Called at the start of every scene pass with its clip plane and distance; tests use it.
    void onScenePass(std::function<void(const glm::vec4& clipPlane, float maxDistance)> hook);
    // Called as each part of a frame begins: "shadows", "water images", "scene", "effects" (water
    // surface, fountains, particles), "overlay" (scaling into the window, crosshair), "hud", and
    // "end". The benchmark times the parts with it; empty in the game.
    std::function<void(const char* part)> onFramePart;

private:
    void framePart(const char* part);
    void followEye(const World& world);
    // Leaves out of this frame the meshes of the cat and the rabbits so close to the view that the near
    // plane would cut through them; the caller shows them again.
    std::vector<TexturedMesh*> hideCloseMeshes(const World& world) const;
    void moveLamp(const World& world);

    float brightness;  // of the settings; the renderer reads it at every draw
    ViewParts parts;
    ScenePasses passes{parts};
    std::shared_ptr<Hud> hud;
    std::unique_ptr<BulletDebugDrawer> lines;
    std::shared_ptr<GuiObject> crosshairImage;
    std::vector<std::shared_ptr<GuiObject>> guiObjects;
    GLuint crosshairPlainTexture = 0;
    GLuint crosshairWhiteTexture = 0;
};
