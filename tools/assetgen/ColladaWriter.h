#pragma once

#include <string>
#include <vector>

#include "MeshBuilder.h"

// Gathers the meshes of one model and writes them as a Collada file through Assimp's exporter.
// The meshes keep the order in which they were added, which is the order the game indexes them by.
class ColladaWriter {
public:
    // `textureFile` is recorded in the mesh's material for other tools; the game assigns its own.
    void addMesh(const std::string& name, const MeshBuilder& mesh, const std::string& textureFile);
    // Exports and writes `path`; throws std::runtime_error on failure. The exporter stamps the
    // current time into the file, which is replaced by a fixed date so every run writes the same
    // bytes, and the file is marked z-up.
    void save(const std::string& path) const;

private:
    struct Entry {
        std::string name;
        MeshBuilder mesh;
        std::string textureFile;
    };
    std::vector<Entry> entries;
};
