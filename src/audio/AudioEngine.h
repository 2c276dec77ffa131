#pragma once

#include "audio/SoundId.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <glm/glm.hpp>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class SourcePool;

// The OpenAL side of the game's sound: one device and context, a buffer per sound, a pool of
// sources for one-shots and one source for the looping ambience, and the listener. Opening never
// waits for a sound server: when no device can be opened it prints one line and every operation
// does nothing. A device that goes away (headphones pulled out) is noticed by watchDevice, said once,
// and reopened when it can be, with every sound, the loop, the listener and the volume as they were.
// Mixing runs on OpenAL's own thread; the calls here only hand it work.
class AudioEngine {
public:
    // Opens `deviceName`, or the system's default output when it is empty. `clock` (seconds, steady)
    // paces watchDevice; the steady clock when empty.
    explicit AudioEngine(const std::string& deviceName = "", std::function<double()> clock = {});
    ~AudioEngine();

    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    bool isOpen() const { return context != nullptr; }

    // Uploads a mono 16-bit sound once; later plays reuse the buffer.
    void load(SoundId id, const std::vector<int16_t>& samples, int sampleRate);
    // Plays a loaded sound at a world position (louder near the listener, panned by direction), or
    // at the listener itself when `relative` (centred, at full level). Nothing happens while paused.
    void play(SoundId id, const glm::vec3& position, bool relative, float gain, float pitch);
    // Loops a loaded sound at the listener, replacing any loop that was playing.
    void loop(SoundId id, float gain);
    void stopLoop();
    void setListener(const glm::vec3& position, const glm::vec3& forward, const glm::vec3& up);
    // Master volume, 0 to 1.
    void setVolume(float volume);
    // Suspends every sound, the loop included, and later resumes each where it stopped.
    void setPaused(bool paused);
    bool isPaused() const { return paused; }
    // Seconds of sound the device has produced since it opened; 0 when closed or not known.
    double clockSeconds() const;
    // Called every frame; at most once a second it checks that the device is still connected. A lost
    // device is closed (said once) and the same device reopened at a later check when it opens again.
    void watchDevice();

    // Distances in world units: full level up to kReferenceDistance, then falling off as
    // kReferenceDistance / distance, no further fall beyond kMaxDistance.
    static constexpr float kReferenceDistance = 4.0f;
    static constexpr float kMaxDistance = 80.0f;
    static constexpr int kPoolSize = 24;
    static constexpr double kWatchInterval = 1.0;  // seconds between two device checks

private:
    // Opens the device and makes its buffers and sources; the reason when it cannot.
    const char* openDevice();
    void closeDevice();
    bool deviceConnected() const;

    struct LoadedSound {
        std::vector<int16_t> samples;
        int sampleRate = 0;
    };

    std::string deviceName;
    std::function<double()> clock;
    double lastWatch = 0.0;
    bool lost = false;  // the device went away and is not back yet
    // What the game gave the device, to give a reopened one.
    std::array<LoadedSound, kSoundCount> sounds;
    float volume = 1.0f;
    bool looping = false;
    SoundId loopId = SoundId::Wind;
    float loopGain = 0.0f;
    glm::vec3 listenerPosition{0.0f};
    glm::vec3 listenerForward{0.0f, 0.0f, -1.0f};
    glm::vec3 listenerUp{0.0f, 1.0f, 0.0f};
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    std::unique_ptr<SourcePool> pool;
    std::array<ALuint, kSoundCount> buffers{};
    ALuint loopSource = 0;
    bool paused = false;
};
