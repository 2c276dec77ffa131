#pragma once

#include "audio/SoundEvents.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Sound captions: every sound the game plays also gets a short caption ("[rabbit fires, left]",
// "[hit]", "[diamond]") for about two seconds, with the side a sound from the world comes from as the
// listener faces. It passes every event on to the sound itself. Captions are made only while enabled.
class Captions : public SoundEvents {
public:
    static constexpr double kSeconds = 2.0;
    static constexpr size_t kMaxShown = 4;

    // `next` hears every event (null: nothing does); `seconds` is the clock captions age by (empty:
    // the steady clock).
    explicit Captions(std::shared_ptr<SoundEvents> next, std::function<double()> seconds = {});

    void setEnabled(bool on);
    bool enabled() const { return on; }
    // The captions to show now, oldest first: at most kMaxShown, none older than kSeconds. A caption
    // heard again while it shows moves to the end instead of showing twice.
    std::vector<std::string> shown();

    // "left", "right", "ahead" or "behind": where `at` lies for a listener with the world transform
    // `listener` (looking along its local -z, +y up); "ahead" when it is where the listener stands.
    static std::string side(const glm::mat4& listener, const glm::vec3& at);

    void onShot(bool byPlayer, const glm::vec3& from) override;
    void onPlayerHit() override;
    void onRabbitHit(const glm::vec3& at, bool fell) override;
    void onDiamond(const glm::vec3& at) override;
    void onHeal(const glm::vec3& at) override;
    void onJump() override;
    void onDash() override;
    void onRoundOver(bool healthGone) override;
    void onNewWorld() override;
    void followCamera(const glm::mat4& cameraToWorld) override;
    void setPaused(bool paused) override;

private:
    struct Caption {
        std::string text;
        double at = 0.0;
    };
    void add(const std::string& text);
    void forget(double now);

    std::shared_ptr<SoundEvents> next;
    std::function<double()> seconds;
    bool on = false;
    glm::mat4 listener{1.0f};
    std::deque<Caption> captions;
};
