#include "terrain/MarchingCubesHandler.h"

#include "render/GlContextState.h"
#include "render/StorageBindings.h"
#include "scene/Random.h"
#include "terrain/MarchingCubesCount.h"

#include <cstdlib>
#include <iostream>
#include <limits>

namespace {

constexpr glm::vec4 DENSITY_PARAMS(5.0f, 1.5f, 0.4f, -0.03f);
constexpr float SPACING = 1.0f;

// Work groups needed to cover `items` invocations on each axis with the program's own local size,
// so the shaders may pick whatever group size suits the driver (their bounds checks drop the rest).
glm::uvec3 workGroupsFor(GLuint program, glm::ivec3 items) {
    GLint size[3] = {1, 1, 1};
    GLint linked = GL_FALSE;
    // Only a linked program has a group size; asking anything else would raise a GL error.
    if (glIsProgram(program)) glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked) glGetProgramiv(program, GL_COMPUTE_WORK_GROUP_SIZE, size);
    glm::uvec3 groups;
    for (int axis = 0; axis < 3; ++axis) {
        const GLuint local = size[axis] > 0 ? static_cast<GLuint>(size[axis]) : 1u;
        groups[axis] = (static_cast<GLuint>(items[axis]) + local - 1) / local;
    }
    return groups;
}

std::size_t pointCount(int n) {
    if (n <= 0) return 0;
    const std::size_t side = static_cast<std::size_t>(n);
    return side * side * side;
}

}  // namespace

MarchingCubesHandler::MarchingCubesHandler() = default;

MarchingCubesHandler::~MarchingCubesHandler() { releaseDensityBuffer(); }

void MarchingCubesHandler::releaseDensityBuffer() {
    // Without a context (handler outliving the window) the buffer died with the context already.
    if (densityBuffer != 0 && hasCurrentGlContext()) glDeleteBuffers(1, &densityBuffer);
    densityBuffer = 0;
    densityBufferBytes = 0;
}

void MarchingCubesHandler::releaseGrid() {
    std::vector<glm::vec4>().swap(points);
    std::vector<Triangle>().swap(triangles);
    releaseDensityBuffer();
}

void MarchingCubesHandler::specifyDensityBuffer(GLsizeiptr bytes) {
    // A grid of the same size reuses the buffer's storage: allocating 32 MiB afresh costs far more
    // than copying into memory that is already mapped.
    if (densityBuffer != 0 && densityBufferBytes == bytes) {
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, densityBuffer);
        glBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, bytes, points.data());
        return;
    }
    releaseDensityBuffer();
    glGenBuffers(1, &densityBuffer);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, densityBuffer);
    glBufferData(GL_SHADER_STORAGE_BUFFER, bytes, points.data(), GL_DYNAMIC_READ);
    densityBufferBytes = bytes;
}

void MarchingCubesHandler::generateDensity(int n, float boundsSize, const glm::vec3& centre, const glm::vec3& offset,
                                           Random& random) {
    glUseProgram(densityProgramId);
    const auto location = [this](const char* name) { return glGetUniformLocation(densityProgramId, name); };
    const float size = static_cast<float>(n);
    glUniform1i(location("numPointsPerAxis"), n);
    glUniform1f(location("boundsSize"), boundsSize);
    glUniform3f(location("centre"), centre.x, centre.y, centre.z);
    glUniform3f(location("offset"), offset.x, offset.y, offset.z);
    glUniform1f(location("spacing"), SPACING);
    glUniform3f(location("worldSize"), size, size, size);
    glUniform4f(location("params"), DENSITY_PARAMS.x, DENSITY_PARAMS.y, DENSITY_PARAMS.z, DENSITY_PARAMS.w);
    glUniform1i(location("octaves"), OCTAVES);

    // The zero-filled upload is what a failed program leaves behind: an all-zero grid.
    points.assign(pointCount(n), glm::vec4(0.0f));
    const GLsizeiptr gridBytes = static_cast<GLsizeiptr>(points.size() * sizeof(glm::vec4));
    specifyDensityBuffer(gridBytes);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kDensityPoints, densityBuffer);

    // Tightly packed because the shader reads plain floats.
    const std::array<float, OCTAVES* 3> octaveOffsets = drawOctaveOffsets(random);
    GLuint offsetBuffer = 0;
    glGenBuffers(1, &offsetBuffer);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, offsetBuffer);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kOctaveOffsets, offsetBuffer);
    glBufferData(GL_SHADER_STORAGE_BUFFER, sizeof(octaveOffsets), octaveOffsets.data(), GL_STATIC_READ);

    if (n > 0) {
        const glm::uvec3 groups = workGroupsFor(densityProgramId, glm::ivec3(n));
        glDispatchCompute(groups.x, groups.y, groups.z);
        glMemoryBarrier(GL_SHADER_STORAGE_BARRIER_BIT | GL_BUFFER_UPDATE_BARRIER_BIT);
    }

    glBindBuffer(GL_SHADER_STORAGE_BUFFER, densityBuffer);
    glGetBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, gridBytes, points.data());
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
    glDeleteBuffers(1, &offsetBuffer);

    updateStatistics();
}

