#pragma once

#include "entities/Item.h"
#include "fluid/Healer.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class AdvancedTerrain;
class Random;
class TexturedMesh;
class btDynamicsWorld;
class btRigidBody;

// Scatters the diamonds in clusters, each around a healing fountain, and keeps them until the next
// world reset. spawn only creates objects; the owner adds item meshes to its render lists and the
// bodies to the world (addFountainsToWorld does it for the fountains), and calls clear(world) at a
// reset and before the world goes, so no body in the world outlives its object.
//
// Fountains are built by the makeFountain hook (the game builds its liquid fountains there), which
// keeps this class free of the fluid code. A fountain's body stays owned by the fountain; the
// manager only keeps a pointer to it in fountainBodies, parallel to fountains.
class ItemManager {
public:
    // Occupancy of the landscape at a point (the terrain's isBlocked).
    using BlockedQuery = std::function<bool(float x, float y, float z)>;

    // What makeFountain returns: the fountain and its body (may be null for a fountain without one).
    struct SpawnedFountain {
        std::shared_ptr<Healer> fountain;
        btRigidBody* body = nullptr;
    };
    // Builds one fountain; spawn places it afterwards. `position` is where it will stand.
    using FountainFactory = std::function<SpawnedFountain(const glm::vec3& position)>;

    // Loads "item_64.png" and the first mesh of "diamond.dae" once for all items. Needs the current
    // context; the first use of the shared textured program builds it and leaves it current.
    ItemManager();
    // Uses a mesh and texture made elsewhere (no GL work).
    ItemManager(std::shared_ptr<TexturedMesh> itemMesh, GLuint itemTexture);
    // Deletes the item texture it loaded (when a context is still current).
    ~ItemManager();

    ItemManager(const ItemManager&) = delete;
    ItemManager& operator=(const ItemManager&) = delete;

    // Scatters up to `count` items over the 40 x 40 square around `centre`, each starting 10 to 99
    // units high, dropped onto whatever lies below and lifted 1 unit: points where `isBlocked` holds
    // and drops onto water are rejected, with at most kAttemptsPerItem attempts per requested item so
    // a cluster over a lake or solid rock still finishes. Then one fountain (through makeFountain, if
    // set) on the ground under the centre, unless that ground is water. Touches no world but for ray
    // tests. The spots are drawn from `random` where its sequence stands.
    void spawn(int count, const glm::vec3& centre, btDynamicsWorld* world, const BlockedQuery& isBlocked,
               Random& random);
    // The same over the terrain's occupancy; without a terrain nothing is blocked.
    void spawn(int count, const glm::vec3& centre, btDynamicsWorld* world,
               const std::shared_ptr<AdvancedTerrain>& terrain, Random& random);

    std::vector<std::shared_ptr<Item>> getItems() const { return items; }
    std::vector<std::shared_ptr<Healer>> getFountains() const { return fountains; }

    // Adds to `world` every fountain body not yet in a world, with gravity off (fountains stand still).
    void addFountainsToWorld(btDynamicsWorld* world);
    // Takes every item body and then every fountain body out of `world` (those in it), then lets go
    // of all items and fountains. The shared mesh and texture stay. Meshes handed out for drawing
    // point at their items, so the owner drops them first.
    void clear(btDynamicsWorld* world);

    static constexpr int kAttemptsPerItem = 20;

    std::vector<std::shared_ptr<Item>> items;
    std::vector<std::shared_ptr<Healer>> fountains;
    std::vector<btRigidBody*> fountainBodies;  // fountainBodies[i] belongs to fountains[i]
    GLuint itemTexture = 0;
    std::shared_ptr<TexturedMesh> itemMesh;
    FountainFactory makeFountain;

private:
    void placeFountain(const glm::vec3& centre, btDynamicsWorld* world, std::string& groundName);

    bool ownsTexture = false;
};
