#pragma once

#include "objects/GameObject.h"

#include <glm/glm.hpp>

#include <memory>

class TexturedMesh;

// A collectable diamond. It hangs where it was placed: the owner adds its body to the world with
// gravity off, and the body takes no contact response, so it only reports touches. Collecting it
// hides it and takes its body out of the world; the object itself lives until the next world reset.
class Item : public GameObject {
public:
    // An item at `position` showing `mesh` (a copy of the shared diamond); the body (not yet in any
    // world) is a unit sphere centred kBodyOffset above the item.
    Item(const glm::vec3& position, const std::shared_ptr<TexturedMesh>& mesh);
    ~Item() override = default;

    static constexpr float kScale = 0.5f;
    static constexpr float kBodyRadius = 1.0f;
    static constexpr float kMass = 0.001f;
    static constexpr float kBodyLift = 0.2f;
};
