#pragma once

#include <glm/glm.hpp>

// Which of the water's two images a frame draws. Where the level allows, after a frame that drew both,
// a frame draws at most one of them, each in turn, and neither while the camera stands where it was
// when that image was drawn: half the work while the camera moves and none while it stands still, the
// water showing images at most a frame old. Otherwise every frame draws both.
class WaterImageSchedule {
public:
    static constexpr int kReflection = 1;
    static constexpr int kRefraction = 2;
    static constexpr int kBoth = kReflection | kRefraction;
    // Closer than this (world units, radians) to where an image was drawn counts as standing still.
    static constexpr float kStillDistance = 0.01f;
    static constexpr float kStillTurn = 0.0005f;

    // The images (kReflection, kRefraction or both ORed; 0 for none) to draw for a camera at `position`
    // turned by `rotation`; they count as drawn from there.
    int due(const glm::vec3& position, const glm::vec3& rotation, bool inTurn);
    // The next frame draws both, whatever was drawn before (a new world, new targets, a new level).
    void forget() { bothDrawn = false; }

private:
    // Where the camera stood when an image was drawn.
    struct Drawn {
        glm::vec3 position{0.0f};
        glm::vec3 rotation{0.0f};
        bool stillAt(const glm::vec3& p, const glm::vec3& r) const;
    };
    Drawn drawn[2];          // reflection, refraction
    bool bothDrawn = false;  // both images hold a view since the last forget()
    int next = 0;            // the image whose turn it is
};
