#pragma once

#include <glm/glm.hpp>

#include <string>

class btDynamicsWorld;

// Where the player stands relative to the landscape, so a report can tell whether its frames
// showed the landscape from where a player would see it.
struct GroundCheck {
    glm::vec3 position{0.0f};
    bool groundFound = false;  // any landscape under (or above) the player's x, z
    float groundY = 0.0f;      // the highest landscape surface on the vertical through the player
    bool onGround = false;     // a landscape surface lies just below the player's feet

    std::string describe() const;
};

// Casts a vertical ray through the whole world at the position's x, z and looks at every surface
// of the body named "terrain" it crosses.
GroundCheck checkGround(const glm::vec3& position, btDynamicsWorld* world);
