#pragma once

#include "entities/ItemManager.h"
#include "render/RenderMap.h"
#include "scene/Random.h"
#include "scene/SceneObject.h"
#include "scene/WorldEvent.h"
#include "world/CameraBoom.h"
#include "world/Difficulty.h"
#include "world/GameStateManager.h"
#include "world/PoseBlend.h"
#include "world/TickInput.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

class AdvancedTerrain;
class DynamicsWorld;
class EnemyManager;
class GameObject;
class GrassScatter;
class ParticleSystem;
class Player;
class ShotList;
class WaterTile;
class btDynamicsWorld;
class btIDebugDraw;

// One round's world and everything that happens in it: the landscape, the lake, the cat and the eye
// it looks from, the rabbits, the diamonds and fountains, the shots, the physics, the round's clock and
// score, the sparkle trail and the turning of the sky. It advances only in fixed ticks of 1/60 s, each
// driven by one TickInput, so the same start and the same inputs give the same world, bit for bit,
// however fast the frames that drive it are and whatever draws it. Nothing in it depends on what is
// drawn or seen. Drawing reads it (and may blend its moving things between the last two ticks, see
// blend()); the things it owns carry their own meshes, programs and textures for that.
//
// Needs the current GL context to be built and restarted (the landscape is made on the GPU), not to
// tick.
class World {
public:
    static constexpr int kTicksPerSecond = 60;
    static constexpr float kTickSeconds = 1.0f / kTicksPerSecond;
    static const glm::vec3 kPlayerStart;
    // The sparkle trail hangs this far above the cat (and so does the lamp that follows it).
    static const glm::vec3 kTrailOffset;
    static const glm::vec3 kWaterPosition;

    // What makes one world: its seed (landscape, grass, diamonds, fountains, rabbits and every later
    // draw of the rules), how the cat is turned from the most open way (see OpenStart) and the eye is
    // pitched at the start, the length of the round and the difficulty. A replay holds it.
    struct Start {
        uint32_t seed = 1;
        float yaw = 0.0f;
        float pitch = 0.0f;
        int roundSeconds = 60;
        Difficulty difficulty = Difficulty::Normal;

        bool operator==(const Start& other) const {
            return seed == other.seed && yaw == other.yaw && pitch == other.pitch &&
                   roundSeconds == other.roundSeconds && difficulty == other.difficulty;
        }
    };

    // What a world is built with besides its start, none of it part of play: the look the landscape
    // and the lake are first built with, the maker of the fountains (the game's liquid fountains; left
    // empty there are none), and the physics debug drawer to hand to every physics world.
    struct Options {
        std::string terrainShaderDefines;
        int terrainTextureHalvings = 0;
        std::string waterShaderDefines;
        ItemManager::FountainFactory makeFountain;
        btIDebugDraw* debugDrawer = nullptr;
        // Told as each step of building a world begins: "landscape", "grass", then "spawn" (the
        // diamonds, fountains and rabbits). Nothing else changes with it.
        std::function<void(const char* step)> onStep;
        // Called with each new landscape once its density grid is marched, before the grid is freed
        // (the benchmark's landscape figures read it).
        std::function<void(const AdvancedTerrain&)> onLandscape;
    };

    // Where a ray along the aim meets the world: the point, and whether it is the landscape (where a
    // dash can go).
    struct AimHit {
        glm::vec3 point{0.0f};
        bool onTerrain = false;
    };

    // Builds the first world: models and programs, landscape, grass, lake, the cat with its eye, the
    // diamonds, fountains and rabbits. Prints the landscape's triangle count.
    World(const Start& start, Options options);
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // A new world in place of this one (R): a new physics world, landscape, grass, diamonds,
    // fountains and rabbits from `start`, the cat put back at the start; programs, textures, models,
    // the lake and the trail stay. The result is the same as a world built from `start`.
    void restart(const Start& start);

    // One tick: the look turns, the cat fires or dashes if asked, moves, the rabbits act, the rules
    // apply to the contacts of the last physics step, the fountains' cooldowns and the shots age, the
    // trail and the sky move on, the physics steps, and the round's clock runs (the round ends in the
    // tick where its time or the cat's health runs out). The world keeps going after the round is over.
    void tick(const TickInput& input);

    // What happened in the last tick, in order.
    const WorldEvents& events() const { return tickEvents; }
    // The aim along `eyeDirection` (in the eye's frame), as the next tick would see it.
    AimHit aim(const glm::vec3& eyeDirection) const;
    // The things that move between ticks put where they were `alpha` (0 to 1) of the way from the
    // last tick to this one, until the blend goes; drawing then shows smooth motion at any frame rate.
    PoseBlend blend(float alpha);
    // The last tick's poses are forgotten (after a scene was set up by hand): nothing blends until the
    // next tick.
    void forgetPoses() { previousPoses.clear(); }

    // A hash of the state that play decides: the tick count and the round's clock, health and score,
    // the cat's position, facing and look, every rabbit's position, hit points and standing, every shot
    // in flight, the fountains' levels and cooldowns, the diamonds taken.
    uint64_t stateHash() const;
    // The hash as 16 lower-case hex digits.
    static std::string hex(uint64_t hash);

