#include "RabbitModels.h"

#include <glm/gtc/matrix_transform.hpp>

#include "ColladaWriter.h"
#include "Gem.h"
#include "RabbitRig.h"

void writeRabbitModel(const std::string& path) {
    ColladaWriter writer;
    writer.addMesh("eyes", MeshBuilder::fromSurfaces(rabbitrig::eyeParts()), "rabbit_eye_256.png");
    writer.addMesh("body", MeshBuilder::fromSurfaces(rabbitrig::bodyParts()), "rabbit_body_512.png");
    writer.save(path);
}

void writeFlyingRabbitModel(const std::string& path) {
    // The game draws this diamond without the characters' z-up turn, at 1/15 scale and 1.5 above
    // the rabbit: author it y-up and 8 units tall, centred 3 units up, so it floats just over the ears.
    MeshBuilder diamond = buildGem(8.0f);
    glm::mat4 yUp = glm::rotate(glm::mat4(1.0f), glm::radians(-90.0f), glm::vec3(1, 0, 0));
    diamond.transform(glm::translate(glm::mat4(1.0f), glm::vec3(0, 3.0f, 0)) * yUp);
    MeshBuilder body = MeshBuilder::fromSurfaces(rabbitrig::bodyParts());
    body.append(MeshBuilder::fromSurfaces(rabbitrig::wingParts()));

    ColladaWriter writer;
    writer.addMesh("diamond", diamond, "carried_gem_64.png");
    writer.addMesh("body", body, "rabbit_body_512.png");
    writer.addMesh("eyes", MeshBuilder::fromSurfaces(rabbitrig::eyeParts()), "rabbit_eye_256.png");
    writer.save(path);
}
