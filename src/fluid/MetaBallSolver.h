#pragma once

#include "scene/Random.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class MetaBallDensityShader;
class MetaFluidParticleShader;

// The particles of one fountain, run entirely on the GPU: a double-buffered particle step that moves,
// drops and spawns particles through an atomic counter, and a density pass that splats them into the
// shared metaball grid the fountain surface is drawn from. Only the particle count (4 bytes per step)
// comes back to the CPU. Every operation needs the current context and leaves no program current.
class MetaBallSolver {
public:
    // Draws for the spawn velocity, 0 to 32767 (the solver's own generator by default; tests inject
    // their own).
    using RandomSource = std::function<int()>;

    MetaBallSolver();
    ~MetaBallSolver();
    MetaBallSolver(const MetaBallSolver&) = delete;
    MetaBallSolver& operator=(const MetaBallSolver&) = delete;

    // Builds both programs (or shares those of the solvers alive) and all buffers, uploads the first particle and the
    // flow field (one record per grid cell, taken over: `flowField` is left empty) and sizes the density grid
    // `densityBuffer` (shared by the fountains, owned by whoever draws them) for `dimensions` grid points (zeroed).
    // Every new fountain re-specifies that shared grid. The grid has `pointsPerUnit` points per world
    // unit: the motion is set in world units and scaled by it.
    void setup(const glm::vec3& dimensions, std::vector<glm::vec4>& flowField, float pointsPerUnit,
               GLuint densityBuffer);
    // One particle step of `deltaT` seconds: spawns what the accumulator owes at `spawnRate` per second
    // at `spawnPosition` (grid units), all with one random upward velocity, then reads back the new
    // particle count.
    void update(float deltaT, const glm::vec3& dimensions, const glm::vec3& spawnPosition, float spawnRate);
    // Writes the shared density grid from the particle set that the latest update read: every grid
    // point, or for a surface marched in cells of `stride` grid steps only the points it reads (those
    // at multiples of the stride and the last of each axis). Reports queued GL errors.
    void computeDensity(const glm::vec3& dimensions, int stride = 1);
    // The one particle every fountain starts with, at offset 0 of the first buffers; pointCount = 1.
    void uploadInitialParticles();

    // Adds deltaT * spawnRate to `accumulator` and takes its whole part out as the number of
    // particles to spawn now (at most `cap`; the fraction stays owed). Non-finite or negative
    // products add nothing, so one bad frame cannot stall spawning for good.
    static unsigned takeSpawnCount(double& accumulator, float deltaT, float spawnRate, unsigned cap);

    // The uniforms of the two programs, looked up once when they are built.
    struct Locations {
        GLint dimensions = -1, lastCount = -1, maximumCount = -1, deltaT = -1, spawnCount = -1, spawnPos = -1,
              pointsPerUnit = -1, spawnVel = -1;
        GLint pointCount = -1, densityDimensions = -1, densityStride = -1;
    };
    void lookUpLocations();
    Locations locations;

    std::shared_ptr<MetaBallDensityShader> densityShader;
    GLuint densityProgram = 0;
    std::shared_ptr<MetaFluidParticleShader> particleShader;
    GLuint particleProgram = 0;
    GLuint densityBuffer = 0;  // the fountains' shared grid; not owned
    GLuint flowFieldBuffer = 0;
    GLuint positionBuffers[2] = {0, 0};
    GLuint velocityBuffers[2] = {0, 0};
    GLuint counterBuffer = 0;
    GLuint stagingBuffer = 0;
    std::uint32_t pointCount = 0;      // particles in positionBuffers[current]
    std::uint32_t maximumCount = 300;  // capacity of every particle buffer
    int current = 0;                   // which buffer of each pair holds the latest particle set
    double spawnAccumulator = 0.0;     // particles owed but not yet spawned
    // Particles in positionBuffers[1 - current], the set the density pass draws: the count the latest
    // update read. Passing pointCount there instead would read records past the end of that set.
    std::uint32_t drawnCount = 0;
    float pointsPerUnit = 40.0f;  // grid points per world unit
    RandomSource random;

private:
    Random ownDraws;

    static constexpr std::uint32_t kCapacity = 300;
    static constexpr GLsizeiptr kRecordBytes = 16;  // one vec4 per particle, flow cell and grid point
};
