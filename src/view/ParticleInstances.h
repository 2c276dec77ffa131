#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <vector>

class ParticleSystem;

// The per-instance records of one particle system's draw: a model matrix, two atlas offsets and a
// blend factor (21 floats, attributes 1 to 6 of the particle quad). Kept from frame to frame so that
// drawing allocates nothing.
class ParticleInstances {
public:
    static constexpr int kFloatsPerInstance = 21;
    static constexpr int kMaxInstances = 10000;  // what the shared instance buffer holds

    // Writes the record of every alive particle of `system` turned to `facing` (the camera's rotation),
    // at most kMaxInstances of them (said once per owner when there are more). The particles are not
    // changed. Returns the count.
    int collect(const ParticleSystem& system, const glm::vec3& facing);
    // One record of a particle shrunk to a point, which covers no pixel. Returns the count (1).
    int collapsed();
    // Re-specifies `buffer` (orphaned, so no wait on the last draw) and uploads the records. Leaves no
    // array buffer bound.
    void upload(GLuint buffer) const;

private:
    std::vector<float> floats;
    bool reportedOverflow = false;
};
