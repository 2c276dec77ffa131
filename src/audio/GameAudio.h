#pragma once

#include "audio/SoundEvents.h"
#include "audio/SoundId.h"

#include <array>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <random>
#include <string>

class AudioEngine;

// The game's sound: turns what the game tells it into sounds. The player's own sounds (its shots,
// hits on it, diamonds, jumps, dashes, the round's end, a new world) are centred on the listener;
// rabbits' shots, hits and falls and fountains' healing come from where they happen and fade with
// distance. A quiet wind may loop underneath. The sounds are synthesised when it starts.
class GameAudio : public SoundEvents {
public:
    // Disabled, it opens nothing and stays silent. `ambience` starts the wind. `deviceName` empty
    // means the system default; `seed` drives the small pitch variations that keep repeated sounds
    // from sounding mechanical.
    GameAudio(bool enabled, float volume, bool ambience = true, const std::string& deviceName = "",
              uint32_t seed = std::random_device{}());
    ~GameAudio() override;

    // Whether a device is open (false when disabled or when none could be opened).
    bool isOpen() const;
    // Seconds of sound produced so far (the device's clock); 0 without a device.
    double clockSeconds() const;
    // Every sound started is written to `log` as "<device seconds> <sound name>"; null stops it.
    void logTo(std::ostream* log) { eventLog = log; }
    // The options, at once: the master volume (0 to 1) and the wind.
    void setVolume(float volume);
    void setAmbience(bool on);

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
    // Starts `id` unless it already started this frame (ten shots landing together sound as one).
    void start(SoundId id, const glm::vec3& at, bool relative);

    std::unique_ptr<AudioEngine> engine;
    std::array<uint64_t, kSoundCount> startedInFrame{};
    uint64_t frame = 1;
    std::minstd_rand random;
    std::ostream* eventLog = nullptr;
};
