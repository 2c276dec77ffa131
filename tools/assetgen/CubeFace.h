#pragma once

#include <glm/glm.hpp>

// OpenGL's cube-map layout: face i (0..5 = +X, -X, +Y, -Y, +Z, -Z) and the direction that a
// position on it stands for. (s, t) run over [0, 1]; t = 0 is the face's first row, which is the
// top row of the PNG since the game uploads rows in file order.
inline glm::vec3 cubeFaceDirection(int face, float s, float t) {
    float sc = 2 * s - 1, tc = 2 * t - 1;
    switch (face) {
        case 0: return glm::normalize(glm::vec3(1, -tc, -sc));
        case 1: return glm::normalize(glm::vec3(-1, -tc, sc));
        case 2: return glm::normalize(glm::vec3(sc, 1, tc));
        case 3: return glm::normalize(glm::vec3(sc, -1, -tc));
        case 4: return glm::normalize(glm::vec3(sc, -tc, 1));
        default: return glm::normalize(glm::vec3(-sc, -tc, -1));
    }
}

// The inverse for a direction whose major axis is this face's: fills (s, t) and returns true when
// the direction lies in front of the face's plane (s and t may fall outside [0, 1] near edges).
inline bool cubeFacePosition(int face, const glm::vec3& d, float& s, float& t) {
    static const glm::vec3 axes[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    float ma = glm::dot(d, axes[face]);
    if (ma <= 1e-4f) return false;
    glm::vec3 p = d / ma;
    float sc = 0, tc = 0;
    switch (face) {
        case 0:
            sc = -p.z;
            tc = -p.y;
            break;
        case 1:
            sc = p.z;
            tc = -p.y;
            break;
        case 2:
            sc = p.x;
            tc = p.z;
            break;
        case 3:
            sc = p.x;
            tc = -p.z;
            break;
        case 4:
            sc = p.x;
            tc = -p.y;
            break;
        default:
            sc = -p.x;
            tc = -p.y;
            break;
    }
    s = (sc + 1) / 2;
    t = (tc + 1) / 2;
    return true;
}
