#pragma once

#include "render/Material.h"
#include "render/Mesh.h"

#include <memory>

// A mesh drawn by the textured program with a material (texture and lighting constants).
class TexturedMesh : public Mesh {
public:
    TexturedMesh() = default;
    TexturedMesh(std::vector<glm::vec3> corners, std::shared_ptr<VertexArray> vertexArray, int vertexCount,
                 std::shared_ptr<Material> material);
    ~TexturedMesh() override = default;

    std::shared_ptr<Material> material;
};
