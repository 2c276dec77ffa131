#include "CatTextures.h"

#include <algorithm>
#include <cmath>

#include "CatRig.h"
#include "Noise.h"
#include "Paint.h"
#include "SurfaceBaker.h"

using paint::rgb;

namespace {

const glm::vec3 kFur = rgb(240, 150, 62);
const glm::vec3 kStripe = rgb(176, 86, 30);
const glm::vec3 kCream = rgb(255, 243, 224);
const glm::vec3 kPink = rgb(255, 160, 170);
const glm::vec3 kDark = rgb(70, 36, 30);

// Soft fur tone so the coat is not flat, at a scale that reads as fur rather than noise.
float furTone(const Noise& noise, const glm::vec3& p) {
    return 1.0f + 0.07f * noise.fbm3(p * 5.0f, 3) + 0.03f * noise.noise3(p * 22.0f);
}

// Tabby stripe strength (0..1) for a coordinate that the stripes cross, wobbled by noise.
float stripes(float coordinate, float frequency, float duty, float wobble) {
    float f = std::sin(6.2831853f * (coordinate * frequency + wobble));
    return paint::smooth(1.0f - 2.0f * duty - 0.12f, 1.0f - 2.0f * duty + 0.12f, f);
}

glm::vec3 torsoColour(const Noise& noise, const SurfacePoint& sp) {
    const glm::vec3& p = sp.position;
    float wobble = 0.18f * noise.fbm3(p * 1.6f, 2);
    // Bands cross the back; they bend towards the tail on the flanks.
    float s = stripes(p.y + 0.28f * std::fabs(p.x), 2.6f, 0.28f, wobble);
    float back = paint::smooth(-1.25f, -0.8f, p.z);
    glm::vec3 c = glm::mix(kFur, kStripe, s * back);
    // A darker line along the spine.
    c = glm::mix(c, kStripe, 0.55f * paint::band(p.x, 0.08f, 0.1f) * paint::smooth(0.75f, 0.95f, sp.normal.z));
    // Cream chest and belly.
    float chest = paint::smooth(-0.35f, -0.6f, p.y) * paint::smooth(-0.55f, -0.85f, p.z);
    float belly = paint::smooth(-1.3f, -1.45f, p.z);
    c = glm::mix(c, kCream, std::max(chest, belly));
    return c;
}

glm::vec3 headColour(const Noise& noise, const SurfacePoint& sp) {
    const glm::vec3& p = sp.position;
    const glm::vec3& n = sp.normal;
    glm::vec3 c = kFur;
    // The tabby "M": thin stripes running up the forehead.
    float forehead = paint::smooth(0.15f, 0.45f, n.z) * paint::smooth(0.2f, -0.4f, n.y);
    float lines = stripes(p.x + 0.05f * noise.noise3(p * 4.0f), 6.5f, 0.22f, 0.25f);
    c = glm::mix(c, kStripe, lines * forehead * paint::smooth(0.45f, 0.2f, std::fabs(p.x)));
    // Stripes over the crown, crossing it front to back.
    float crown = paint::smooth(0.5f, 0.8f, n.z) * paint::smooth(-0.75f, -0.55f, p.y);
    c = glm::mix(c, kStripe, crown * stripes(p.y, 5.0f, 0.25f, 0.1f));
    // Cheek stripes.
    float cheek = paint::smooth(0.55f, 0.8f, std::fabs(n.x)) * paint::smooth(-0.2f, -0.45f, p.z);
    c = glm::mix(c, kStripe, cheek * stripes(p.z, 7.0f, 0.22f, 0.3f));
    // Cream chin and the fur around the muzzle.
    float chin = paint::smooth(-0.45f, -0.62f, p.z) * paint::smooth(-0.7f, -0.95f, p.y);
    float around = paint::smooth(-0.2f, -0.38f, p.z) * paint::smooth(-0.85f, -1.0f, p.y) *
                   paint::smooth(0.32f, 0.18f, std::fabs(p.x));
    c = glm::mix(c, kCream, std::max(chin, around));
    return c;
}

glm::vec3 muzzleColour(const SurfacePoint& sp) {
    const glm::vec3& p = sp.position;
    glm::vec3 c = kCream;
    // A pink nose: a small rounded triangle at the top front, pointing down.
    float front = paint::smooth(-0.2f, -0.6f, sp.normal.y);
    float noseHeight = p.z + 0.33f;
    float nose = paint::smooth(0.012f, 0.0f, std::fabs(p.x) - (0.03f + 0.55f * noseHeight)) *
                 paint::smooth(-0.005f, 0.008f, noseHeight) * paint::smooth(0.11f, 0.09f, noseHeight);
    c = glm::mix(c, kPink, nose * front);
    // Mouth: a short line down from the nose, then two curves outwards.
    float line =
        paint::band(p.x, 0.008f, 0.006f) * paint::smooth(-0.325f, -0.34f, p.z) * paint::smooth(-0.43f, -0.41f, p.z);
    float curveZ = -0.43f + 1.8f * p.x * p.x;
    float curve = paint::band(p.z - curveZ, 0.008f, 0.007f) * paint::smooth(0.15f, 0.1f, std::fabs(p.x));
    c = glm::mix(c, kDark, std::max(line, curve) * front);
    return c;
}

glm::vec3 earColour(const SurfacePoint& sp) {
    glm::vec3 c = kFur;
    // Pink inside (the front face), framed by fur.
    float front = paint::smooth(-0.1f, -0.45f, sp.normal.y);
    float across = std::fabs(std::cos(6.2831853f * sp.parameter.x));
    float inner = paint::smooth(0.8f, 0.6f, across) * paint::smooth(0.05f, 0.15f, sp.parameter.y) *
                  paint::smooth(0.85f, 0.7f, sp.parameter.y);
    c = glm::mix(c, kPink, front * inner);
    // Darker tips.
    c = glm::mix(c, kStripe, paint::smooth(0.7f, 0.9f, sp.parameter.y) * 0.6f);
    return c;
}

glm::vec3 haunchColour(const Noise& noise, const SurfacePoint& sp) {
    const glm::vec3& p = sp.position;
    // The flank stripes carry on over the haunches, running down the thigh.
    float s = stripes(p.y + 0.28f * std::fabs(p.x), 2.6f, 0.28f, 0.18f * noise.fbm3(p * 1.6f, 2));
    glm::vec3 c = glm::mix(kFur, kStripe, s * paint::smooth(-1.5f, -1.2f, p.z));
    return glm::mix(c, kCream, paint::smooth(-1.5f, -1.62f, p.z));
}

}  // namespace

