#include "entities/Projectile.h"

#include "physics/Bodies.h"
#include "physics/BulletMath.h"
#include "render/ColladaLoader.h"
#include "render/Material.h"
#include "render/TextureLoader.h"
#include "render/TexturedMesh.h"
#include "render/TexturedShader.h"
#include "render/VaoLoader.h"

#include <btBulletDynamicsCommon.h>

#include <iostream>
#include <vector>

GLuint Projectile::projectileTexture = 0;
std::shared_ptr<TexturedMesh> Projectile::projectileMesh;
std::list<std::shared_ptr<Projectile>> Projectile::projectiles;

void Projectile::loadResources() {
    if (projectileMesh) return;
    projectileTexture = loadTexture("projectile_512.png", 512, 512);
    std::vector<std::shared_ptr<TexturedMesh>> meshes;
    ColladaLoader::loadModel("Projectile.dae", meshes);
    if (meshes.empty()) {
        std::cerr << "Projectile.dae has no mesh; shots are drawn without one" << std::endl;
        return;
    }
    projectileMesh = meshes.front();
    projectileMesh->material = std::make_shared<Material>(projectileTexture, 1.0f, 0.0f, false);
    projectileMesh->material->setShader(TexturedShader::getInstance());
}

std::shared_ptr<Projectile> Projectile::create() {
    auto shot = std::make_shared<Projectile>();
    if (projectileMesh) shot->addMesh(copyMesh(projectileMesh));
    shot->createBody(kRadius);
    projectiles.push_back(shot);
    return shot;
}

void Projectile::createBody(float radius) {
    setScale(glm::vec3(radius));
    collisionShape = new btSphereShape(radius);
    rigidBody = physics::createBody(this, collisionShape, kMass, btTransform::getIdentity(), motionState);
    bodyDriven = true;
    visible = true;
    age = 0.0f;
}

std::shared_ptr<Projectile> Projectile::spawn(btDynamicsWorld* world, const RegisterMesh& registerMesh,
                                              const glm::vec3& impulse, const glm::vec3& position, float lifetime,
                                              const std::string& name) {
    auto shot = create();
    if (registerMesh) {
        for (const auto& mesh : shot->meshes) registerMesh(static_cast<int>(projectileTexture), mesh);
    }
    if (world) world->addRigidBody(shot->rigidBody);
    shot->name = name;
    // Adding the body gave it the world's gravity; shots fly straight.
    shot->rigidBody->setGravity(btVector3(0, 0, 0));
    shot->lifetime = lifetime;
    shot->age = 0.0f;
    const btTransform at = physics::placedAt(position);
    shot->rigidBody->setWorldTransform(at);
    // Interpolation starts here too, or the motion state would report the origin until the first step.
    shot->rigidBody->setInterpolationWorldTransform(at);
    shot->setPosition(position);
    shot->rigidBody->applyCentralImpulse(physics::toBullet(impulse));
    return shot;
}

bool Projectile::update(float dt, btDynamicsWorld* world) {
    if (!visible) return false;
    age += dt;
    if (age < lifetime) return false;
    for (SceneObject* child : children) child->setVisible(false);
    visible = false;
    physics::removeFromWorld(rigidBody, world);
    return true;
}

void Projectile::updateAll(float dt, btDynamicsWorld* world) {
    for (const auto& shot : projectiles) shot->update(dt, world);
}

std::vector<std::shared_ptr<Projectile>> Projectile::releaseSpent(btDynamicsWorld* world) {
    std::vector<std::shared_ptr<Projectile>> spent;
    for (auto shot = projectiles.begin(); shot != projectiles.end();) {
        if ((*shot)->visible) {
            ++shot;
            continue;
        }
        physics::removeFromWorld((*shot)->rigidBody, world);
        spent.push_back(*shot);
        shot = projectiles.erase(shot);
    }
    return spent;
}

void Projectile::clearLiveProjectiles(btDynamicsWorld* world) {
    for (const auto& shot : projectiles) physics::removeFromWorld(shot->rigidBody, world);
    projectiles.clear();
}
