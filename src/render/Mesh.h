#pragma once

#include "scene/SceneObject.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <memory>
#include <vector>

class VertexArray;

// A drawable piece of geometry: a vertex array object, the count passed to the draw call and the
// eight corners of its bounding box (in its own coordinates) for culling.
class Mesh : public SceneObject {
public:
    Mesh() = default;
    // Takes shared ownership of `vertexArray`; `vaoId` is its name.
    Mesh(std::vector<glm::vec3> corners, std::shared_ptr<VertexArray> vertexArray, int vertexCount);
    ~Mesh() override = default;

    std::vector<glm::vec3> boundingBoxCorners;  // empty for meshes built without an index list
    GLuint vaoId = 0;
    int vertexCount = 0;  // indices for indexed meshes, vertices otherwise
    // Indices of a coarser version for far copies, stored after the `vertexCount` full ones in the same
    // element buffer; 0 where there is none.
    int coarseCount = 0;
    // Indices of an outline for the shadow map, stored after the coarse ones; 0 where there is none.
    int outlineCount = 0;
    // Owner of the GL objects behind `vaoId`, shared with copies of this mesh.
    std::shared_ptr<VertexArray> vertexArray;
};
