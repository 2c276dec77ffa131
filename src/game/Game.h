#pragma once

#include "game/Clock.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <memory>
#include <vector>

class Camera;

// Owns the world and runs one frame per update(). The entry point constructs it with the window's
// client-area size, calls init() once and update() every frame.
class Game {
public:
    // `clock` gives wall-clock milliseconds; tests inject their own.
    Game(float aspect, int width, int height, ClockMs clock = systemClockMs);
    ~Game();

    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    void init();
    // One whole frame. `keys` holds the states of W, A, S, D, space and left shift, in that order.
    void update(float cursorDx, float cursorDy, const std::vector<int>& keys);

    bool lampFrozen = false;
    glm::vec2 lookOffset{0.0f};
    std::shared_ptr<Camera> camera;

    int32_t nowMs = 0;
    int32_t lastMs = 0;
    float prevCursorDx = 0.0f;
    float prevCursorDy = 0.0f;
    bool gameOver = false;
    int fps = 0;
    glm::vec3 aimPoint{0.0f};

    // Frame time of the last update, seconds.
    float lastDt = 0.0f;

private:
    // Advances the clock: sets nowMs, fps and lastMs and returns the frame time in seconds.
    float advanceClock();

    int width;
    int height;
    ClockMs clock;
};
