#include "menu/Captions.h"

#include <chrono>
#include <cmath>

namespace {

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

Captions::Captions(std::shared_ptr<SoundEvents> sound, std::function<double()> clock)
    : next(sound ? std::move(sound) : std::make_shared<SoundEvents>()),
      seconds(clock ? std::move(clock) : std::function<double()>(steadySeconds)) {}

void Captions::setEnabled(bool enable) {
    on = enable;
    if (!on) captions.clear();
}

std::string Captions::side(const glm::mat4& from, const glm::vec3& at) {
    const glm::vec3 offset = at - glm::vec3(from[3]);
    const float right = glm::dot(offset, glm::normalize(glm::vec3(from[0])));
    const float ahead = -glm::dot(offset, glm::normalize(glm::vec3(from[2])));
    // Within 45 degrees of straight ahead or behind, those; otherwise the side it is on.
    if (std::abs(right) <= std::abs(ahead)) return ahead >= 0.0f ? "ahead" : "behind";
    return right > 0.0f ? "right" : "left";
}

void Captions::forget(double now) {
    while (!captions.empty() && (now - captions.front().at >= kSeconds || captions.size() > kMaxShown))
        captions.pop_front();
}

void Captions::add(const std::string& text) {
    if (!on) return;
    for (auto caption = captions.begin(); caption != captions.end(); ++caption) {
        if (caption->text == text) {
            captions.erase(caption);
            break;
        }
    }
    const double now = seconds();
    captions.push_back({text, now});
    forget(now);
}

std::vector<std::string> Captions::shown() {
    forget(seconds());
    std::vector<std::string> texts;
    for (const Caption& caption : captions) texts.push_back(caption.text);
    return texts;
}

void Captions::onShot(bool byPlayer, const glm::vec3& from) {
    next->onShot(byPlayer, from);
    add(byPlayer ? "[shot]" : "[rabbit fires, " + side(listener, from) + "]");
}

void Captions::onPlayerHit() {
    next->onPlayerHit();
    add("[hit]");
}

void Captions::onRabbitHit(const glm::vec3& at, bool fell) {
    next->onRabbitHit(at, fell);
    add((fell ? "[rabbit down, " : "[rabbit hit, ") + side(listener, at) + "]");
}

void Captions::onDiamond(const glm::vec3& at) {
    next->onDiamond(at);
    add("[diamond]");
}

void Captions::onHeal(const glm::vec3& at) {
    next->onHeal(at);
    add("[healed]");
}

void Captions::onJump() {
    next->onJump();
    add("[jump]");
}

void Captions::onDash() {
    next->onDash();
    add("[dash]");
}

void Captions::onRoundOver(bool healthGone) {
    next->onRoundOver(healthGone);
    add(healthGone ? "[knocked out]" : "[time's up]");
}

void Captions::onNewWorld() {
    next->onNewWorld();
    add("[new world]");
}

void Captions::followCamera(const glm::mat4& cameraToWorld) {
    listener = cameraToWorld;
    next->followCamera(cameraToWorld);
}

void Captions::setPaused(bool paused) { next->setPaused(paused); }