std::array<float, MarchingCubesHandler::OCTAVES * 3> MarchingCubesHandler::drawOctaveOffsets(Random& random) {
    std::array<float, OCTAVES * 3> offsets{};
    for (int octave = 0; octave < OCTAVES; ++octave) {
        for (int component = 2; component >= 0; --component) {
            const double r = static_cast<double>(random.draw());
            offsets[octave * 3 + component] = static_cast<float>(2.0 * (r / 32768.0) - 1.0);
        }
    }
    return offsets;
}

void MarchingCubesHandler::updateStatistics() {
    maxDensity = -std::numeric_limits<float>::infinity();
    minDensity = std::numeric_limits<float>::infinity();
    float sum = 0.0f;
    for (const glm::vec4& point : points) {
        if (point.w < minDensity) minDensity = point.w;
        if (point.w > maxDensity) maxDensity = point.w;
        sum += point.w;
    }
    meanDensity = points.empty() ? 0.0f : sum / static_cast<float>(points.size());
}

float MarchingCubesHandler::levelToMarch() const {
    if (DEFAULT_ISO_LEVEL > maxDensity || minDensity > DEFAULT_ISO_LEVEL) return meanDensity;
    return DEFAULT_ISO_LEVEL;
}

Triangle* MarchingCubesHandler::generateTriangles(int n, unsigned int& count) {
    glUseProgram(marchingCubesProgramId);

    // The preferred level only makes a surface when the grid straddles it.
    isoLevel = levelToMarch();

    table.bind(StorageBinding::kTriangleTable);

    // A grid of another size than n would send the pass reading past the buffer: march nothing.
    const bool gridMatches = n >= 2 && points.size() == pointCount(n);
    int highestCellLayer = -1;
    const std::size_t capacity = gridMatches ? countTriangles(points, n, isoLevel, &highestCellLayer) : 0;
    GLuint produced = 0;

    if (capacity > 0)
        produced = marchCells(n, highestCellLayer, capacity);
    else
        triangles.clear();

    // Only the host grid is asked after the marching; its GPU copy is 32 MiB at 128³.
    releaseDensityBuffer();
    count = produced;
    std::cout << count << std::endl;
    return triangles.data();
}

GLuint MarchingCubesHandler::marchCells(int n, int highestCellLayer, std::size_t capacity) {
    // Sized by the host count over the same grid, level and table rather than for five
    // triangles in every cell, and read back only as far as the pass wrote.
    GLuint triangleBuffer = 0;
    glGenBuffers(1, &triangleBuffer);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, triangleBuffer);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kTriangles, triangleBuffer);
    glBufferData(GL_SHADER_STORAGE_BUFFER, static_cast<GLsizeiptr>(capacity * sizeof(Triangle)), nullptr,
                 GL_DYNAMIC_READ);

    GLuint counterBuffer = 0;
    const GLuint zero = 0;
    glGenBuffers(1, &counterBuffer);
    glBindBuffer(GL_ATOMIC_COUNTER_BUFFER, counterBuffer);
    glBindBufferBase(GL_ATOMIC_COUNTER_BUFFER, CounterBinding::kTriangleCount, counterBuffer);
    glBufferData(GL_ATOMIC_COUNTER_BUFFER, sizeof(zero), &zero, GL_STATIC_READ);

    // Upload the host grid again so the pass marches exactly what was counted, even if someone
    // edited `points` since the read-back.
    specifyDensityBuffer(static_cast<GLsizeiptr>(points.size() * sizeof(glm::vec4)));
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kDensityPoints, densityBuffer);

    glUniform1i(glGetUniformLocation(marchingCubesProgramId, "countPerAxis"), n);
    glUniform1f(glGetUniformLocation(marchingCubesProgramId, "isoLevel"), isoLevel);

    // Only the layers up to the highest one holding triangles: above the land lies empty sky,
    // which would cost more to march than the land itself.
    const glm::ivec3 cells(n - 1, highestCellLayer + 1, n - 1);
    const glm::uvec3 groups = workGroupsFor(marchingCubesProgramId, cells);
    glDispatchCompute(groups.x, groups.y, groups.z);
    glMemoryBarrier(GL_SHADER_STORAGE_BARRIER_BIT | GL_BUFFER_UPDATE_BARRIER_BIT | GL_ATOMIC_COUNTER_BARRIER_BIT);

    const GLuint produced = readTriangles(triangleBuffer, capacity);

    glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
    glBindBuffer(GL_ATOMIC_COUNTER_BUFFER, 0);
    glDeleteBuffers(1, &triangleBuffer);
    glDeleteBuffers(1, &counterBuffer);
    return produced;
}

GLuint MarchingCubesHandler::readTriangles(GLuint triangleBuffer, std::size_t capacity) {
    GLuint produced = 0;
    glGetBufferSubData(GL_ATOMIC_COUNTER_BUFFER, 0, sizeof(produced), &produced);
    if (produced > capacity) {
        // The shader drops what does not fit; say so rather than read past the buffer.
        std::cerr << "Marching cubes produced " << produced << " triangles for " << capacity << " counted" << std::endl;
        produced = static_cast<GLuint>(capacity);
    }
    triangles.clear();  // no copying of the old triangles if the array has to grow
    triangles.resize(produced);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, triangleBuffer);
    glGetBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, static_cast<GLsizeiptr>(produced * sizeof(Triangle)),
                       triangles.data());
    return produced;
}
