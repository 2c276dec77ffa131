#include "render/ShadowBox.h"

#include <cmath>

void ShadowBox::update(const Frustum& frustum, const glm::mat4& lightView) {
    const glm::vec3 c = frustum.centre;
    const glm::vec3 e(halfExtent);
    // Used as they come: the light's z values are not negated, so with the light looking back
    // towards the sun, nearer the sun still means smaller depth.
    const glm::vec4 hi = lightView * glm::vec4(c + e, 1.0f);
    const glm::vec4 lo = lightView * glm::vec4(c - e, 1.0f);
    const float l = lo.x, r = hi.x, b = lo.y, t = hi.y;
    float n = lo.z, f = hi.z;
    if (depthReach > 0.0f) {
        // The light's view keeps lengths: the reach is as many units of its z, the same way round.
        const float middle = 0.5f * (lo.z + hi.z);
        const float reach = hi.z >= lo.z ? depthReach : -depthReach;
        n = middle - reach;
        f = middle + reach;
    }

    glm::mat4 ortho(0.0f);
    ortho[0][0] = 2.0f / (r - l);
    ortho[1][1] = 2.0f / (t - b);
    ortho[2][2] = -2.0f / (f - n);
    ortho[3][0] = -(r + l) / (r - l);
    ortho[3][1] = -(t + b) / (t - b);
    ortho[3][2] = -(f + n) / (f - n);
    ortho[3][3] = 1.0f;

    // Shift by less than a texel so that the world origin sits on a texel corner.
    const glm::mat4 m = ortho * lightView;
    const float ox = m[3][0] * mapSize * 0.5f;
    const float oy = m[3][1] * mapSize * 0.5f;
    ortho[3][0] += 2.0f * (std::round(ox) - ox) / mapSize;
    ortho[3][1] += 2.0f * (std::round(oy) - oy) / mapSize;

    projectionMatrix = ortho;
}
