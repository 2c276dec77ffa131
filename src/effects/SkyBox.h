#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <memory>
#include <string>
#include <vector>

class Camera;
class SkyBoxShader;
class TexturedMesh;

// The day and night cube maps on a box around the camera, drawn first in every scene pass and turned
// about the vertical axis by `rotation` (the world turns the sky; whoever draws it sets the angle).
// Only the camera's orientation matters, never its position.
class SkyBox {
public:
    // What the scene pass draws: the two cube maps and the box mesh.
    struct Model {
        std::vector<GLuint> cubeMaps;
        std::shared_ptr<TexturedMesh> mesh;
    };

    // Loads `modelName` from the models folder and both cube maps, builds the sky program and sets
    // its samplers and `brightness` once. Needs the current context; leaves the sky program current
    // and the night cube map bound to GL_TEXTURE_CUBE_MAP on the active unit.
    // `faceHalvings` above 0 halves every face that often when loading (a quarter of the memory each).
    SkyBox(const std::string& modelName, float brightness, int faceHalvings = 0);
    // Frees both cube maps while a context is current.
    ~SkyBox();
    SkyBox(const SkyBox&) = delete;
    SkyBox& operator=(const SkyBox&) = delete;

    // Clears colour and depth of the bound framebuffer (with the clear values found; not when
    // `clearFirst` is false, for a sky drawn after the opaque scene) and draws the sky turned by
    // `rotation` without writing depth, so everything drawn later covers it. The
    // sky lies just in front of the far end of the depth range whatever the camera's clip planes, so
    // it passes a GL_LESS test against the depth it has just cleared.
    // GL state left: clear colour (0.5, 0.5, 0.5, 1) after a clear, depth writes on, the sky program current, the
    // day cube map on unit 0 and the night cube map on unit 1, unit 0 active, the box's vertex array
    // bound with attributes 0 and 2 disabled. Depth test and culling are left as they were.
    void draw(const Camera& camera, const glm::vec3& skyColour, bool clearFirst = true);

    // Loads both cube maps again with their faces halved `halvings` times, unless they already are.
    // Leaves the night cube map bound to GL_TEXTURE_CUBE_MAP on the active unit.
    void useFaceHalvings(int halvings);

    // Face files in cube-map order +X, -X, +Y, -Y, +Z, -Z, below the textures folder.
    static const std::vector<std::string>& dayFaces();
    static const std::vector<std::string>& nightFaces();

    std::vector<std::shared_ptr<TexturedMesh>> meshes;
    GLuint programId = 0;
    std::vector<GLuint> cubeMaps;  // [0] day (1024 × 1024 faces), [1] night (512 × 512 faces)
    float rotation = 0.0f;         // yaw of the sky in radians
    std::shared_ptr<SkyBoxShader> shader;
    float renderRotation = 0.0f;  // the yaw used by the current pass
    Model model;
    int faceHalvings = 0;

private:
    void loadCubeMaps();
};
