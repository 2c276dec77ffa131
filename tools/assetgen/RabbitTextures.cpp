#include "RabbitTextures.h"

#include <cmath>

#include "Noise.h"
#include "Paint.h"
#include "RabbitRig.h"
#include "SurfaceBaker.h"

using paint::rgb;

namespace {

const glm::vec3 kWhite = rgb(250, 248, 246);
const glm::vec3 kShade = rgb(226, 224, 232);
const glm::vec3 kPink = rgb(255, 150, 172);
const glm::vec3 kLine = rgb(150, 120, 130);
const glm::vec3 kFeather = rgb(196, 214, 255);

glm::vec3 fur(const Noise& noise, const glm::vec3& p) {
    // Soft patches of cooler white so the coat has some form under flat light.
    float patch = paint::smooth(-0.1f, 0.5f, noise.fbm3(p * 2.2f, 3));
    return glm::mix(kWhite, kShade, 0.5f * patch) * (1.0f + 0.025f * noise.noise3(p * 20.0f));
}

glm::vec3 earColour(const Noise& noise, const SurfacePoint& sp) {
    glm::vec3 c = fur(noise, sp.position);
    float front = paint::smooth(0.0f, -0.4f, sp.normal.y);
    float across = std::fabs(std::cos(6.2831853f * sp.parameter.x));
    float inner = paint::smooth(0.85f, 0.6f, across) * paint::smooth(0.08f, 0.18f, sp.parameter.y) *
                  paint::smooth(0.92f, 0.8f, sp.parameter.y);
    return glm::mix(c, kPink, front * inner);
}

glm::vec3 muzzleColour(const Noise& noise, const SurfacePoint& sp) {
    const glm::vec3& p = sp.position;
    glm::vec3 c = fur(noise, p);
    float front = paint::smooth(-0.2f, -0.6f, sp.normal.y);
    // A pink nose at the top front, a "Y" of a mouth below it.
    float noseHeight = p.z - 1.31f;
    float nose = paint::smooth(0.01f, 0.0f, std::fabs(p.x) - (0.025f + 0.6f * noseHeight)) *
                 paint::smooth(-0.004f, 0.006f, noseHeight) * paint::smooth(0.085f, 0.07f, noseHeight);
    c = glm::mix(c, kPink, nose * front);
    float stem =
        paint::band(p.x, 0.007f, 0.005f) * paint::smooth(1.313f, 1.305f, p.z) * paint::smooth(1.25f, 1.26f, p.z);
    float curveZ = 1.255f - 2.2f * p.x * p.x;
    float curve = paint::band(p.z - curveZ, 0.007f, 0.006f) * paint::smooth(0.11f, 0.08f, std::fabs(p.x));
    return glm::mix(c, kLine, std::max(stem, curve) * front);
}

glm::vec3 headColour(const Noise& noise, const SurfacePoint& sp) {
    glm::vec3 c = fur(noise, sp.position);
    // A touch of pink on the cheeks.
    glm::vec3 cheek(0.3f, -0.66f, 1.3f);
    float blush = paint::smooth(
        0.16f, 0.05f, glm::distance(glm::vec3(std::fabs(sp.position.x), sp.position.y, sp.position.z), cheek));
    return glm::mix(c, kPink, 0.35f * blush);
}

glm::vec3 wingColour(const Noise& noise, const SurfacePoint& sp) {
    const glm::vec3& p = sp.position;
    // Rows of feathers: scalloped bands across the span, their tips tinted.
    float span = std::fabs(p.x);
    float along = p.y;
    float row = (span * 4.5f) + 0.6f * std::fabs(std::sin(along * 9.0f));
    float edge = row - std::floor(row);
    glm::vec3 c = glm::mix(kWhite, kFeather, 0.55f * paint::smooth(0.55f, 0.95f, edge));
    c = glm::mix(c, kFeather * 0.85f, paint::smooth(0.15f, 0.35f, p.y - 0.2f * span));
    return c * (1.0f + 0.02f * noise.noise3(p * 15.0f));
}

}  // namespace

Image paintRabbitBody() {
    const int size = rabbitrig::kBodyTextureSize;
    Noise noise(404);
    Image image(size, size, paint::opaque(kWhite));
    auto bake = [&](const std::vector<Surface>& parts) {
        for (const Surface& part : parts) {
            const std::string& name = part.name();
            bakeSurface(image, part, [&](const SurfacePoint& sp) {
                glm::vec3 c;
                if (name == "ear_left" || name == "ear_right")
                    c = earColour(noise, sp);
                else if (name == "muzzle")
                    c = muzzleColour(noise, sp);
                else if (name == "head")
                    c = headColour(noise, sp);
                else if (name == "wing_left" || name == "wing_right")
                    c = wingColour(noise, sp);
                else
                    c = fur(noise, sp.position);
                return paint::opaque(c);
            });
        }
    };
    bake(rabbitrig::bodyParts());
    bake(rabbitrig::wingParts());
    return image;
}

Image paintRabbitEye() {
    const int size = rabbitrig::kEyeTextureSize;
    const glm::vec3 irisInner = rgb(255, 70, 80), irisOuter = rgb(170, 10, 30), rim = rgb(60, 0, 10);
    Image image(size, size);
    image.paint([&](int x, int y) {
        glm::vec2 uv = pixelUv(image, x, y);
        glm::vec2 d = uv - 0.5f;
        float r = glm::length(d);
        glm::vec3 c = glm::mix(irisInner, irisOuter, paint::smooth(0.08f, 0.4f, r));
        c *= 0.93f + 0.07f * std::sin(std::atan2(d.y, d.x) * 19.0f);
        c = glm::mix(c, rim, paint::smooth(0.38f, 0.45f, r));
        c = glm::mix(c, rgb(40, 0, 8), paint::smooth(0.15f, 0.13f, r));  // pupil
        c = glm::mix(c, glm::vec3(1.0f), paint::smooth(0.08f, 0.065f, glm::distance(uv, glm::vec2(0.38f, 0.65f))));
        c = glm::mix(c, glm::vec3(1.0f), paint::smooth(0.035f, 0.025f, glm::distance(uv, glm::vec2(0.6f, 0.4f))));
        return paint::opaque(c);
    });
    return image;
}
