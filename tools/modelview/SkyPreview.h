#pragma once

#include <GL/glew.h>

#include <glm/glm.hpp>

class Mesh;

// Draws the sky box model from inside with a cube map, the way the game's sky pass samples it: the
// direction to a vertex of the box is the direction looked up in the cube map.
class SkyPreview {
public:
    SkyPreview();
    ~SkyPreview();
    SkyPreview(const SkyPreview&) = delete;
    SkyPreview& operator=(const SkyPreview&) = delete;

    // Changes GL state: current program, depth mask (restored), cube map on unit 0, culling on.
    void draw(const Mesh& box, GLuint cubeMap, const glm::mat4& projection, const glm::mat4& rotationOnlyView);

private:
    GLuint program = 0;
};
