#include "render/ColladaLoader.h"

#include "render/CoarseIndices.h"
#include "render/ResourceFailure.h"
#include "render/ResourcePath.h"
#include "render/VaoLoader.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

namespace {

// One importer for the whole run; each import replaces the previous scene, whose data has been
// copied into GL buffers by then.
Assimp::Importer& importer() {
    static Assimp::Importer instance;
    return instance;
}

[[noreturn]] void refuseModel(const std::string& path, const std::string& reason) {
    refuseResource("Cannot load model " + path + ": " + reason);
}

// Checks the whole scene before any GL object is made, so a bad file leaves nothing half-built.
void requireTriangleMeshesWithNormals(const aiScene& scene, const std::string& path) {
    // The importer marks a scene without meshes incomplete (and may give it a placeholder mesh).
    if (scene.mNumMeshes == 0 || (scene.mFlags & AI_SCENE_FLAGS_INCOMPLETE)) refuseModel(path, "it has no meshes");
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        const aiMesh& mesh = *scene.mMeshes[m];
        const std::string label = "mesh " + std::to_string(m) + " (\"" + mesh.mName.C_Str() + "\")";
        if (!mesh.HasNormals()) refuseModel(path, label + " has no normals");
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            const aiFace& face = mesh.mFaces[f];
            if (face.mNumIndices != 3) {
                refuseModel(path, label + " has a face with " + std::to_string(face.mNumIndices) +
                                      " indices; only triangles are supported");
            }
            for (unsigned i = 0; i < 3; ++i) {
                if (face.mIndices[i] >= mesh.mNumVertices) {
                    refuseModel(path, label + " has a face with vertex " + std::to_string(face.mIndices[i]) + " of " +
                                          std::to_string(mesh.mNumVertices));
                }
            }
        }
    }
}

std::shared_ptr<TexturedMesh> convertMesh(const aiMesh& mesh) {
    std::vector<float> positions;
    std::vector<float> textureCoords;
    std::vector<float> normals;
    std::vector<unsigned int> indices;
    positions.reserve(mesh.mNumVertices * 3);
    textureCoords.reserve(mesh.mNumVertices * 2);
    normals.reserve(mesh.mNumVertices * 3);

    const bool hasTextureCoords = mesh.HasTextureCoords(0) && mesh.mNumVertices > 0;
    for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
        const aiVector3D& p = mesh.mVertices[i];
        positions.insert(positions.end(), {p.x, p.y, p.z});
        if (hasTextureCoords) {
            // The images are stored top row first, so v is mirrored (the sampler repeats).
            const aiVector3D& t = mesh.mTextureCoords[0][i];
            textureCoords.insert(textureCoords.end(), {t.x, -t.y});
        } else {
            textureCoords.insert(textureCoords.end(), {0.0f, 0.0f});
        }
        const aiVector3D& n = mesh.mNormals[i];
        normals.insert(normals.end(), {n.x, n.y, n.z});
    }
    indices.reserve(mesh.mNumFaces * 3);
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        indices.insert(indices.end(), {face.mIndices[0], face.mIndices[1], face.mIndices[2]});
    }

    std::shared_ptr<TexturedMesh> result =
        loadIndexedToVAO(positions, normals, indices, textureCoords, coarseIndices(indices, positions),
                         outlineIndices(indices, positions));
    if (mesh.mName.length > 0) result->name = mesh.mName.C_Str();
    return result;
}

}  // namespace

void ColladaLoader::loadModel(const std::string& fileName, std::vector<std::shared_ptr<TexturedMesh>>& meshes) {
    const std::string path = resourceRoot() + "/res/models/" + fileName;
    const aiScene* scene = importer().ReadFile(path, aiProcess_JoinIdenticalVertices | aiProcess_Triangulate);
    if (scene == nullptr) refuseModel(path, importer().GetErrorString());

    requireTriangleMeshesWithNormals(*scene, path);
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) meshes.push_back(convertMesh(*scene->mMeshes[m]));
}
