#include "render/LookAt.h"

glm::mat4 lookAt(const glm::vec3& eye, const glm::vec3& target, const glm::vec3& up) {
    const glm::vec3 f = glm::normalize(target - eye);
    const glm::vec3 s = glm::normalize(glm::cross(f, up));
    const glm::vec3 u = glm::cross(s, f);
    // Rows s, u, -f (GLM indexes column first).
    glm::mat4 m(1.0f);
    for (int column = 0; column < 3; ++column) {
        m[column][0] = s[column];
        m[column][1] = u[column];
        m[column][2] = -f[column];
    }
    m[3][0] = -glm::dot(s, eye);
    m[3][1] = -glm::dot(u, eye);
    m[3][2] = glm::dot(f, eye);
    return m;
}
