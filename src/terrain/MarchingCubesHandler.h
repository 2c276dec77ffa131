#pragma once

#include "terrain/TriangleTableBuffer.h"
#include "terrain/Triangle.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <array>
#include <limits>
#include <vector>

// Drives the two compute passes that make the landscape: the density pass fills an n³ grid of
// points (xyz position in grid units, w density; denser than the iso level means ground), and the
// marching-cubes pass turns that grid into triangles. Both results are read back to the host, where
// the terrain builds its mesh and collision shape and answers occupancy queries from `points`.
//
// Both passes bind every buffer they use themselves (see StorageBindings.h) and change GL state:
// they leave their program current and the generic shader-storage target unbound.
class Random;

class MarchingCubesHandler {
public:
    static constexpr float DEFAULT_ISO_LEVEL = 8.0f;
    static constexpr int OCTAVES = 8;

    MarchingCubesHandler();
    ~MarchingCubesHandler();
    MarchingCubesHandler(const MarchingCubesHandler&) = delete;
    MarchingCubesHandler& operator=(const MarchingCubesHandler&) = delete;

    // Runs the density program over an n³ grid with octave offsets drawn from `random`, reads the grid
    // back into `points` and updates the density statistics. Replaces the previous grid and its
    // buffer.
    void generateDensity(int n, float boundsSize, const glm::vec3& centre, const glm::vec3& offset, Random& random);

    // Marches the grid of the last generateDensity (same n; any other n marches nothing) and reads
    // the triangles back. Sets `count` to the number of triangles, prints it on its own line and
    // returns `triangles`' data, which holds exactly `count` triangles until the next call. The GPU
    // buffer is sized by counting the triangles on the host first, not for the worst case. The GPU
    // grid is freed afterwards (the next generateDensity makes it again); `points` stays.
    Triangle* generateTriangles(int n, unsigned int& count);
    // Frees the host grid, the host triangles and the GPU grid: nothing is marched or asked of the
    // grid until the next generateDensity (generateTriangles then marches nothing).
    void releaseGrid();
    // The level the next generateTriangles marches at: the preferred one when the grid straddles it,
    // else the grid's mean.
    float levelToMarch() const;

    // The density pass's octave offsets: three draws from `random` per octave, each turned into -1 to 1
    // and stored z, y, x.
    static std::array<float, OCTAVES * 3> drawOctaveOffsets(Random& random);

    std::vector<Triangle> triangles;
    float isoLevel = DEFAULT_ISO_LEVEL;
    std::vector<glm::vec4> points;
    GLuint densityBuffer = 0;
    float maxDensity = -std::numeric_limits<float>::infinity();
    float minDensity = std::numeric_limits<float>::infinity();
    float meanDensity = 0.0f;

    // Program names of the density and marching-cubes programs, set by their owner before the first
    // generation.
    GLuint densityProgramId = 0;
    GLuint marchingCubesProgramId = 0;

private:
    // Binds `densityBuffer` to the generic shader-storage target, (re)creating it when its size
    // differs, and fills it with `points`.
    void specifyDensityBuffer(GLsizeiptr bytes);
    void releaseDensityBuffer();
    void updateStatistics();
    // The marching-cubes pass over the cells up to `highestCellLayer` into a buffer of `capacity`
    // triangles (the host count), read back into `triangles`; returns how many it holds.
    GLuint marchCells(int n, int highestCellLayer, std::size_t capacity);
    // Reads the pass's triangle count and as many triangles (at most `capacity`) from `triangleBuffer`
    // into `triangles`; leaves `triangleBuffer` bound to the generic shader-storage target.
    GLuint readTriangles(GLuint triangleBuffer, std::size_t capacity);

    GLsizeiptr densityBufferBytes = 0;
    // The marching-cubes table, uploaded on first use.
    TriangleTableBuffer table;
};
