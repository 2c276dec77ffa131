#pragma once

#include "effects/HudShapes.h"
#include "effects/HudText.h"
#include "game/HudLayout.h"
#include "scene/WorldEvent.h"

#include <glm/glm.hpp>

#include <string>
#include <vector>

// What the HUD shows of the moment, drawn over the scene and adding nothing to play: a red flash at
// the screen's edges and a marker towards the shooter when the cat is hit, a hit marker on the
// crosshair when a shot of the cat's hits a rabbit, "+5" rising from the crosshair when a rabbit falls
// and "+1" from the score when a diamond is taken, a green pulse of the health row when a fountain
// heals, a red pulsing health row at 30 % or less, and the graphics level's name for two seconds after
// G. It learns from the world's events and fades with the frames' real time.
class HudFeedback {
public:
    static constexpr float kFlashSeconds = 0.45f;
    static constexpr float kMarkerSeconds = 1.2f;
    static constexpr float kHitMarkerSeconds = 0.25f;
    static constexpr float kRiseSeconds = 0.9f;
    static constexpr float kHealSeconds = 0.7f;
    static constexpr float kLevelSeconds = 2.0f;
    static constexpr float kLowHealth = 0.3f;

    // What the frame shows that feedback is drawn against.
    struct Scene {
        glm::vec2 crosshair{0.0f};           // window pixels
        glm::vec3 cat{0.0f};                 // world position
        glm::vec3 ahead{0.0f, 0.0f, -1.0f};  // the eye's forward direction in the world
        HudText scoreRow;                    // where "+1" rises from
    };

    // The events of one tick.
    void take(const WorldEvents& events);
    // G: `name` shows for two seconds.
    void showLevel(const std::string& name);
    // Real time passes.
    void advance(float seconds);
    // A new world: nothing of the last is shown.
    void clear();
    // Something shown is still fading or rising (the low-health pulse aside: it beats for as long as
    // health is low, on the HUD's rows).
    bool moving() const;

    // The health row as it is shown now (red and pulsing when low, green just after a heal).
    HudText healthRow(const HudText& row, float health) const;
    // The shapes and rows of the moment for `scene` in `layout`.
    void draw(const HudLayout& layout, const Scene& scene, HudShapes& shapes, std::vector<HudText>& rows) const;

private:
    struct Rising {
        std::string text;
        bool fromScore = false;  // else from the crosshair
        float age = 0.0f;
    };

    float sinceHit = 1e9f;
    glm::vec3 shooter{0.0f};
    float sinceHitMarker = 1e9f;
    float sinceHeal = 1e9f;
    float sinceLevel = 1e9f;
    float clock = 0.0f;
    std::string levelName;
    std::vector<Rising> rising;
};
