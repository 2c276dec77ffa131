#pragma once

#include <array>
#include <string>
#include <vector>

// Writes small asset files for loader tests: PNG images and Collada models built in memory.
namespace testsupport {

// Writes a `width` × `height` RGBA image filled with `rgba`. Stored uncompressed, so even
// 2048 × 2048 layers are written and read back quickly.
void writeSolidPng(const std::string& path, unsigned width, unsigned height, const std::array<unsigned char, 4>& rgba);

// One mesh of a model to write. Faces hold `verticesPerFace` indices each (3 for triangles, 2 for
// line segments). Empty normals or texture coordinates leave them out of the file.
struct MeshSpec {
    std::string name;
    std::vector<float> positions;      // x, y, z per vertex
    std::vector<float> normals;        // x, y, z per vertex, or empty
    std::vector<float> textureCoords;  // u, v per vertex, or empty
    std::vector<unsigned> indices;
    unsigned verticesPerFace = 3;
};

// Writes the meshes, in order, as one Collada file (all instanced by the root node). Returns an
// empty string on success, else the exporter's error.
std::string writeColladaModel(const std::string& path, const std::vector<MeshSpec>& meshes);

}  // namespace testsupport
