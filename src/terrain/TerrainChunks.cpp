#include "terrain/TerrainChunks.h"

#include "render/VertexArray.h"

#include <meshoptimizer.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// Corners equal bit for bit in position and normal share one vertex. An open-addressed table of
// vertex numbers (no node per entry) keeps a world's rebuild from holding megabytes of hash nodes.
class CornerTable {
public:
    CornerTable(size_t corners, std::vector<float>& positions, std::vector<float>& normals)
        : slots(tableSize(corners), kEmpty), positions(positions), normals(normals) {}

    // The vertex of this corner, appended to the vertex lists when it is new.
    GLuint vertexOf(const float* position, const float* normal) {
        size_t slot = hash(position, normal) & (slots.size() - 1);
        while (slots[slot] != kEmpty) {
            const GLuint vertex = slots[slot];
            if (std::memcmp(&positions[3 * vertex], position, 3 * sizeof(float)) == 0 &&
                std::memcmp(&normals[3 * vertex], normal, 3 * sizeof(float)) == 0)
                return vertex;
            slot = (slot + 1) & (slots.size() - 1);
        }
        const auto vertex = static_cast<GLuint>(positions.size() / 3);
        positions.insert(positions.end(), position, position + 3);
        normals.insert(normals.end(), normal, normal + 3);
        slots[slot] = vertex;
        return vertex;
    }

private:
    static constexpr GLuint kEmpty = std::numeric_limits<GLuint>::max();

    // A power of two at least twice the corner count, so that probes stay short.
    static size_t tableSize(size_t corners) {
        size_t size = 16;
        while (size < 2 * corners) size *= 2;
        return size;
    }

    static size_t hash(const float* position, const float* normal) {
        uint32_t words[6];
        std::memcpy(words, position, 3 * sizeof(float));
        std::memcpy(words + 3, normal, 3 * sizeof(float));
        uint64_t h = 1469598103934665603ull;
        for (uint32_t word : words) h = (h ^ word) * 1099511628211ull;
        return static_cast<size_t>(h ^ (h >> 29));
    }

    std::vector<GLuint> slots;
    std::vector<float>& positions;
    std::vector<float>& normals;
};

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

    CornerTable shared(triangles * 3, layout.positions, layout.normals);
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
                layout.indices.push_back(shared.vertexOf(p, &normals[3 * corner]));
                chunk.min = glm::min(chunk.min, glm::vec3(p[0], p[1], p[2]));
                chunk.max = glm::max(chunk.max, glm::vec3(p[0], p[1], p[2]));
            }
        }
        chunk.indexCount = static_cast<GLsizei>(layout.indices.size()) - chunk.firstIndex;
        chunk.coarser.fill(Range{chunk.firstIndex, chunk.indexCount});
        layout.chunks.push_back(chunk);
    }
    return layout;
}

void TerrainChunks::simplify(Layout& layout, float lightError, float coarseError) {
    constexpr GLuint kNone = std::numeric_limits<GLuint>::max();
    const size_t vertexCount = layout.positions.size() / 3;
    // The simplifier works on one chunk's own vertices, numbered from 0, and its lists are numbered
    // back into the shared vertices.
    std::vector<GLuint> local(vertexCount, kNone), shared, indices, simplified;
    std::vector<float> positions;
    for (Chunk& chunk : layout.chunks) {
        shared.clear();
        positions.clear();
        indices.clear();
        for (GLsizei i = chunk.firstIndex; i < chunk.firstIndex + chunk.indexCount; ++i) {
            const GLuint vertex = layout.indices[static_cast<size_t>(i)];
            if (local[vertex] == kNone) {
                local[vertex] = static_cast<GLuint>(shared.size());
                shared.push_back(vertex);
                positions.insert(positions.end(), &layout.positions[3 * vertex], &layout.positions[3 * vertex + 3]);
            }
            indices.push_back(local[vertex]);
        }
        for (GLuint vertex : shared) local[vertex] = kNone;
        // The simplifier measures its error relative to the chunk's extent.
        const float scale = meshopt_simplifyScale(positions.data(), shared.size(), 3 * sizeof(float));
        Range previous{chunk.firstIndex, chunk.indexCount};
        const float errors[2] = {lightError, coarseError};
        for (size_t k = 0; k < chunk.coarser.size(); ++k) {
            simplified.resize(indices.size());
            if (scale > 0.0f && errors[k] > 0.0f) {
                simplified.resize(meshopt_simplify(simplified.data(), indices.data(), indices.size(), positions.data(),
                                                   shared.size(), 3 * sizeof(float), 0, errors[k] / scale,
                                                   meshopt_SimplifyLockBorder, nullptr));
            }
            // A list no shorter than the one before, or one with nothing left, is not worth a range.
            if (!simplified.empty() && simplified.size() < static_cast<size_t>(previous.count)) {
                previous = Range{static_cast<GLsizei>(layout.indices.size()), static_cast<GLsizei>(simplified.size())};
                for (GLuint vertex : simplified) layout.indices.push_back(shared[vertex]);
            }
            chunk.coarser[k] = previous;
        }
    }
}

TerrainChunks::Range TerrainChunks::listAt(const Chunk& chunk, float distance, const Detail& detail) {
    if (distance >= detail.coarseFrom) return chunk.coarser[1];
    if (distance >= detail.lightFrom) return chunk.coarser[0];
    return Range{chunk.firstIndex, chunk.indexCount};
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

int TerrainChunks::draw(const BoxTest& visible, const glm::vec3& eye) const { return draw(visible, eye, Detail()); }

int TerrainChunks::draw(const BoxTest& visible, const glm::vec3& eye, const Detail& detail) const {
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
        const Range list = listAt(*chunk, distance, detail);
        const auto offset = static_cast<uintptr_t>(list.first) * sizeof(GLuint);
        glDrawElements(GL_TRIANGLES, list.count, GL_UNSIGNED_INT, reinterpret_cast<const void*>(offset));
    }
    return static_cast<int>(order.size());
}
