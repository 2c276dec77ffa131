#include "fluid/MetaBallSolver.h"

#include "fluid/MetaBallDensityShader.h"
#include "fluid/MetaFluidParticleShader.h"
#include "render/GlContextState.h"
#include "render/GlErrors.h"
#include "render/StorageBindings.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

// The particle program runs 256 invocations per work group.
constexpr std::uint32_t kParticleGroupSize = 256;

GLuint makeBuffer(GLenum target, GLsizeiptr bytes, GLenum usage) {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(target, buffer);
    glBufferData(target, bytes, nullptr, usage);
    glBindBuffer(target, 0);
    return buffer;
}

glm::ivec3 gridSize(const glm::vec3& dimensions) { return glm::ivec3(dimensions); }

int groupsFor(int count, int groupSize) { return std::max(0, (count + groupSize - 1) / groupSize); }

// Every fountain runs the same two programs: built by the first solver and shared while any lives, so
// a world's fountains compile (and the driver translates) them once.
template <typename Program>
std::shared_ptr<Program> sharedProgram(std::weak_ptr<Program>& cache) {
    std::shared_ptr<Program> program = cache.lock();
    if (!program) {
        program = std::make_shared<Program>();
        program->init();
        cache = program;
    }
    return program;
}

std::weak_ptr<MetaBallDensityShader> densityPrograms;
std::weak_ptr<MetaFluidParticleShader> particlePrograms;

}  // namespace

MetaBallSolver::MetaBallSolver() : random([this] { return ownDraws.draw(); }) {}

MetaBallSolver::~MetaBallSolver() {
    if (!hasCurrentGlContext()) return;
    glDeleteBuffers(2, positionBuffers);
    glDeleteBuffers(2, velocityBuffers);
    glDeleteBuffers(1, &flowFieldBuffer);
    glDeleteBuffers(1, &counterBuffer);
    glDeleteBuffers(1, &stagingBuffer);
}

void MetaBallSolver::lookUpLocations() {
    const auto in = [](GLuint program, const char* name) { return glGetUniformLocation(program, name); };
    locations.dimensions = in(particleProgram, "dimensions");
    locations.lastCount = in(particleProgram, "lastCount");
    locations.maximumCount = in(particleProgram, "maximumCount");
    locations.deltaT = in(particleProgram, "deltaT");
    locations.spawnCount = in(particleProgram, "spawnCount");
    locations.spawnPos = in(particleProgram, "spawnPos");
    locations.pointsPerUnit = in(particleProgram, "pointsPerUnit");
    locations.spawnVel = in(particleProgram, "spawnVel");
    locations.pointCount = in(densityProgram, "pointCount");
    locations.densityDimensions = in(densityProgram, "dimensions");
    locations.densityStride = in(densityProgram, "stride");
}

void MetaBallSolver::setup(const glm::vec3& dimensions, std::vector<glm::vec4>& flowField, float resolution,
                           GLuint sharedDensity) {
    pointsPerUnit = resolution;
    densityShader = sharedProgram(densityPrograms);
    densityProgram = densityShader->programId;
    particleShader = sharedProgram(particlePrograms);
    particleProgram = particleShader->programId;
    lookUpLocations();

    maximumCount = kCapacity;
    const GLsizeiptr particleBytes = static_cast<GLsizeiptr>(maximumCount) * kRecordBytes;
    for (GLuint& buffer : positionBuffers)
        buffer = makeBuffer(GL_SHADER_STORAGE_BUFFER, particleBytes, GL_DYNAMIC_DRAW);
    for (GLuint& buffer : velocityBuffers)
        buffer = makeBuffer(GL_SHADER_STORAGE_BUFFER, particleBytes, GL_DYNAMIC_DRAW);

    const GLuint zero = 0;
    counterBuffer = makeBuffer(GL_ATOMIC_COUNTER_BUFFER, sizeof(GLuint), GL_DYNAMIC_DRAW);
    glBindBuffer(GL_ATOMIC_COUNTER_BUFFER, counterBuffer);
    glBufferSubData(GL_ATOMIC_COUNTER_BUFFER, 0, sizeof(GLuint), &zero);
    glBindBuffer(GL_ATOMIC_COUNTER_BUFFER, 0);
    stagingBuffer = makeBuffer(GL_COPY_WRITE_BUFFER, sizeof(GLuint), GL_DYNAMIC_READ);

    uploadInitialParticles();

    const float cells = dimensions.y * dimensions.x * dimensions.z;
    const GLsizeiptr gridBytes = static_cast<GLsizeiptr>(cells) * kRecordBytes;
    // A caller's short vector must not make GL read past its end.
    flowField.resize(static_cast<size_t>(cells), glm::vec4(0.0f));

    glUseProgram(particleProgram);
    glGenBuffers(1, &flowFieldBuffer);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kFlowField, flowFieldBuffer);
    glBufferData(GL_SHADER_STORAGE_BUFFER, gridBytes, flowField.data(), GL_DYNAMIC_DRAW);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);

    glUseProgram(densityProgram);
    densityBuffer = sharedDensity;
    const std::vector<glm::vec4> zeros(static_cast<size_t>(cells), glm::vec4(0.0f));
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kFountainDensity, densityBuffer);
    glBufferData(GL_SHADER_STORAGE_BUFFER, gridBytes, zeros.data(), GL_DYNAMIC_READ);
    glUseProgram(0);

    std::vector<glm::vec4>().swap(flowField);
}

void MetaBallSolver::uploadInitialParticles() {
    const glm::vec4 position(5.0f, 5.0f, 5.0f, 2.0f);
    const glm::vec4 velocity(0.0f, -1.0f, 0.0f, 10.0f);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, positionBuffers[0]);
    glBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, kRecordBytes, &position);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, velocityBuffers[0]);
    glBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, kRecordBytes, &velocity);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
    pointCount = 1;
}

