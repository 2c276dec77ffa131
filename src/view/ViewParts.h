#pragma once

#include "render/GraphicsQuality.h"

#include <glm/glm.hpp>

#include <functional>
#include <memory>

class Camera;
class DirectionalLight;
class PointLight;
class Renderer;
class SceneTarget;
class ShadowFrameBuffer;
class ShadowMaster;
class SkyBox;
class WaterFrameBuffers;

// The drawing machinery a view keeps from frame to frame, handed to the passes that use it: the
// camera, the renderer, the targets the scene is drawn into, the shadow pass, the sky and the lights,
// at the window's size and the graphics level.
struct ViewParts {
    std::shared_ptr<Camera> camera;
    std::shared_ptr<Renderer> renderer;
    std::shared_ptr<SceneTarget> sceneTarget;
    std::shared_ptr<WaterFrameBuffers> waterFrameBuffers;
    std::shared_ptr<ShadowFrameBuffer> shadowFrameBuffer;
    std::shared_ptr<ShadowMaster> shadowMaster;
    std::shared_ptr<SkyBox> skyBox;
    std::shared_ptr<DirectionalLight> sun;
    std::shared_ptr<PointLight> lamp;
    GraphicsQuality quality;
    int width = 0;
    int height = 0;
    // Frustum culling of models, water and landscape chunks (F8); owned by whoever holds the switches.
    const bool* cullingEnabled = nullptr;
    // Objects skipped by culling in the current frame.
    int culledCount = 0;
    // Called at the start of every scene pass with its clip plane and drawing distance (tests watch
    // the camera during the water passes with it).
    std::function<void(const glm::vec4& clipPlane, float maxDistance)> onScenePass;

    bool culling() const { return cullingEnabled && *cullingEnabled; }
};
