#pragma once

// The object names that the contact rules and the ray tests dispatch on: an object's `name` is its
// collision tag, compared exactly. Every use goes through these, so a misspelt tag cannot compile.
namespace tags {

inline constexpr const char* kPlayer = "player";
// Rabbits and flying rabbits alike.
inline constexpr const char* kRabbit = "rabbit";
inline constexpr const char* kItem = "item";
// An enemy's shot.
inline constexpr const char* kProjectile = "projectile";
// The player's shot.
inline constexpr const char* kPlayerProjectile = "player_projectile";
inline constexpr const char* kFountain = "fountain";
inline constexpr const char* kTerrain = "terrain";
inline constexpr const char* kWater = "water";
// An object nobody named; also what a drop that hit nothing has landed on.
inline constexpr const char* kEmpty = "empty";

}  // namespace tags
