#include "view/ParticleInstances.h"

#include "effects/ParticleSystem.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <iostream>

int ParticleInstances::collect(const ParticleSystem& system, const glm::vec3& facing) {
    floats.clear();
    floats.reserve(std::min<size_t>(system.particles.size(), kMaxInstances) * kFloatsPerInstance);
    int count = 0;
    for (const auto& particle : system.particles) {
        if (!particle->alive) continue;
        if (count == kMaxInstances) {
            if (!reportedOverflow) {
                std::cerr << "Particle system has more than " << kMaxInstances << " alive particles; only the farthest "
                          << kMaxInstances << " are drawn" << std::endl;
                reportedOverflow = true;
            }
            break;
        }
        const glm::mat4 model = glm::translate(glm::mat4(1.0f), particle->position) *
                                SceneObject::rotationMatrix(facing) * glm::scale(glm::mat4(1.0f), particle->scale);
        const float* matrix = glm::value_ptr(model);
        floats.insert(floats.end(), matrix, matrix + 16);
        floats.insert(floats.end(), {particle->texOffset1.x, particle->texOffset1.y, particle->texOffset2.x,
                                     particle->texOffset2.y, particle->blend});
        ++count;
    }
    return count;
}

int ParticleInstances::collapsed() {
    floats.assign(kFloatsPerInstance, 0.0f);
    floats[15] = 1.0f;  // the matrix takes every corner of the quad to the world's origin
    return 1;
}

void ParticleInstances::upload(GLuint buffer) const {
    const auto bytes = static_cast<GLsizeiptr>(floats.size() * sizeof(float));
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, bytes, nullptr, GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, bytes, floats.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}
