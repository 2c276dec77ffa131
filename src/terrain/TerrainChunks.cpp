#include "terrain/TerrainChunks.h"

#include "render/VertexArray.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace {

// The six floats of a corner (position, normal) as bits, so that equal corners weld exactly.
struct CornerKey {
    uint32_t bits[6];
    bool operator==(const CornerKey& other) const { return std::memcmp(bits, other.bits, sizeof(bits)) == 0; }
};

struct CornerHash {
    size_t operator()(const CornerKey& key) const {
        uint64_t h = 1469598103934665603ull;
        for (uint32_t word : key.bits) h = (h ^ word) * 1099511628211ull;
        return static_cast<size_t>(h);
    }
};

CornerKey keyOf(const float* position, const float* normal) {
    CornerKey key;
    std::memcpy(key.bits, position, 3 * sizeof(float));
    std::memcpy(key.bits + 3, normal, 3 * sizeof(float));
    return key;
}

GLuint arrayBuffer(GLuint attribute, const std::vector<float>& data) {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data.size() * sizeof(float)), data.data(), GL_STATIC_DRAW);
    glVertexAttribPointer(attribute, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return buffer;
}

}  // namespace

TerrainChunks::Layout TerrainChunks::build(const std::vector<float>& positions, const std::vector<float>& normals,
                                           float chunkSize) {
    Layout layout;
    const size_t triangles = std::min(positions.size(), normals.size()) / 9;
    if (triangles == 0 || chunkSize <= 0.0f) return layout;

    // The chunk grid spans the triangles' extent over x and z.
    glm::vec2 low(std::numeric_limits<float>::max()), high(std::numeric_limits<float>::lowest());
    for (size_t corner = 0; corner < triangles * 3; ++corner) {
        const glm::vec2 p(positions[3 * corner], positions[3 * corner + 2]);
        low = glm::min(low, p);
        high = glm::max(high, p);
    }
    const int columns = std::max(1, static_cast<int>(std::ceil((high.x - low.x) / chunkSize)));
    const int rows = std::max(1, static_cast<int>(std::ceil((high.y - low.y) / chunkSize)));
    const auto cellOf = [&](size_t triangle) {
        const float* p = &positions[9 * triangle];
        const float x = (p[0] + p[3] + p[6]) / 3.0f, z = (p[2] + p[5] + p[8]) / 3.0f;
        const int column = std::clamp(static_cast<int>((x - low.x) / chunkSize), 0, columns - 1);
        const int row = std::clamp(static_cast<int>((z - low.y) / chunkSize), 0, rows - 1);
        return row * columns + column;
    };

    // Triangles grouped by chunk, keeping their order within a chunk (neighbours in the marching
    // order share corners, which keeps the renderer's vertex cache warm).
    std::vector<std::vector<uint32_t>> byChunk(static_cast<size_t>(columns * rows));
    for (size_t t = 0; t < triangles; ++t) byChunk[static_cast<size_t>(cellOf(t))].push_back(static_cast<uint32_t>(t));

    std::unordered_map<CornerKey, GLuint, CornerHash> shared;
    shared.reserve(triangles);
    layout.indices.reserve(triangles * 3);
    for (const auto& members : byChunk) {
        if (members.empty()) continue;
        Chunk chunk;
        chunk.firstIndex = static_cast<GLsizei>(layout.indices.size());
        chunk.min = glm::vec3(std::numeric_limits<float>::max());
        chunk.max = glm::vec3(std::numeric_limits<float>::lowest());
        for (uint32_t t : members) {
            for (size_t corner = 3 * t; corner < 3 * t + 3; ++corner) {
                const float* p = &positions[3 * corner];
                const float* n = &normals[3 * corner];
                const auto [entry, added] =
                    shared.emplace(keyOf(p, n), static_cast<GLuint>(layout.positions.size() / 3));
                if (added) {
                    layout.positions.insert(layout.positions.end(), p, p + 3);
                    layout.normals.insert(layout.normals.end(), n, n + 3);
                }
                layout.indices.push_back(entry->second);
                chunk.min = glm::min(chunk.min, glm::vec3(p[0], p[1], p[2]));
                chunk.max = glm::max(chunk.max, glm::vec3(p[0], p[1], p[2]));
            }
        }
        chunk.indexCount = static_cast<GLsizei>(layout.indices.size()) - chunk.firstIndex;
        layout.chunks.push_back(chunk);
    }
    return layout;
}

TerrainChunks::TerrainChunks(const Layout& layout)
    : parts(layout.chunks), vertices(static_cast<int>(layout.positions.size() / 3)) {
    GLuint vao = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    GLuint indexBuffer = 0;
    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);  // recorded in the vertex array
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(layout.indices.size() * sizeof(GLuint)),
                 layout.indices.data(), GL_STATIC_DRAW);
    std::vector<GLuint> buffers{indexBuffer, arrayBuffer(0, layout.positions), arrayBuffer(2, layout.normals)};
    glBindVertexArray(0);
    vertexArray = std::make_shared<VertexArray>(vao, std::move(buffers));
}

GLuint TerrainChunks::vaoId() const { return vertexArray ? vertexArray->vaoId : 0; }

int TerrainChunks::draw(const BoxTest& visible, const glm::vec3& eye) const {
    order.clear();
    for (const Chunk& chunk : parts) {
        if (!visible || visible(chunk.min, chunk.max)) {
            // Distance to the nearest point of the box: chunks nearer the eye hide those behind.
            const glm::vec3 nearest = glm::clamp(eye, chunk.min, chunk.max);
            order.emplace_back(glm::length(nearest - eye), &chunk);
        }
    }
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

    glBindVertexArray(vaoId());
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(2);
    for (const auto& [distance, chunk] : order) {
        const auto offset = static_cast<uintptr_t>(chunk->firstIndex) * sizeof(GLuint);
        glDrawElements(GL_TRIANGLES, chunk->indexCount, GL_UNSIGNED_INT, reinterpret_cast<const void*>(offset));
    }
    return static_cast<int>(order.size());
}
