#pragma once

#include "objects/GameObject.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

class TexturedMesh;
class btDynamicsWorld;

// A shot, the player's ("player_projectile") or an enemy's ("projectile"): a small textured sphere
// whose dynamic body flies straight, without gravity, until it hits something or its lifetime runs
// out. The body drives the object. `projectiles` holds the shots in play; a spent one (expired or hit)
// is hidden at once and let go of by releaseSpent, all of them by clearLiveProjectiles.
class Projectile : public GameObject {
public:
    // Hands a shot's mesh to whoever batches the drawing, with the texture it is drawn with.
    using RegisterMesh = std::function<void(int textureKey, const std::shared_ptr<TexturedMesh>& mesh)>;

    Projectile() = default;
    ~Projectile() override = default;

    // Loads the shared texture and model once per process; later calls change nothing (they must not
    // drop the live list while shots may still be in a world). Needs the current context the first
    // time; building the shared textured program leaves it current.
    static void loadResources();
    // A new shot with a copy of the shared mesh and its body (not yet in any world), already in
    // `projectiles`.
    static std::shared_ptr<Projectile> create();
    // Fires a shot: creates it, hands its mesh to `registerMesh` (may be empty), names it, adds its
    // body to `world` with gravity off, puts it at `position` and gives it `impulse` (velocity is
    // ten times the impulse). The caller still has to keep the object in its update list.
    static std::shared_ptr<Projectile> spawn(btDynamicsWorld* world, const RegisterMesh& registerMesh,
                                             const glm::vec3& impulse, const glm::vec3& position, float lifetime,
                                             const std::string& name);
    // Ages every visible shot by `dt`; those that reach their lifetime are taken out of play.
    static void updateAll(float dt, btDynamicsWorld* world);
    // Takes every spent shot (hidden: expired or hit) out of `projectiles`, its body out of `world`,
    // and returns them, so that whoever still lists them (update and draw lists) can let go too.
    static std::vector<std::shared_ptr<Projectile>> releaseSpent(btDynamicsWorld* world);
    // Takes the bodies of all shots out of `world`, then releases the shots. Used at a world reset:
    // a body left in the world would point at a freed object.
    static void clearLiveProjectiles(btDynamicsWorld* world);

    // Builds the sphere body (mass 0.1, no rotational inertia) and scales the shot to `radius`.
    void createBody(float radius);
    // Ages a visible shot; at its lifetime it is hidden and its body leaves `world`. Returns whether
    // it expired in this call. Hidden shots are left alone.
    bool update(float dt, btDynamicsWorld* world);

    float age = 0.0f;
    float lifetime = 5.0f;

    static GLuint projectileTexture;
    static std::shared_ptr<TexturedMesh> projectileMesh;
    static std::list<std::shared_ptr<Projectile>> projectiles;

    static constexpr float kRadius = 0.1f;
    static constexpr float kMass = 0.1f;
};
