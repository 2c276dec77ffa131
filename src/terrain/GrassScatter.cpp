#include "terrain/GrassScatter.h"

#include "objects/GameObject.h"
#include "scene/ObjectTags.h"
#include "scene/Random.h"
#include "physics/RayQueries.h"
#include "render/ColladaLoader.h"
#include "render/GlContextState.h"
#include "render/Material.h"
#include "render/TextureLoader.h"
#include "render/TexturedMesh.h"
#include "render/VaoLoader.h"
#include "terrain/AdvancedTerrain.h"

#include <btBulletDynamicsCommon.h>

#include <iostream>
#include <vector>

namespace {

constexpr float kDropLength = 200.0f;

}  // namespace

GrassScatter::~GrassScatter() {
    if (texture != 0 && hasCurrentGlContext()) glDeleteTextures(1, &texture);
}

void GrassScatter::scatter(RenderMap& renderMap, btDynamicsWorld* world,
                           const std::shared_ptr<AdvancedTerrain>& terrain, Random& random) {
    BlockedQuery isBlocked;
    if (terrain) isBlocked = [&terrain](float x, float y, float z) { return terrain->isBlocked(x, y, z); };
    scatter(renderMap, world, isBlocked, random);
}

void GrassScatter::scatter(RenderMap& renderMap, btDynamicsWorld* world, const BlockedQuery& isBlocked,
                           Random& random) {
    const GLuint previousTexture = texture;
    // The old tufts go first: they are the last holders of the old model's vertex data.
    if (previousTexture != 0) renderMap.erase(static_cast<int>(previousTexture));
    loadResources();
    // Deleted only after the new one exists, so the two never share a name (and a render-list key).
    if (previousTexture != 0) glDeleteTextures(1, &previousTexture);
    renderMap[static_cast<int>(texture)].clear();
    for (int attempt = 0; attempt < kAttempts; ++attempt) placeTuft(renderMap, world, isBlocked, random);
}

void GrassScatter::loadResources() {
    std::vector<std::shared_ptr<TexturedMesh>> meshes;
    ColladaLoader::loadModel("grass.dae", meshes);
    texture = loadTexture("grass_128.png", 128, 128);
    if (meshes.empty()) {
        std::cerr << "grass.dae has no mesh; grass is drawn without one" << std::endl;
        meshes.push_back(std::make_shared<TexturedMesh>());
    }
    templateMesh = meshes.front();
    // Transparent, so the blades' cut-outs show and both sides are drawn.
    auto material = std::make_shared<Material>(texture, 1.0f, 1.0f, true);
    templateMesh->material = material;
}

void GrassScatter::placeTuft(RenderMap& renderMap, btDynamicsWorld* world, const BlockedQuery& isBlocked,
                             Random& random) {
    const float x = static_cast<float>(random.draw() % 700 + 50);
    const float z = static_cast<float>(random.draw() % 700 + 50);
    const float y = static_cast<float>(random.draw() % 90 + 10);
    if (isBlocked && isBlocked(x, y, z)) return;

    glm::vec3 position(x, y, z);
    // The first world is scattered before the lake exists; after a reset the rays look through the
    // water too, so tufts never float on the lake, and through the cat, which still stands in the
    // old world: one seed gives the same grass in every world.
    const physics::RayHit hit = physics::dropDown(world, position, kDropLength, nullptr, [](const SceneObject* owner) {
        return !owner || (owner->name != tags::kWater && owner->name != tags::kPlayer);
    });
    if (hit.hit) position = hit.position();
    if (position.y <= 0.0f) return;  // at or below the water line
    position.y -= kSink;

    // A carrier places and turns the copy the way an object's own mesh is placed, then goes; the
    // copy keeps the transform and forgets its parent.
    auto tuft = copyMesh(templateMesh);
    {
        GameObject carrier;
        carrier.addMesh(tuft);
        carrier.setScale(glm::vec3(1.0f));
        carrier.setPosition(position);
        carrier.setRotation(glm::vec3(0.0f, static_cast<float>(random.draw() % 360), 0.0f));
    }
    tuft->parent = nullptr;
    renderMap[static_cast<int>(texture)].push_back(tuft);
}
