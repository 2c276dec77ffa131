#pragma once

#include "audio/SoundEvents.h"
#include "entities/PlayerKey.h"
#include "game/Clock.h"
#include "game/HudRows.h"
#include "effects/HudText.h"
#include "game/PauseState.h"
#include "game/ScenePasses.h"
#include "game/WorldSpawner.h"
#include "render/GraphicsQuality.h"
#include "render/RenderMap.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

class AdvancedTerrain;
class BulletDebugDrawer;
class Camera;
class DirectionalLight;
class EnemyManager;
class GameObject;
class GameStateManager;
class GrassScatter;
class ItemManager;
class Hud;
class ParticleShader;
class ParticleSystem;
class ScoreBook;
class Player;
class PointLight;
class Renderer;
class SceneTarget;
class ShadowFrameBuffer;
class ShadowMaster;
class SkyBox;
class TexturedMesh;
class WaterFrameBuffers;
class WaterTile;
struct GuiObject;

class btBroadphaseInterface;
class btCollisionDispatcher;
class btDefaultCollisionConfiguration;
class btDiscreteDynamicsWorld;
class btDynamicsWorld;
class btSequentialImpulseConstraintSolver;

// Owns the world and runs one frame per update(). The entry point constructs it with the window's
// client-area size, calls init() once and update() every frame; key and mouse callbacks reach it
// through gameInstance between two frames.
class Game {
public:
    // `clock` gives wall-clock milliseconds. `worldSeed` is asked once per world (at init and at
    // every reset) for the seed of its landscape, grass, diamonds, fountains and enemies, so a fixed
    // seed gives the same world again; tests inject their own. The defaults are the system clock and
    // freshSeed(), which differs even between two resets within one second. `quality` is the graphics
    // level to draw with (by default the full look without multisampling).
    Game(float aspect, int width, int height, ClockMs clock = systemClockMs,
         std::function<unsigned int()> worldSeed = {},
         const GraphicsQuality& quality = GraphicsQuality::forLevel(QualityLevel::High, 0));
    ~Game();

    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Builds the physics world and populates the scene.
    void init();
    // One whole frame. `keys` holds the states of the keys, indexed by PlayerKey.
    void update(float cursorDx, float cursorDy, const std::vector<int>& keys);
    // A new world between two frames: new landscape, the player back in the middle, a fresh round.
    void reset();
    // Scatters the diamond clusters with their fountains and the enemy groups over the landscape, and
    // one of each around the player (see WorldSpawner); registers their meshes and adds their bodies to
    // the world.
    void spawn();

    // Draws from the next frame on with `quality`: new shadow map, water images, scene target and
    // landscape program as the level needs them. Needs the current context.
    void setQuality(const GraphicsQuality& quality);
    const GraphicsQuality& graphicsQuality() const { return quality; }
    // The window's drawable area changed: projection, HUD layout, crosshair and aim, and every
    // window-sized target follow. A zero size (a minimised window) is ignored.
    void resize(int width, int height);
    int windowWidth() const { return width; }
    int windowHeight() const { return height; }

    // Draws the scene (sky, batched models and terrain) into the bound framebuffer, clipped by
    // `clipPlane`; every pass turns the sky a little.
    void renderScene(float dt, const glm::vec4& clipPlane, float maxDistance);
    // The world point under the crosshair at the given look offset (pixels from the centre); also
    // picks the crosshair texture (white over terrain, where a dash can go).
    glm::vec3 computeAimPoint(float lookX, float lookY);

    // Fires a shot from `position` with `impulse`; it lives `lifetime` seconds. `name` tells whose it is:
    // "player_projectile" or "projectile" (an enemy's).
    void spawnProjectile(const glm::vec3& impulse, const glm::vec3& position, float lifetime, const std::string& name);
    // The player's shot (mouse button, pad trigger, tools): from the player's muzzle towards the point
    // under the crosshair, at the player's shot speed, for 1 second. Nothing when the aim point is the
    // muzzle itself (it gives no direction).
    void firePlayerShot() { firePlayerShotAt(aimPoint); }
    // The same shot towards `target` instead.
    void firePlayerShotAt(const glm::vec3& target);
    // Applies the game rules to the contacts of the last physics step.
    void handleCollisions();

    // Where the game's events are heard from now on (null: nowhere); the game keeps a share of it.
    void setSounds(std::shared_ptr<SoundEvents> events);

    // Appends to `objects` and adds the object's body (if any) to the world.
    void addObject(const std::shared_ptr<GameObject>& object);
    // Appends the mesh to the batch drawn with texture `key`.
    void addRenderable(int key, const std::shared_ptr<TexturedMesh>& mesh);
    // The HUD rows of this frame: `hudTexts` and, while paused, the centred pause rows.
    std::vector<HudText> visibleRows() const;

    // While paused the round clock, the player, the enemies, the shots, the fountains, the particles
    // and the physics stand still; frames still draw. `pause.onChange` tells who else must know.
    PauseState pause;
    // Where finished rounds are recorded (none in tests and tools); the game-over rows then show the
    // best score.
    std::shared_ptr<ScoreBook> scoreBook;

