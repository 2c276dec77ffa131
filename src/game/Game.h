#pragma once

#include "game/Clock.h"
#include "game/HudText.h"
#include "game/PauseState.h"
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
class Light;
class ParticleShader;
class ParticleSystem;
class ScoreBook;
class Player;
class PointLight;
class Renderer;
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
class btSequentialImpulseConstraintSolver;

// Owns the world and runs one frame per update(). The entry point constructs it with the window's
// client-area size, calls init() once and update() every frame; key and mouse callbacks reach it
// through gameInstance between two frames.
class Game {
public:
    // `clock` gives wall-clock milliseconds and `worldSeed` seeds the landscape and the scattering of
    // diamonds and enemies; tests inject their own, the defaults are the system clock and the calendar
    // time in seconds.
    Game(float aspect, int width, int height, ClockMs clock = systemClockMs,
         std::function<unsigned int()> worldSeed = {});
    ~Game();

    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Builds the physics world and populates the scene.
    void init();
    // One whole frame. `keys` holds the states of W, A, S, D, space and left shift, in that order.
    void update(float cursorDx, float cursorDy, const std::vector<int>& keys);
    // A new world between two frames: new landscape, the player back in the middle, a fresh round.
    void reset();
    // Scatters the diamond clusters with their fountains and the enemy groups over the landscape, and
    // one of each around the player.
    void spawn();

    // Draws the scene (sky, batched models and terrain) into the bound framebuffer, clipped by
    // `clipPlane`; every pass turns the sky a little.
    void renderScene(float dt, const glm::vec4& clipPlane, float maxDistance);
    // The world point under the crosshair at the given look offset (pixels from the centre); also
    // picks the crosshair texture (white over terrain, where a dash can go).
    glm::vec3 computeAimPoint(float lookX, float lookY);

    // Fires a shot from `position` with `impulse`; it lives `lifetime` seconds. `name` tells whose it is:
    // "player_projectile" or "projectile" (an enemy's).
    void spawnProjectile(const glm::vec3& impulse, const glm::vec3& position, float lifetime, const std::string& name);
    // Applies the game rules to the contacts of the last physics step.
    void handleCollisions();

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
    std::list<std::shared_ptr<Light>> lights;
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
    bool gameOver = false;
    int fps = 0;
    glm::vec3 aimPoint{0.0f};
    // Called at the start of every scene pass with its clip plane and drawing distance; tests use it
    // to watch the camera during the water passes. Empty in the game.
    std::function<void(const glm::vec4& clipPlane, float maxDistance)> onScenePass;

    static const glm::vec3 kSkyColor;
    static const glm::vec3 kPlayerStart;

private:
    // Sets nowMs, fps and lastMs, runs the round timer down and returns the frame time in seconds;
    // while paused the timer keeps still and the frame takes no time.
    float advanceClock(bool running);
    // Rows 0 to 3 and the game-over rows, as the frame starts.
    void updateHudRows();
    // Row 4, the culled-object counter of this frame (shown from the next frame on).
    void updateCulledRow();
    void mouseLook(float cursorDx, float cursorDy, const std::vector<int>& keys);
    void moveLamp();
    void renderShadows();
    void renderFountains(float dt, bool running);
    // Writes the finished round into the score book and returns the row telling the best score.
    HudText recordRound();
    HudText centredRow(const std::string& text, int y, float scale) const;
    // The reflection and refraction images of every tile in view (all of them with culling off).
    void renderWaterImages(float dt);
    void renderWaterSurfaces(float dt);
    void placePlayer();
    void registerPlayerMeshes();

    int width;
    int height;
    ClockMs clock;
    std::function<unsigned int()> worldSeed;
    bool pausedLastFrame = false;
};