    const Start& start() const { return startedFrom; }
    uint64_t ticks() const { return tickCount; }
    // Simulated seconds since the world began.
    double seconds() const { return static_cast<double>(tickCount) / kTicksPerSecond; }
    bool roundOver() const { return over; }
    const GameStateManager& round() const { return roundState; }
    float skyAngle() const { return sky; }
    const glm::vec3& lastAimPoint() const { return aimPoint; }

    const std::shared_ptr<Player>& player() const { return cat; }
    // Where the cat looks from when nothing is in the way: a child of the cat, behind and above it,
    // pitched by the look. Its rotation is the view's.
    const SceneObject& eye() const { return eyeObject; }
    // The point the eye orbits: above the cat, where the eye would stand with no pitch and no distance.
    glm::vec3 orbitPoint() const;
    // Where the view and the aim are from: on the way from the orbit point to the eye, pulled in where
    // landscape comes between them (see CameraBoom), never inside the ground.
    glm::vec3 viewpoint() const;
    // How far the view stands from the orbit point now.
    float viewDistance() const { return boom.length(); }
    const std::shared_ptr<AdvancedTerrain>& terrain() const { return landscape; }
    const std::vector<std::shared_ptr<WaterTile>>& waterTiles() const { return water; }
    const std::shared_ptr<EnemyManager>& enemies() const { return enemyManager; }
    const std::shared_ptr<ItemManager>& items() const { return itemManager; }
    const ShotList& shots() const { return *shotList; }
    const std::shared_ptr<ParticleSystem>& trail() const { return sparkles; }
    const std::shared_ptr<GrassScatter>& grass() const { return grassScatter; }
    // The meshes to draw, batched by texture; objects register theirs as they come and go.
    const RenderMap& batches() const { return renderMap; }
    // Every object whose body is synchronised each tick: the cat, the diamonds and the shots.
    const std::list<std::shared_ptr<GameObject>>& objects() const { return bodyObjects; }
    btDynamicsWorld* physics() const;

    // Changes for tests and tools that set up a scene between ticks (a tool staging a view, a test
    // placing a rabbit). Play itself never uses them.
    Player& playerForStaging() { return *cat; }
    EnemyManager& enemiesForStaging() { return *enemyManager; }
    ItemManager& itemsForStaging() { return *itemManager; }
    GameStateManager& roundForStaging() { return roundState; }
    // Puts the cat at rest at `position` (dropped onto the ground below it when `drop`), facing `yaw`,
    // its eye pitched by `pitch` as at the start of a world.
    void putCat(const glm::vec3& position, float yaw, float pitch, bool drop = true);
    // Runs the round's clock on to `milliseconds` left (rounded to a whole tick, never back).
    void runRoundClockTo(int milliseconds);
    // Fires a shot as a rabbit or the cat would; `name` is "projectile" or "player_projectile".
    void fire(const glm::vec3& impulse, const glm::vec3& position, float lifetime, const std::string& name);
    // The cat's shot towards `target`: from its muzzle at its shot speed, for 1 second. Nothing when
    // the target is the muzzle itself.
    void firePlayerShotAt(const glm::vec3& target);

private:
    // The parts every world of this object shares, made once.
    void createLastingParts();
    // Everything that makes one world from `start`, into the current (empty) physics world.
    void populate(const Start& start);
    // The cat at rest on open ground near the start point (see OpenStart), turned `yaw` from the most
    // open way, its eye pitched by `pitch`.
    void placePlayer(float yaw, float pitch);
    // The eye behind and above the cat, pitched and turned as asked, built the same way every time.
    void placeEye(float yaw, float pitch);
    void registerPlayerMeshes();
    // Takes every body out of the physics world and lets go of the world's own things.
    void clearWorld();
    void step(const char* name) const;
    void addObject(const std::shared_ptr<GameObject>& object);
    void look(float turn, float pitch);
    // How far from the orbit point towards the eye a ball round the near plane can go before it
    // touches the landscape.
    float clearViewDistance() const;
    void releaseSpentShots();
    void advanceRound();
    // The round's time left from the ticks it has run.
    void setTimeLeft();
    void rememberPoses();

    Start startedFrom;
    Options options;
    Random random;
    std::unique_ptr<DynamicsWorld> dynamics;
    std::shared_ptr<Player> cat;
    SceneObject eyeObject;
    CameraBoom boom;
    std::shared_ptr<AdvancedTerrain> landscape;
    std::shared_ptr<GrassScatter> grassScatter;
    std::vector<std::shared_ptr<WaterTile>> water;
    std::shared_ptr<EnemyManager> enemyManager;
    std::shared_ptr<ItemManager> itemManager;
    std::unique_ptr<ShotList> shotList;
    std::shared_ptr<ParticleSystem> sparkles;
    RenderMap renderMap;
    std::list<std::shared_ptr<GameObject>> bodyObjects;
    GameStateManager roundState;
    WorldEvents tickEvents;
    uint64_t tickCount = 0;
    int roundTicks = 0;
    bool over = false;
    float sky = 0.0f;
    glm::vec3 aimPoint{0.0f};
    std::vector<int> heldKeys;
    std::vector<PoseBlend::Pose> previousPoses;
};
