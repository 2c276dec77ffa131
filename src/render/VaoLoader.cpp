#include "render/VaoLoader.h"

#include "render/VertexArray.h"

#include <algorithm>

namespace {

constexpr GLsizei instanceStrideBytes = 21 * sizeof(float);

GLuint storeAttribute(int attributeIndex, int componentCount, const std::vector<float>& data) {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data.size() * sizeof(float)), data.data(), GL_STATIC_DRAW);
    glVertexAttribPointer(static_cast<GLuint>(attributeIndex), componentCount, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return buffer;
}

}  // namespace

GLuint createVAO() {
    GLuint vaoId = 0;
    glGenVertexArrays(1, &vaoId);
    glBindVertexArray(vaoId);
    return vaoId;
}

void addInstancedAttribute(GLuint vaoId, GLuint instanceBuffer, int attributeIndex, int componentCount,
                           int offsetInFloats) {
    glBindVertexArray(vaoId);
    glBindBuffer(GL_ARRAY_BUFFER, instanceBuffer);
    const auto offsetBytes = static_cast<uintptr_t>(offsetInFloats) * sizeof(float);
    glVertexAttribPointer(static_cast<GLuint>(attributeIndex), componentCount, GL_FLOAT, GL_FALSE, instanceStrideBytes,
                          reinterpret_cast<const void*>(offsetBytes));
    glVertexAttribDivisor(static_cast<GLuint>(attributeIndex), 1);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

std::shared_ptr<Mesh> loadToVAO(const std::vector<float>& positions, int dimensions) {
    GLuint vaoId = createVAO();
    std::vector<GLuint> buffers{storeAttribute(0, dimensions, positions)};
    glBindVertexArray(0);
    const int vertexCount = dimensions > 0 ? static_cast<int>(positions.size()) / dimensions : 0;
    return std::make_shared<Mesh>(std::vector<glm::vec3>(), std::make_shared<VertexArray>(vaoId, std::move(buffers)),
                                  vertexCount);
}

std::shared_ptr<TexturedMesh> loadToVAO(const std::vector<float>& positions, const std::vector<float>& normals) {
    GLuint vaoId = createVAO();
    std::vector<GLuint> buffers{storeAttribute(0, 3, positions), storeAttribute(2, 3, normals)};
    glBindVertexArray(0);
    return std::make_shared<TexturedMesh>(std::vector<glm::vec3>(),
                                          std::make_shared<VertexArray>(vaoId, std::move(buffers)),
                                          static_cast<int>(positions.size() / 3), std::make_shared<Material>());
}

std::shared_ptr<TexturedMesh> loadIndexedToVAO(const std::vector<float>& positions, const std::vector<float>& normals,
                                               const std::vector<unsigned int>& indices,
                                               const std::vector<float>& textureCoords,
                                               const std::vector<unsigned int>& coarse,
                                               const std::vector<unsigned int>& outline) {
    GLuint vaoId = createVAO();

    // The element buffer binding is recorded in the vertex array, so it stays bound until the unbind.
    GLuint indexBuffer = 0;
    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    const auto bytes = [](const std::vector<unsigned int>& list) {
        return static_cast<GLsizeiptr>(list.size() * sizeof(unsigned int));
    };
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, bytes(indices) + bytes(coarse) + bytes(outline), nullptr, GL_STATIC_DRAW);
    GLintptr at = 0;
    for (const std::vector<unsigned int>* list : {&indices, &coarse, &outline}) {
        if (!list->empty()) glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, at, bytes(*list), list->data());
        at += bytes(*list);
    }

    std::vector<GLuint> buffers{indexBuffer};
    buffers.push_back(storeAttribute(0, 3, positions));
    buffers.push_back(storeAttribute(1, 2, textureCoords));
    buffers.push_back(storeAttribute(2, 3, normals));
    glBindVertexArray(0);

    auto mesh = std::make_shared<TexturedMesh>(boundingBoxCorners(positions),
                                               std::make_shared<VertexArray>(vaoId, std::move(buffers)),
                                               static_cast<int>(indices.size()), std::make_shared<Material>());
    mesh->coarseCount = static_cast<int>(coarse.size());
    mesh->outlineCount = static_cast<int>(outline.size());
    return mesh;
}

std::shared_ptr<TexturedMesh> copyMesh(const std::shared_ptr<TexturedMesh>& source) {
    auto copy = std::make_shared<TexturedMesh>(source->boundingBoxCorners, source->vertexArray, source->vertexCount,
                                               source->material);
    copy->vaoId = source->vaoId;  // also for meshes whose vertex array is owned elsewhere
    copy->coarseCount = source->coarseCount;
    copy->outlineCount = source->outlineCount;
    return copy;
}

std::vector<glm::vec3> boundingBoxCorners(const std::vector<float>& positions) {
    if (positions.size() < 3) return {};
    glm::vec3 lo(positions[0], positions[1], positions[2]);
    glm::vec3 hi = lo;
    for (size_t i = 0; i + 2 < positions.size(); i += 3) {
        for (int axis = 0; axis < 3; ++axis) {
            const float value = positions[i + static_cast<size_t>(axis)];
            if (value > hi[axis]) {
                hi[axis] = value;
            } else if (value < lo[axis]) {
                lo[axis] = value;
            }
        }
    }
    return {
        {hi.x, hi.y, hi.z}, {hi.x, hi.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z},
        {lo.x, hi.y, lo.z}, {lo.x, hi.y, hi.z}, {lo.x, lo.y, hi.z}, {lo.x, lo.y, lo.z},
    };
}