    bool lampFrozen = false;
    glm::vec2 lookOffset{0.0f};
    std::shared_ptr<Camera> camera;
    std::shared_ptr<Renderer> renderer;
    std::shared_ptr<Player> player;
    std::shared_ptr<GameStateManager> gameState;
    std::shared_ptr<Hud> hud;
    std::shared_ptr<ItemManager> itemManager;
    std::shared_ptr<EnemyManager> enemyManager;
    // HUD rows: 0 time, 1 health, 2 score, 3 frame rate, 4 culled objects; 5 and 6 while the game is over.
    std::vector<HudText> hudTexts;
    std::list<std::shared_ptr<GameObject>> objects;
    std::shared_ptr<AdvancedTerrain> terrain;
    std::shared_ptr<GrassScatter> grass;
    std::shared_ptr<DirectionalLight> sun;
    std::shared_ptr<SkyBox> skyBox;
    std::list<std::shared_ptr<WaterTile>> waterTiles;
    std::vector<std::shared_ptr<GuiObject>> guiObjects;
    std::shared_ptr<PointLight> lamp;
    std::shared_ptr<ParticleSystem> playerParticles;
    std::shared_ptr<GuiObject> crosshair;
    GLuint crosshairTexture = 0;
    GLuint crosshairWhiteTexture = 0;
    RenderMap renderMap;
    std::shared_ptr<WaterFrameBuffers> waterFrameBuffers;
    std::shared_ptr<ParticleShader> particleShader;
    std::shared_ptr<ShadowFrameBuffer> shadowFrameBuffer;
    std::shared_ptr<ShadowMaster> shadowMaster;
    std::shared_ptr<SceneTarget> sceneTarget;
    // Told of shots, hits, pickups, heals, jumps, dashes, the round's end and new worlds; silent unless set.
    std::shared_ptr<SoundEvents> sounds = std::make_shared<SoundEvents>();

    btDefaultCollisionConfiguration* collisionConfiguration = nullptr;
    btCollisionDispatcher* dispatcher = nullptr;
    btBroadphaseInterface* broadphase = nullptr;
    btSequentialImpulseConstraintSolver* solver = nullptr;
    btDiscreteDynamicsWorld* dynamicsWorld = nullptr;
    BulletDebugDrawer* debugDrawer = nullptr;

    int32_t nowMs = 0;
    int32_t lastMs = 0;
    float prevCursorDx = 0.0f;
    float prevCursorDy = 0.0f;
    // Whether prevCursorDx/Dy hold a real reading; the first frame takes its offsets as the start.
    unsigned int seed = 0;  // the seed the current world was made from
    bool gameOver = false;
    int fps = 0;
    glm::vec3 aimPoint{0.0f};
    // Called at the start of every scene pass with its clip plane and drawing distance; tests use it
    // to watch the camera during the water passes. Empty in the game.
    std::function<void(const glm::vec4& clipPlane, float maxDistance)> onScenePass;
    // Called as each part of a frame begins, after the simulation: "shadows", "water images",
    // "scene", "effects" (water surface, fountains, particles), "overlay" (scaling into the window,
    // crosshair), "physics" (the physics step and the HUD text), and "end". The benchmark times the
    // parts with it; empty in the game.
    std::function<void(const char* part)> onFramePart;

    static const glm::vec3 kSkyColor;
    static const glm::vec3 kPlayerStart;
    static constexpr int kRoundMs = 60000;  // the length of a round
    static const glm::vec3 kLampOffset;     // the lamp and the sparkle trail hang this far above the cat

private:
    // The steps of init, in order.
    void createPhysicsWorld();
    void createPlayer();
    // Seeds the world, builds the landscape at the level's settings and scatters the grass over it.
    void createLandscape();

    // The steps of update, in order.
    // Sets nowMs, fps and lastMs, runs the round timer down and returns the frame time in seconds;
    // while paused the timer keeps still and the frame takes no time.
    float advanceClock(bool running);
    // Mouse look while running; the cursor is free while paused and looking starts again from
    // wherever it is on resuming.
    void lookAround(float cursorDx, float cursorDy, const std::vector<int>& keys, bool running);
    // The player, its trail, the lamp, the aim, the listener, the bodies' objects, the enemies and the
    // game rules.
    void simulate(float dt, const std::vector<int>& keys, bool running);
    // Water surfaces, fountains, the shots' ageing and the particles.
    void renderEffects(float dt, bool running);
    // The finished scene into the window, then the crosshair over it.
    void renderOverlay();

    void mouseLook(float cursorDx, float cursorDy, const std::vector<int>& keys);
    void moveLamp();
    // Seeds the random generator with a new seed from worldSeed: once per world, before anything of it
    // is drawn.
    void seedWorld();
    // Lets go of every spent shot (expired or hit): its body leaves the world, its mesh the batches
    // and the object the update list.
    void releaseSpentShots();
    void framePart(const char* part);

    int width;
    int height;
    GraphicsQuality quality;
    // Frames whose cursor offsets are a rest position, not motion: the first (the disabled cursor
    // starts wherever the pointer was) and those after a resize.
    int cursorSettleFrames = 1;
    ClockMs clock;
    std::function<unsigned int()> worldSeed;
    bool pausedLastFrame = false;
    ScenePasses passes{*this};
    HudRows hudRows{*this};
    WorldSpawner spawner{*this};
};
