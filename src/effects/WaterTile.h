#pragma once

#include "objects/GameObject.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <memory>
#include <vector>

class WaterShader;

// The lake surface: one large quad ("waterTile.dae", 1600 × 1600 units) at the water line, drawn with
// its water program. Its static body is a flat box named "water" that rays hit (walkers and spawners
// recognise water by it) but that no body collides with.
class WaterTile : public GameObject {
public:
    static constexpr float kHalfSize = 800.0f;

    // Loads the model, the distortion and normal maps and builds the program with `shaderDefines`
    // (sampler units set once). Needs the current context; the body is not added to any world.
    explicit WaterTile(const glm::vec3& position, const std::string& shaderDefines = "");
    // Frees the distortion and normal maps (the images of the frame buffers belong to those) while a
    // context is current.
    ~WaterTile() override;

    // Builds the water program again with `defines` (unless it has them) and sets its samplers. True
    // when it was built again: its lights must then be added again, whatever GL name the new program
    // got. Leaves the program current.
    bool useShaderVariant(const std::string& defines);
    // Advances the wave phase by 0.02 of a period per second, wrapping within [0, 1).
    void advance(float dt);
    // The tile mesh's bounding-box corners in world space (the drawn, horizontal quad), for culling.
    std::vector<glm::vec3> worldCorners() const;

    // By texture unit: 0 reflection, 1 refraction, 2 distortion map, 3 normal map, 4 refraction depth.
    // The Game fills 0, 1 and 4 from its WaterFrameBuffers.
    std::vector<GLuint> textures;
    std::shared_ptr<WaterShader> shader;
    float moveFactor = 0.0f;
    GLuint programId = 0;

private:
    void setSamplers() const;
};
