#pragma once

#include "world/TickInput.h"
#include "world/World.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A recorded stretch of play: what made the world (its start), the settings that matter to play, the
// input of every tick and the state the world was in after the last one. Played into a world built
// from the same start, the same inputs give the same world, so a replay plays the same at any frame
// rate, window size and graphics level.
//
// The file (little-endian): the magic "QMREPLAY", the format version (u32), the game version that
// wrote it (u16 length and bytes), the start (u32 seed, f32 yaw, f32 pitch, u32 round seconds), the
// play settings (u16 count, then for each a key and a value as u16 length and bytes), the end state
// (u64), the tick count (u32), and per tick 22 bytes: the held keys (u8), fire and dash (u8 bits 0
// and 1), turn, pitch and the aim's x, y and z (f32 each).
struct Replay {
    static constexpr uint32_t kFormat = 1;
    // The play settings this version writes and reads. A replay without a difficulty is played at normal.
    static constexpr const char* kTickRateKey = "ticks_per_second";
    static constexpr const char* kDifficultyKey = "difficulty";

    std::string gameVersion;
    World::Start start;
    std::vector<std::pair<std::string, std::string>> settings;
    std::vector<TickInput> inputs;
    uint64_t endState = 0;

    // A replay of this game version from `start`, with this version's play settings and no ticks yet.
    static Replay begin(const std::string& gameVersion, const World::Start& start);

    // The file's bytes.
    std::string encode() const;
    // The replay in `bytes`; on failure nothing, with what is wrong in `problem` (a phrase such as
    // "is not a Quillmarsh replay" or "is truncated: it holds 12 of 3600 ticks"). A replay of a newer
    // format, or of a newer game version than `ourVersion`, is refused.
    static std::optional<Replay> decode(const std::string& bytes, const std::string& ourVersion, std::string& problem);

    // Reads `path` (a regular file of at most 64 MiB); on failure nothing, with a message naming the
    // file and the problem in `error`.
    static std::optional<Replay> read(const std::string& path, const std::string& ourVersion, std::string& error);
    // Writes `path` atomically (as the scores are written); false with the reason in `error`.
    bool write(const std::string& path, std::string& error) const;
};

// Compares dotted version numbers ("1.0.2" against "1.1"): negative, zero or positive.
int compareVersions(const std::string& a, const std::string& b);
