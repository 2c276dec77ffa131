#pragma once

#include "render/RenderMap.h"

#include <GL/glew.h>

#include <functional>
#include <memory>

class AdvancedTerrain;
class Random;
class TexturedMesh;
class btDynamicsWorld;

// Scatters grass tufts over the landscape: copies of the one mesh of "grass.dae", textured with
// "grass_128.png", dropped onto whatever body lies below a random point and turned by a random angle
// about the vertical axis. Tufts have no body; they live only in the render list of the grass
// texture. Every scatter loads the model and texture anew (a new world may come with new files) and
// releases the ones of the previous scatter, so repeated resets do not pile up GL objects.
class GrassScatter {
public:
    using BlockedQuery = std::function<bool(float x, float y, float z)>;

    GrassScatter() = default;
    // Deletes the last grass texture (when a context is still current).
    ~GrassScatter();

    GrassScatter(const GrassScatter&) = delete;
    GrassScatter& operator=(const GrassScatter&) = delete;

    // Drops the previous scatter's render list and texture, loads the model and texture, and makes
    // up to kAttempts tufts in `renderMap` under the new texture. An attempt places nothing when its
    // start point is blocked or when it ends at or below height 0; a start point with nothing below
    // it within 200 units keeps its own height. The spots and turns are drawn from `random` where its
    // sequence stands. Needs the current context.
    void scatter(RenderMap& renderMap, btDynamicsWorld* world, const BlockedQuery& isBlocked, Random& random);
    // The same over the terrain's occupancy; without a terrain nothing is blocked.
    void scatter(RenderMap& renderMap, btDynamicsWorld* world, const std::shared_ptr<AdvancedTerrain>& terrain,
                 Random& random);

    static constexpr int kAttempts = 500;
    static constexpr float kSink = 0.5f;  // tufts sit a little into the ground so no gap shows

    GLuint texture = 0;                          // key of the grass render list; 0 before the first scatter
    std::shared_ptr<TexturedMesh> templateMesh;  // shares its vertex data and material with every tuft

private:
    void loadResources();
    void placeTuft(RenderMap& renderMap, btDynamicsWorld* world, const BlockedQuery& isBlocked, Random& random);
};
