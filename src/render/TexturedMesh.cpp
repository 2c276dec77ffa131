#include "render/TexturedMesh.h"

#include <utility>

TexturedMesh::TexturedMesh(std::vector<glm::vec3> corners, std::shared_ptr<VertexArray> vertexArray, int vertexCount,
                           std::shared_ptr<Material> material)
    : Mesh(std::move(corners), std::move(vertexArray), vertexCount), material(std::move(material)) {}
