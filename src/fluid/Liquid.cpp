#include "fluid/Liquid.h"

#include "fluid/MetaBallSolver.h"
#include "scene/ObjectTags.h"
#include "physics/Bodies.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

glm::ivec3 gridOf(const glm::vec3& dimensions) { return glm::ivec3(dimensions); }

}  // namespace

Liquid::Liquid(const glm::vec3& corner, const glm::vec3& origin, float /*unusedScalar*/,
               const glm::vec3& /*unusedVector*/, float rate, int pointsPerUnit, GLuint densityBuffer) {
    spawnRate = rate;
    healCooldown = 4.0f;
    const float d = static_cast<float>(pointsPerUnit);

    // Fewer than two points on an axis would leave no cell to draw and a negative instance count.
    dimensions = glm::max(glm::abs(corner - origin) * d, glm::vec3(2.0f));
    const float half = std::abs(corner.x - origin.x) / 2.0f;
    spawnPosition = glm::vec3(d * (origin.x + half) - 0.5f, d * origin.y + 0.5f, d * (origin.z + half) - 0.5f);

    const glm::ivec3 grid = gridOf(dimensions);
    const size_t cellCount = static_cast<size_t>(grid.x) * grid.y * grid.z;
    // The flow field lives on the GPU only: the solver takes this copy over and frees it.
    std::vector<glm::vec4> flowField(cellCount);
    for (int i = 0; i < grid.x; ++i) {
        for (int j = 0; j < grid.y; ++j) {
            for (int k = 0; k < grid.z; ++k) {
                const size_t index =
                    static_cast<size_t>(i) + static_cast<size_t>(grid.x) * j + static_cast<size_t>(grid.x) * grid.y * k;
                flowField[index] = glm::vec4(flowDirection(i, j, k, grid), 0.0f);
            }
        }
    }

    setScale(glm::vec3(1.0f / d));

    solver = std::make_shared<MetaBallSolver>();
    solver->setup(dimensions, flowField, d, densityBuffer);
    solver->computeDensity(dimensions);

    name = tags::kFountain;

    collisionShape = new btBoxShape(btVector3(0.5, 2.0, 0.5));
    rigidBody = physics::createBody(this, collisionShape, 0.0001, btTransform::getIdentity(), motionState,
                                    btCollisionObject::CF_NO_CONTACT_RESPONSE, true);
}

Liquid::~Liquid() {
    solver.reset();
    physics::releaseBody(rigidBody, motionState, collisionShape);
}

bool Liquid::isDue(const glm::vec3& cameraPosition, const Frustum& frustum, int& culledCount) const {
    return isDue(position, spawnRate, cameraPosition, frustum, culledCount);
}

bool Liquid::isDue(const glm::vec3& fountainPosition, float rate, const glm::vec3& cameraPosition,
                   const Frustum& frustum, int& culledCount) {
    if (!(rate > 0.0f)) return false;
    if (!(glm::length(fountainPosition - cameraPosition) < kDrawDistance)) return false;
    for (const glm::vec4& plane : frustum.planes) {
        if (glm::dot(glm::vec3(plane), fountainPosition) + plane.w < 0.0f) {
            ++culledCount;
            return false;
        }
    }
    return true;
}

void Liquid::flow(float seconds) {
    if (!visible || !(seconds > 0.0f)) return;
    solver->update(seconds, dimensions, spawnPosition, spawnRate);
    sinceSurface += seconds;
}

bool Liquid::surfaceDue() const {
    // A little slack, so that frames of exactly half the interval march every other frame.
    return !surfaceMade || sinceSurface >= kSurfaceInterval * 0.999f;
}

void Liquid::prepareSurface(int stride) {
    solver->computeDensity(dimensions, stride);
    surfaceMade = true;
    sinceSurface = 0.0f;
}

glm::vec3 Liquid::flowDirection(int i, int j, int k, const glm::ivec3& grid) {
    glm::vec3 direction(0.0f, -1.0f, 0.0f);
    if (i == 0) {
        direction.x = 1.0f;
    } else if (i == grid.x - 1) {
        direction.x = -1.0f;
    }
    if (j == 0) direction = glm::vec3(0.0f);
    if (k == 0) {
        direction.z = 1.0f;
    } else if (k == grid.z - 1) {
        direction.z = -1.0f;
    }
    return direction;
}

int Liquid::surfaceStride(float distance, int least) {
    const int stride = distance > 2.0f * kFineDistance ? 4 : (distance > kFineDistance ? 2 : 1);
    return std::max(stride, least);
}
