#include "ItemModels.h"

#include "ColladaWriter.h"
#include "Gem.h"
#include "Shapes.h"

Surface projectileSphere() {
    return Surface("orb", shapes::ellipsoid(glm::vec3(0), glm::vec3(1)), {0, 0, 1, 1}, 512, 32, 16);
}

void writeDiamondModel(const std::string& path) {
    ColladaWriter writer;
    writer.addMesh("gem", buildGem(1.2f), "item_64.png");
    writer.save(path);
}

void writeProjectileModel(const std::string& path) {
    MeshBuilder orb;
    orb.addSurface(projectileSphere());
    ColladaWriter writer;
    writer.addMesh("orb", orb, "projectile_512.png");
    writer.save(path);
}
