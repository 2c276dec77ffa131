#pragma once

#include "objects/GameObject.h"

#include <glm/glm.hpp>

#include <functional>
#include <memory>
#include <string>

class TexturedMesh;
class btDynamicsWorld;

// A shot, the player's ("player_projectile") or an enemy's ("projectile"): a small textured sphere
// whose dynamic body flies straight, without gravity, until it hits something or its lifetime runs
// out. The body drives the object. A world's shots are kept by its ShotList.
class Projectile : public GameObject {
public:
    // Hands a shot's mesh to whoever batches the drawing, with the texture it is drawn with.
    using RegisterMesh = std::function<void(int textureKey, const std::shared_ptr<TexturedMesh>& mesh)>;

    Projectile() = default;
    ~Projectile() override = default;

    // Builds the sphere body (mass 0.1, no rotational inertia) and scales the shot to `radius`.
    void createBody(float radius);
    // Ages a visible shot; at its lifetime it is hidden and its body leaves `world`. Returns whether
    // it expired in this call. Hidden shots are left alone.
    bool update(float dt, btDynamicsWorld* world);

    float age = 0.0f;
    float lifetime = 5.0f;
    glm::vec3 origin{0.0f};  // where it was fired from

    static constexpr float kRadius = 0.1f;
    static constexpr float kMass = 0.1f;
};
