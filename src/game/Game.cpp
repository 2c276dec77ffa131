#include "game/Game.h"

#include "render/Camera.h"

#include <GL/glew.h>

#include <cmath>

namespace {
const glm::vec3 kSkyColor(0.46f, 0.56f, 0.64f);
}

Game::Game(float aspect, int w, int h, ClockMs clockSource) : width(w), height(h), clock(std::move(clockSource)) {
    camera = std::make_shared<Camera>(aspect);
    camera->setTransform(glm::vec3(0, 2, 0), glm::vec3(0.0f), glm::vec3(1.0f));
}

Game::~Game() = default;

void Game::init() {
    // Depth test and back-face culling stay on for the whole run.
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    lastMs = clock();
}

float Game::advanceClock() {
    nowMs = clock();
    const int32_t elapsed = elapsedMs(nowMs, lastMs);
    if (elapsed > 0) fps = static_cast<int>(std::lround(1000.0 / elapsed));
    lastMs = nowMs;
    return static_cast<float>(elapsed) / 1000.0f;
}

void Game::update(float cursorDx, float cursorDy, const std::vector<int>& keys) {
    lastDt = advanceClock();
    prevCursorDx = cursorDx;
    prevCursorDy = cursorDy;
    camera->updateFrustum(0.0f);

    glClearColor(kSkyColor.r, kSkyColor.g, kSkyColor.b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
