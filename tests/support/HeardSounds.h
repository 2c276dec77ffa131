#pragma once

#include "audio/SoundEvents.h"

#include <algorithm>
#include <string>
#include <vector>

namespace testsupport {

// Records what the game tells its sound, by event name, in order.
class HeardSounds : public SoundEvents {
public:
    void onShot(bool byPlayer, const glm::vec3&) override { heard.push_back(byPlayer ? "player shot" : "enemy shot"); }
    void onPlayerHit() override { heard.push_back("player hit"); }
    void onRabbitHit(const glm::vec3&, bool fell) override { heard.push_back(fell ? "rabbit fell" : "rabbit hit"); }
    void onDiamond(const glm::vec3&) override { heard.push_back("diamond"); }
    void onHeal(const glm::vec3&) override { heard.push_back("heal"); }
    void onJump() override { heard.push_back("jump"); }
    void onDash() override { heard.push_back("dash"); }
    void onRoundOver(bool healthGone) override { heard.push_back(healthGone ? "health gone" : "time up"); }
    void onNewWorld() override { heard.push_back("new world"); }
    void followCamera(const glm::mat4& cameraToWorld) override { camera = cameraToWorld; }

    long count(const std::string& name) const { return std::count(heard.begin(), heard.end(), name); }

    std::vector<std::string> heard;
    glm::mat4 camera{0.0f};  // the last camera the listener followed
};

}  // namespace testsupport