Image paintPillow() {
    const int size = catrig::kPillowTextureSize;
    Noise noise(101);
    const glm::vec3 fabric = rgb(118, 66, 176), seam = rgb(74, 38, 120), gold = rgb(250, 196, 70);
    Image image(size, size);
    image.paint([&](int x, int y) {
        glm::vec2 uv = pixelUv(image, x, y);
        glm::vec2 p = (uv - 0.5f) * 2.0f * catrig::kPillowUvHalfWidth;
        // Distance in from the cushion's rim (the sides lie within about 0.2 of it).
        float edge = 1.25f - std::max(std::fabs(p.x), std::fabs(p.y));
        // Quilted diamonds with a button at every crossing.
        float a = (p.x + p.y) / 0.5f, b = (p.x - p.y) / 0.5f;
        float da = std::fabs(a - std::round(a)), db = std::fabs(b - std::round(b));
        float lineDist = std::min(da, db);
        float puff = 0.82f + 0.18f * paint::smooth(0.0f, 0.35f, lineDist);
        glm::vec3 c = fabric * puff;
        c = glm::mix(c, seam, paint::band(lineDist, 0.015f, 0.02f));
        float button = paint::smooth(0.09f, 0.06f, std::hypot(da, db));
        c = glm::mix(c, gold * 0.85f, button);
        c *= 1.0f + 0.05f * noise.fbm2(uv.x, uv.y, 16, 3);
        // Gold piping around the top rim; the sides are plain fabric.
        float piping = paint::band(edge - 0.2f, 0.045f, 0.02f);
        c = glm::mix(c, gold * (0.9f + 0.1f * std::cos(90.0f * (p.x + p.y))), piping);
        c = glm::mix(c, fabric * 0.8f, paint::smooth(0.14f, 0.1f, edge));
        return paint::opaque(c);
    });
    return image;
}

