#include "entities/ShotList.h"

#include "physics/Bodies.h"
#include "physics/BulletMath.h"
#include "render/ColladaLoader.h"
#include "render/GlContextState.h"
#include "render/Material.h"
#include "render/TextureLoader.h"
#include "render/TexturedMesh.h"
#include "render/VaoLoader.h"

#include <btBulletDynamicsCommon.h>

#include <iostream>

ShotList::ShotList() {
    texture = loadTexture("projectile_512.png", 512, 512);
    ownsTexture = true;
    std::vector<std::shared_ptr<TexturedMesh>> meshes;
    ColladaLoader::loadModel("Projectile.dae", meshes);
    if (meshes.empty()) {
        std::cerr << "Projectile.dae has no mesh; shots are drawn without one" << std::endl;
        return;
    }
    mesh = meshes.front();
    mesh->material = std::make_shared<Material>(texture, 1.0f, 0.0f, false);
}

ShotList::ShotList(std::shared_ptr<TexturedMesh> orb, GLuint orbTexture) : texture(orbTexture), mesh(std::move(orb)) {}

ShotList::~ShotList() {
    if (ownsTexture && texture != 0 && hasCurrentGlContext()) glDeleteTextures(1, &texture);
}

std::shared_ptr<Projectile> ShotList::fire(btDynamicsWorld* world, const Projectile::RegisterMesh& registerMesh,
                                           const glm::vec3& impulse, const glm::vec3& position, float lifetime,
                                           const std::string& name) {
    auto shot = std::make_shared<Projectile>();
    if (mesh) shot->addMesh(copyMesh(mesh));
    shot->createBody(Projectile::kRadius);
    live.push_back(shot);
    if (registerMesh) {
        for (const auto& copy : shot->meshes) registerMesh(static_cast<int>(texture), copy);
    }
    if (world) world->addRigidBody(shot->rigidBody);
    shot->name = name;
    // Adding the body gave it the world's gravity; shots fly straight.
    shot->rigidBody->setGravity(btVector3(0, 0, 0));
    shot->lifetime = lifetime;
    shot->age = 0.0f;
    shot->origin = position;
    const btTransform at = physics::placedAt(position);
    shot->rigidBody->setWorldTransform(at);
    // Interpolation starts here too, or the motion state would report the origin until the first step.
    shot->rigidBody->setInterpolationWorldTransform(at);
    shot->setPosition(position);
    shot->rigidBody->applyCentralImpulse(physics::toBullet(impulse));
    return shot;
}

void ShotList::age(float dt, btDynamicsWorld* world) {
    for (const auto& shot : live) shot->update(dt, world);
}

std::vector<std::shared_ptr<Projectile>> ShotList::releaseSpent(btDynamicsWorld* world) {
    std::vector<std::shared_ptr<Projectile>> spent;
    for (auto shot = live.begin(); shot != live.end();) {
        if ((*shot)->visible) {
            ++shot;
            continue;
        }
        physics::removeFromWorld((*shot)->rigidBody, world);
        spent.push_back(*shot);
        shot = live.erase(shot);
    }
    return spent;
}

void ShotList::clear(btDynamicsWorld* world) {
    for (const auto& shot : live) physics::removeFromWorld(shot->rigidBody, world);
    live.clear();
}
