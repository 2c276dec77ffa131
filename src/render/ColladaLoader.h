#pragma once

#include "render/TexturedMesh.h"

#include <memory>
#include <string>
#include <vector>

// Imports Collada models from the data folder's "res/models" folder (resourceRoot()). Every mesh of a file
// becomes a TexturedMesh in the model layout; node transforms, materials and animations are ignored
// (owners place the meshes and give them their textures).
class ColladaLoader {
public:
    // Appends the meshes of `fileName` to `meshes` in the file's order, each named after the
    // imported mesh. The game cannot run without its models: a missing or unreadable file, one without
    // meshes, a mesh without normals or a face that is not a triangle stops the program with the path
    // and the reason (refuseResource). Needs the current context.
    static void loadModel(const std::string& fileName, std::vector<std::shared_ptr<TexturedMesh>>& meshes);
};