Image paintCatBody() {
    const int size = catrig::kBodyTextureSize;
    Noise noise(202);
    Image image(size, size, paint::opaque(kFur));
    for (const Surface& part : catrig::bodyParts()) {
        const std::string& name = part.name();
        bakeSurface(image, part, [&](const SurfacePoint& sp) {
            glm::vec3 c;
            if (name == "torso")
                c = torsoColour(noise, sp);
            else if (name == "head")
                c = headColour(noise, sp);
            else if (name == "muzzle")
                c = muzzleColour(sp);
            else if (name == "ear_left" || name == "ear_right")
                c = earColour(sp);
            else if (name == "haunch_left" || name == "haunch_right")
                c = haunchColour(noise, sp);
            else
                c = glm::mix(kCream, kFur, paint::smooth(-1.3f, -1.1f, sp.position.z));  // white paws
            return paint::opaque(c * furTone(noise, sp.position));
        });
    }
    return image;
}

Image paintCatTail() {
    const int size = catrig::kTailTextureSize;
    Noise noise(303);
    Image image(size, size, paint::opaque(kFur));
    for (const Surface& part : catrig::tailParts())
        bakeSurface(image, part, [&](const SurfacePoint& sp) {
            float t = sp.parameter.y;
            // Rings along the tail, closer together towards the dark tip.
            float ring = stripes(t * t * 0.6f + t * 0.9f, 5.0f, 0.22f, 0.04f * noise.noise3(sp.position * 6.0f));
            glm::vec3 c = glm::mix(kFur, kStripe, ring * paint::smooth(0.05f, 0.12f, t));
            c = glm::mix(c, kStripe * 0.85f, paint::smooth(0.86f, 0.93f, t));
            return paint::opaque(c * furTone(noise, sp.position));
        });
    return image;
}

Image paintCatEyes() {
    const int size = catrig::kEyeTextureSize;
    const glm::vec3 irisInner = rgb(214, 232, 70), irisOuter = rgb(96, 170, 40), rim = rgb(28, 40, 16);
    Image image(size, size);
    image.paint([&](int x, int y) {
        glm::vec2 uv = pixelUv(image, x, y);
        glm::vec2 d = uv - 0.5f;
        float r = glm::length(d);
        float angle = std::atan2(d.y, d.x);
        glm::vec3 c = glm::mix(irisInner, irisOuter, paint::smooth(0.05f, 0.4f, r));
        c *= 0.92f + 0.08f * std::sin(angle * 23.0f + 4.0f * r);  // fibres of the iris
        c = glm::mix(c, rim, paint::smooth(0.38f, 0.44f, r));
        // Slit pupil.
        float slit = std::pow(d.x / 0.075f, 2.0f) + std::pow(d.y / 0.34f, 2.0f);
        c = glm::mix(c, rgb(10, 10, 14), paint::smooth(1.1f, 0.9f, slit));
        // Catch lights.
        c = glm::mix(c, glm::vec3(1.0f), paint::smooth(0.075f, 0.06f, glm::distance(uv, glm::vec2(0.37f, 0.66f))));
        c = glm::mix(c, glm::vec3(1.0f), paint::smooth(0.035f, 0.025f, glm::distance(uv, glm::vec2(0.6f, 0.4f))));
        return paint::opaque(c);
    });
    return image;
}
