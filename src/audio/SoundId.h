#pragma once

// Every sound the game makes, one buffer each.
enum class SoundId {
    PlayerShot,
    EnemyShot,
    PlayerHit,
    RabbitHit,
    RabbitFall,
    Diamond,
    FountainHeal,
    Jump,
    Dash,
    TimeUp,
    HealthGone,
    NewWorld,
    Wind,
    Count
};

constexpr int kSoundCount = static_cast<int>(SoundId::Count);