unsigned MetaBallSolver::takeSpawnCount(double& accumulator, float deltaT, float spawnRate, unsigned cap) {
    const float owed = deltaT * spawnRate;
    if (std::isfinite(owed) && owed > 0.0f) accumulator += owed;
    if (!(accumulator > 0.0)) return 0;
    const double whole = std::floor(accumulator);
    accumulator -= whole;
    return static_cast<unsigned>(std::min(whole, static_cast<double>(cap)));
}

void MetaBallSolver::update(float deltaT, const glm::vec3& dimensions, const glm::vec3& spawnPosition,
                            float spawnRate) {
    const unsigned spawnCount = takeSpawnCount(spawnAccumulator, deltaT, spawnRate, maximumCount);

    glUseProgram(particleProgram);
    const glm::ivec3 grid = gridSize(dimensions);
    glUniform3i(locations.dimensions, grid.x, grid.y, grid.z);
    glUniform1ui(locations.lastCount, pointCount);
    glUniform1ui(locations.maximumCount, maximumCount);
    glUniform1f(locations.deltaT, deltaT);
    glUniform1ui(locations.spawnCount, spawnCount);
    glUniform3f(locations.spawnPos, spawnPosition.x, spawnPosition.y, spawnPosition.z);
    glUniform1f(locations.pointsPerUnit, pointsPerUnit);
    // Up at 0.5 to 0.675 world units per second, sideways at most 0.1 either way; in grid units.
    const int r1 = random(), r2 = random(), r3 = random();
    const float sideways = 0.2f / 32767.0f, upwards = 0.175f / 32767.0f;
    const glm::vec3 velocity(r3 * sideways - 0.1f, 0.5f + r2 * upwards, r1 * sideways - 0.1f);
    const glm::vec3 gridVelocity = velocity * pointsPerUnit;
    glUniform3f(locations.spawnVel, gridVelocity.x, gridVelocity.y, gridVelocity.z);

    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kParticlePositionsIn, positionBuffers[current]);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kParticleVelocitiesIn, velocityBuffers[current]);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kParticlePositionsOut, positionBuffers[1 - current]);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kParticleVelocitiesOut, velocityBuffers[1 - current]);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kFlowField, flowFieldBuffer);
    glBindBufferBase(GL_ATOMIC_COUNTER_BUFFER, CounterBinding::kParticleCount, counterBuffer);

    current = 1 - current;
    drawnCount = pointCount;
    glDispatchCompute(pointCount / kParticleGroupSize + 1, 1, 1);

    glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
    glBindBuffer(GL_ATOMIC_COUNTER_BUFFER, 0);
    // The counter is read and reset through a small staging copy rather than by mapping it.
    glMemoryBarrier(GL_ATOMIC_COUNTER_BARRIER_BIT | GL_BUFFER_UPDATE_BARRIER_BIT);
    glBindBuffer(GL_ATOMIC_COUNTER_BUFFER, counterBuffer);
    glBindBuffer(GL_COPY_WRITE_BUFFER, stagingBuffer);
    glCopyBufferSubData(GL_ATOMIC_COUNTER_BUFFER, GL_COPY_WRITE_BUFFER, 0, 0, sizeof(GLuint));
    auto* mapped = static_cast<GLuint*>(
        glMapBufferRange(GL_COPY_WRITE_BUFFER, 0, sizeof(GLuint), GL_MAP_READ_BIT | GL_MAP_WRITE_BIT));
    if (mapped) {
        // The program never counts past maximumCount (it backs out of slots it cannot fill).
        pointCount = *mapped;
        *mapped = 0;
        glUnmapBuffer(GL_COPY_WRITE_BUFFER);
    } else {
        pointCount = 0;
    }
    glCopyBufferSubData(GL_COPY_WRITE_BUFFER, GL_ATOMIC_COUNTER_BUFFER, 0, 0, sizeof(GLuint));
    glBindBuffer(GL_ATOMIC_COUNTER_BUFFER, 0);
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);

    glUseProgram(0);
    glMemoryBarrier(GL_SHADER_STORAGE_BARRIER_BIT);
}

void MetaBallSolver::computeDensity(const glm::vec3& dimensions, int stride) {
    drainGlErrors("OpenGL error before density: ");

    glUseProgram(densityProgram);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, positionBuffers[1 - current]);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kParticlePositionsIn, positionBuffers[1 - current]);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, StorageBinding::kFountainDensity, densityBuffer);

    const glm::ivec3 grid = gridSize(dimensions);
    glUniform1i(locations.pointCount, static_cast<GLint>(drawnCount));
    glUniform3i(locations.densityDimensions, grid.x, grid.y, grid.z);
    const int step = std::max(stride, 1);
    glUniform1i(locations.densityStride, step);

    // One invocation per point written in blocks, so that each block can gather the few particles that
    // reach it once; the program skips the invocations past the grid's end. Along an axis of n points
    // a stride writes the points 0, stride, ... below n - 1 and n - 1 itself.
    const auto points = [step](int n) { return n > 1 ? (n - 1 + step - 1) / step + 1 : n; };
    GLint block[3] = {1, 1, 1};
    glGetProgramiv(densityProgram, GL_COMPUTE_WORK_GROUP_SIZE, block);
    glDispatchCompute(groupsFor(points(grid.x), block[0]), groupsFor(points(grid.y), block[1]),
                      groupsFor(points(grid.z), block[2]));
    glMemoryBarrier(GL_SHADER_STORAGE_BARRIER_BIT);

    drainGlErrors("OpenGL error after density: ");
}
