#include "SceneryModels.h"

#include <cmath>
#include <utility>

#include "ColladaWriter.h"

void writeWaterTileModel(const std::string& path) {
    MeshBuilder quad;
    const glm::vec3 corners[4] = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    const glm::vec2 uvs[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    quad.addFlatQuad(corners, uvs);
    ColladaWriter writer;
    writer.addMesh("water", quad, "water/normal.png");
    writer.save(path);
}

void writeSkyBoxModel(const std::string& path) {
    // Half size 500: the corners (866 away) stay inside the far plane of 1000.
    const float h = 500.0f;
    MeshBuilder box;
    const glm::vec2 uvs[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int axis = 0; axis < 3; ++axis)
        for (int sign = -1; sign <= 1; sign += 2) {
            // The face's inward normal is -sign along `axis`; its corners go counter-clockwise as
            // seen from inside the box.
            glm::vec3 n(0.0f), u(0.0f), v(0.0f);
            n[axis] = static_cast<float>(sign);
            u[(axis + 1) % 3] = 1.0f;
            v[(axis + 2) % 3] = 1.0f;
            if (sign < 0) std::swap(u, v);
            glm::vec3 c = n * h;
            glm::vec3 corners[4] = {c - u * h - v * h, c - u * h + v * h, c + u * h + v * h, c + u * h - v * h};
            box.addFlatQuad(corners, uvs);
        }
    ColladaWriter writer;
    writer.addMesh("sky", box, "");
    writer.save(path);
}

void writeGrassModel(const std::string& path) {
    MeshBuilder tuft;
    const float height = 1.3f, halfWidth = 0.55f, lean = 0.12f;
    for (int i = 0; i < 3; ++i) {
        float a = 3.14159265f * i / 3.0f;
        glm::vec3 across(std::cos(a), std::sin(a), 0), out(std::sin(a), -std::cos(a), 0);
        // The blades lean a little out of the card's plane so the tuft looks full from above too.
        // `out` is the card's front, the side its corners wind counter-clockwise around.
        glm::vec3 topShift = out * (i % 2 ? lean : -lean);
        glm::vec3 corners[4] = {-across * halfWidth, across * halfWidth,
                                across * halfWidth + glm::vec3(0, 0, height) + topShift,
                                -across * halfWidth + glm::vec3(0, 0, height) + topShift};
        const glm::vec2 uvs[4] = {{0.01f, 0.01f}, {0.99f, 0.01f}, {0.99f, 0.99f}, {0.01f, 0.99f}};
        uint32_t base = static_cast<uint32_t>(tuft.vertices().size());
        // Both faces of a card are seen (the grass is drawn without culling); an upward normal lights
        // them like the ground they grow from instead of dark on one side.
        for (int k = 0; k < 4; ++k)
            tuft.addVertex({corners[k], glm::normalize(glm::vec3(0, 0, 1) + 0.3f * out), uvs[k]});
        tuft.addTriangle(base, base + 1, base + 2);
        tuft.addTriangle(base, base + 2, base + 3);
    }
    ColladaWriter writer;
    writer.addMesh("tuft", tuft, "grass_128.png");
    writer.save(path);
}
