#include "ItemTextures.h"

#include <cmath>

#include "ItemModels.h"
#include "Noise.h"
#include "Paint.h"
#include "Surface.h"
#include "SurfaceBaker.h"

using paint::rgb;

namespace {

// A gem's facets: light and dark columns over a height gradient from `deep` to `bright`, with a glint.
Image paintGem(const glm::vec3& deep, const glm::vec3& bright, const glm::vec3& sheen) {
    Image image(64, 64);
    image.paint([&](int x, int y) {
        glm::vec2 uv = pixelUv(image, x, y);
        glm::vec3 c = glm::mix(deep, bright, paint::smooth(0.05f, 0.95f, uv.y));
        // Left columns are the facets that catch the light, right ones those in shade.
        float light = 1.0f - paint::smooth(0.35f, 0.65f, uv.x);
        c *= 0.7f + 0.3f * light;
        c = glm::mix(c, sheen, 0.7f * light * paint::smooth(0.88f, 0.97f, uv.y));
        // A diagonal glint running through the light facets.
        c = glm::mix(c, sheen, 0.5f * light * paint::band(uv.y - 0.6f + 0.8f * (uv.x - 0.25f), 0.03f, 0.05f));
        return paint::opaque(c);
    });
    return image;
}

}  // namespace

Image paintItem() { return paintGem(rgb(0, 96, 170), rgb(40, 205, 245), rgb(170, 245, 255)); }

Image paintCarriedGem() { return paintGem(rgb(110, 0, 30), rgb(240, 45, 70), rgb(255, 200, 190)); }

Image paintProjectile() {
    Noise noise(505);
    const glm::vec3 core = rgb(255, 250, 215), hot = rgb(255, 200, 70), ember = rgb(255, 110, 30);
    Image image(512, 512, paint::opaque(hot));
    bakeSurface(image, projectileSphere(), [&](const SurfacePoint& sp) {
        glm::vec3 p = sp.position;
        // Swirls: noise warped around the orb's axis, so the orb seems to churn as it spins.
        glm::vec3 q = p * 2.2f + glm::vec3(1.7f * noise.noise3(p * 1.3f), 0.0f, 1.7f * noise.noise3(p * 1.3f + 9.0f));
        float swirl = noise.fbm3(q, 4);
        glm::vec3 c = glm::mix(core, hot, paint::smooth(-0.35f, 0.1f, swirl));
        c = glm::mix(c, ember, paint::smooth(0.15f, 0.5f, swirl));
        return paint::opaque(c);
    });
    return image;
}
