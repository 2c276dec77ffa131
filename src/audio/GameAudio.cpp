#include "audio/GameAudio.h"

#include "audio/AudioEngine.h"
#include "audio/SoundBank.h"

#include <algorithm>
#include <ostream>

namespace {

struct Voice {
    float gain;
    float pitchSpread;  // each play is pitched up or down by up to this fraction
};

// Mix levels on top of the common loudness of the recipes: frequent sounds sit lower, the round's
// end highest; the wind is a background.
const Voice kVoices[kSoundCount] = {
    {0.5f, 0.04f},   // player shot
    {0.9f, 0.06f},   // enemy shot
    {0.9f, 0.03f},   // player hit
    {0.9f, 0.05f},   // rabbit hit
    {1.0f, 0.0f},    // rabbit fall
    {0.6f, 0.0f},    // diamond
    {0.9f, 0.0f},    // fountain heal
    {0.45f, 0.03f},  // jump
    {0.6f, 0.0f},    // dash
    {1.0f, 0.0f},    // time up
    {1.0f, 0.0f},    // health gone
    {0.8f, 0.0f},    // new world
    {0.12f, 0.0f},   // wind
};

const glm::vec3 kHere(0.0f);

}  // namespace

GameAudio::GameAudio(bool enabled, float volume, bool ambience, const std::string& deviceName, uint32_t seed)
    : random(seed) {
    if (!enabled) return;
    engine = std::make_unique<AudioEngine>(deviceName);
    if (!engine->isOpen()) return;
    for (int i = 0; i < kSoundCount; ++i) {
        const auto id = static_cast<SoundId>(i);
        engine->load(id, SoundBank::synthesize(id, SoundBank::kSampleRate), SoundBank::kSampleRate);
    }
    setVolume(volume);
    setAmbience(ambience);
}

GameAudio::~GameAudio() = default;

bool GameAudio::isOpen() const { return engine && engine->isOpen(); }

double GameAudio::clockSeconds() const { return engine ? engine->clockSeconds() : 0.0; }

void GameAudio::start(SoundId id, const glm::vec3& at, bool relative) {
    if (!isOpen() || engine->isPaused()) return;
    const int index = static_cast<int>(id);
    if (startedInFrame[index] == frame) return;
    startedInFrame[index] = frame;
    const Voice& voice = kVoices[index];
    std::uniform_real_distribution<float> spread(-voice.pitchSpread, voice.pitchSpread);
    engine->play(id, at, relative, voice.gain, 1.0f + spread(random));
    if (eventLog) *eventLog << engine->clockSeconds() << ' ' << SoundBank::name(id) << '\n';
}

void GameAudio::onShot(bool byPlayer, const glm::vec3& from) {
    if (byPlayer) {
        start(SoundId::PlayerShot, kHere, true);
    } else {
        start(SoundId::EnemyShot, from, false);
    }
}

void GameAudio::onPlayerHit() { start(SoundId::PlayerHit, kHere, true); }

void GameAudio::onRabbitHit(const glm::vec3& at, bool fell) {
    start(fell ? SoundId::RabbitFall : SoundId::RabbitHit, at, false);
}

void GameAudio::onDiamond(const glm::vec3& at) { start(SoundId::Diamond, at, true); }

void GameAudio::onHeal(const glm::vec3& at) { start(SoundId::FountainHeal, at, false); }

void GameAudio::onJump() { start(SoundId::Jump, kHere, true); }

void GameAudio::onDash() { start(SoundId::Dash, kHere, true); }

void GameAudio::onRoundOver(bool healthGone) { start(healthGone ? SoundId::HealthGone : SoundId::TimeUp, kHere, true); }

void GameAudio::onNewWorld() { start(SoundId::NewWorld, kHere, true); }

void GameAudio::followCamera(const glm::mat4& cameraToWorld) {
    ++frame;
    if (engine) engine->watchDevice();
    if (!isOpen()) return;
    const glm::vec3 position(cameraToWorld[3]);
    const glm::vec3 forward = -glm::vec3(cameraToWorld[2]);
    const glm::vec3 up(cameraToWorld[1]);
    engine->setListener(position, glm::normalize(forward), glm::normalize(up));
}

void GameAudio::setPaused(bool paused) {
    if (engine) engine->setPaused(paused);
}

void GameAudio::setVolume(float volume) {
    if (engine) engine->setVolume(std::clamp(volume, 0.0f, 1.0f));
}

void GameAudio::setAmbience(bool on) {
    if (!engine)
        return;
    else if (on)
        engine->loop(SoundId::Wind, kVoices[static_cast<int>(SoundId::Wind)].gain);
    else
        engine->stopLoop();
}
