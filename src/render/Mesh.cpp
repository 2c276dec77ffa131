#include "render/Mesh.h"

#include "render/VertexArray.h"

#include <utility>

Mesh::Mesh(std::vector<glm::vec3> corners, std::shared_ptr<VertexArray> vertexArray, int vertexCount)
    : boundingBoxCorners(std::move(corners)),
      vaoId(vertexArray ? vertexArray->vaoId : 0),
      vertexCount(vertexCount),
      vertexArray(std::move(vertexArray)) {}
