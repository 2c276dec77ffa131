#pragma once

#include "entities/Projectile.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <list>
#include <memory>
#include <string>
#include <vector>

class TexturedMesh;
class btDynamicsWorld;

// The shots of one world and what they share: the orb model and its texture. Fires shots into a
// physics world, ages them and lets go of the spent ones (expired or hit, hidden at once); clear()
// lets go of all of them, bodies first. The owner calls clear(world) before the physics world or the
// list goes, so no body in a world outlives its shot.
class ShotList {
public:
    // Loads "projectile_512.png" and the first mesh of "Projectile.dae". Needs the current context.
    ShotList();
    // Uses a mesh and texture made elsewhere (no GL work); a null mesh draws shots without one.
    ShotList(std::shared_ptr<TexturedMesh> mesh, GLuint texture);
    // Deletes the texture it loaded (when a context is still current).
    ~ShotList();
    ShotList(const ShotList&) = delete;
    ShotList& operator=(const ShotList&) = delete;

    // Fires a shot: creates it with a copy of the orb, hands the copy to `registerMesh` (may be empty),
    // names it, adds its body to `world` with gravity off, puts it at `position` and gives it `impulse`
    // (its velocity is ten times the impulse). The caller keeps it in its update list too.
    std::shared_ptr<Projectile> fire(btDynamicsWorld* world, const Projectile::RegisterMesh& registerMesh,
                                     const glm::vec3& impulse, const glm::vec3& position, float lifetime,
                                     const std::string& name);
    // Ages every visible shot by `dt`; those that reach their lifetime are taken out of play.
    void age(float dt, btDynamicsWorld* world);
    // Takes every spent shot (hidden: expired or hit) out of the list, its body out of `world`, and
    // returns them, so that whoever still lists them (update and draw lists) can let go too.
    std::vector<std::shared_ptr<Projectile>> releaseSpent(btDynamicsWorld* world);
    // Takes the bodies of all shots out of `world`, then lets go of the shots.
    void clear(btDynamicsWorld* world);

    const std::list<std::shared_ptr<Projectile>>& shots() const { return live; }

    GLuint texture = 0;
    std::shared_ptr<TexturedMesh> mesh;

private:
    std::list<std::shared_ptr<Projectile>> live;
    bool ownsTexture = false;
};
