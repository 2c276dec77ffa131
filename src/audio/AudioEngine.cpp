#include "audio/AudioEngine.h"

#include "audio/SourcePool.h"

#include <AL/alext.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>

namespace {

// Sound libraries report every backend they try and fail (a machine without a sound card gets a
// screenful from ALSA); while the device opens, standard error goes nowhere, and the game says what
// matters in one line of its own.
class QuietStderr {
public:
    QuietStderr() {
        std::fflush(stderr);
        saved = dup(STDERR_FILENO);
        FILE* null = std::fopen("/dev/null", "w");
        if (saved >= 0 && null) dup2(fileno(null), STDERR_FILENO);
        if (null) std::fclose(null);
    }
    ~QuietStderr() {
        std::fflush(stderr);
        if (saved < 0) return;
        dup2(saved, STDERR_FILENO);
        close(saved);
    }

private:
    int saved = -1;
};

ALCdevice* openQuietly(const std::string& name) {
    QuietStderr quiet;
    return alcOpenDevice(name.empty() ? nullptr : name.c_str());
}

}  // namespace

AudioEngine::AudioEngine(const std::string& name, std::function<double()> clockSource)
    : deviceName(name), clock(std::move(clockSource)) {
    if (!clock) {
        clock = [] {
            return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
        };
    }
    lastWatch = clock();
    if (const char* failure = openDevice()) std::cout << failure << "; playing without sound." << std::endl;
}

AudioEngine::~AudioEngine() { closeDevice(); }

const char* AudioEngine::openDevice() {
    device = openQuietly(deviceName);
    if (!device) return "No audio device could be opened";
    context = alcCreateContext(device, nullptr);
    if (!context || !alcMakeContextCurrent(context)) {
        if (context) alcDestroyContext(context);
        context = nullptr;
        alcCloseDevice(device);
        device = nullptr;
        return "The audio device gave no usable context";
    }
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    alGenBuffers(kSoundCount, buffers.data());
    pool = std::make_unique<SourcePool>(kPoolSize);
    alGenSources(1, &loopSource);
    alSourcei(loopSource, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcei(loopSource, AL_LOOPING, AL_TRUE);
    return nullptr;
}

void AudioEngine::closeDevice() {
    if (!context) return;
    alSourceStop(loopSource);
    alDeleteSources(1, &loopSource);
    pool.reset();
    alDeleteBuffers(kSoundCount, buffers.data());
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
    context = nullptr;
    device = nullptr;
}

bool AudioEngine::deviceConnected() const {
    if (!alcIsExtensionPresent(device, "ALC_EXT_disconnect")) return true;
    ALCint connected = ALC_TRUE;
    alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
    return connected != ALC_FALSE;
}

void AudioEngine::watchDevice() {
    const double now = clock();
    if (now - lastWatch < kWatchInterval) return;
    lastWatch = now;
    if (context) {
        if (deviceConnected()) return;
        std::cout << "The audio device was disconnected; playing without sound until one is available again."
                  << std::endl;
        closeDevice();
        lost = true;
        return;
    }
    if (!lost || openDevice()) return;
    lost = false;
    // Everything the game gave the old device, for the new one.
    for (int i = 0; i < kSoundCount; ++i) load(static_cast<SoundId>(i), sounds[i].samples, sounds[i].sampleRate);
    setVolume(volume);
    if (looping) loop(loopId, loopGain);
    setListener(listenerPosition, listenerForward, listenerUp);
    const bool wasPaused = paused;
    paused = false;
    setPaused(wasPaused);
    std::cout << "An audio device is available again; sound resumes." << std::endl;
}

void AudioEngine::load(SoundId id, const std::vector<int16_t>& samples, int sampleRate) {
    const int index = static_cast<int>(id);
    if (!context || index < 0 || index >= kSoundCount || samples.empty()) return;
    if (&sounds[index].samples != &samples) sounds[index] = {samples, sampleRate};
    alBufferData(buffers[index], AL_FORMAT_MONO16, samples.data(),
                 static_cast<ALsizei>(samples.size() * sizeof(int16_t)), sampleRate);
}

void AudioEngine::play(SoundId id, const glm::vec3& position, bool relative, float gain, float pitch) {
    const int index = static_cast<int>(id);
    if (!context || paused || index < 0 || index >= kSoundCount) return;
    const ALuint source = pool->acquire();
    if (!source) return;
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffers[index]));
    alSourcei(source, AL_SOURCE_RELATIVE, relative ? AL_TRUE : AL_FALSE);
    if (relative) {
        alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    } else {
        alSource3f(source, AL_POSITION, position.x, position.y, position.z);
    }
    alSourcef(source, AL_REFERENCE_DISTANCE, kReferenceDistance);
    alSourcef(source, AL_MAX_DISTANCE, kMaxDistance);
    alSourcef(source, AL_GAIN, gain);
    alSourcef(source, AL_PITCH, pitch);
    alSourcePlay(source);
}

void AudioEngine::loop(SoundId id, float gain) {
    const int index = static_cast<int>(id);
    if (!context || index < 0 || index >= kSoundCount) return;
    looping = true;
    loopId = id;
    loopGain = gain;
    alSourceStop(loopSource);
    alSourcei(loopSource, AL_BUFFER, static_cast<ALint>(buffers[index]));
    alSourcef(loopSource, AL_GAIN, gain);
    alSourcePlay(loopSource);
}

void AudioEngine::stopLoop() {
    looping = false;
    if (context) alSourceStop(loopSource);
}

void AudioEngine::setListener(const glm::vec3& position, const glm::vec3& forward, const glm::vec3& up) {
    listenerPosition = position;
    listenerForward = forward;
    listenerUp = up;
    if (!context) return;
    const ALfloat orientation[6] = {forward.x, forward.y, forward.z, up.x, up.y, up.z};
    alListener3f(AL_POSITION, position.x, position.y, position.z);
    alListenerfv(AL_ORIENTATION, orientation);
}

void AudioEngine::setVolume(float gain) {
    volume = gain;
    if (context) alListenerf(AL_GAIN, gain);
}

void AudioEngine::setPaused(bool pause) {
    if (pause == paused) return;
    paused = pause;
    if (!context) return;
    // Sources rather than the device: the mixer keeps running (on silence), which every backend
    // handles, and each sound picks up where it stopped.
    pool->setPaused(pause);
    ALint state = AL_STOPPED;
    alGetSourcei(loopSource, AL_SOURCE_STATE, &state);
    if (pause && state == AL_PLAYING) alSourcePause(loopSource);
    if (!pause && state == AL_PAUSED) alSourcePlay(loopSource);
}

double AudioEngine::clockSeconds() const {
    if (!device || !alcIsExtensionPresent(device, "ALC_SOFT_device_clock")) return 0.0;
    auto get = reinterpret_cast<LPALCGETINTEGER64VSOFT>(alcGetProcAddress(device, "alcGetInteger64vSOFT"));
    if (!get) return 0.0;
    ALCint64SOFT nanoseconds = 0;
    get(device, ALC_DEVICE_CLOCK_SOFT, 1, &nanoseconds);
    return static_cast<double>(nanoseconds) * 1e-9;
}
