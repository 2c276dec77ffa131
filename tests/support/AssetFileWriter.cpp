#include "support/AssetFileWriter.h"

#include <assimp/Exporter.hpp>
#include <assimp/material.h>
#include <assimp/scene.h>
#include <lodepng.h>

#include <memory>

namespace testsupport {

void writeSolidPng(const std::string& path, unsigned width, unsigned height, const std::array<unsigned char, 4>& rgba) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        for (size_t c = 0; c < 4; ++c) pixels[i + c] = rgba[c];
    }
    lodepng::State state;
    state.encoder.zlibsettings.btype = 0;  // stored blocks: no compression work
    state.encoder.filter_strategy = LFS_ZERO;
    std::vector<unsigned char> png;
    lodepng::encode(png, pixels, width, height, state);
    lodepng::save_file(png, path);
}

namespace {

aiMesh* buildMesh(const MeshSpec& part) {
    auto* mesh = new aiMesh();
    mesh->mName = part.name;
    mesh->mMaterialIndex = 0;
    mesh->mPrimitiveTypes = part.verticesPerFace == 3 ? aiPrimitiveType_TRIANGLE : aiPrimitiveType_LINE;

    const unsigned vertexCount = static_cast<unsigned>(part.positions.size() / 3);
    mesh->mNumVertices = vertexCount;
    mesh->mVertices = new aiVector3D[vertexCount];
    for (unsigned i = 0; i < vertexCount; ++i) {
        mesh->mVertices[i] = aiVector3D(part.positions[3 * i], part.positions[3 * i + 1], part.positions[3 * i + 2]);
    }
    if (!part.normals.empty()) {
        mesh->mNormals = new aiVector3D[vertexCount];
        for (unsigned i = 0; i < vertexCount; ++i) {
            mesh->mNormals[i] = aiVector3D(part.normals[3 * i], part.normals[3 * i + 1], part.normals[3 * i + 2]);
        }
    }
    if (!part.textureCoords.empty()) {
        mesh->mTextureCoords[0] = new aiVector3D[vertexCount];
        mesh->mNumUVComponents[0] = 2;
        for (unsigned i = 0; i < vertexCount; ++i) {
            mesh->mTextureCoords[0][i] = aiVector3D(part.textureCoords[2 * i], part.textureCoords[2 * i + 1], 0.0f);
        }
    }

    const unsigned faceCount = static_cast<unsigned>(part.indices.size() / part.verticesPerFace);
    mesh->mNumFaces = faceCount;
    mesh->mFaces = new aiFace[faceCount];
    for (unsigned f = 0; f < faceCount; ++f) {
        aiFace& face = mesh->mFaces[f];
        face.mNumIndices = part.verticesPerFace;
        face.mIndices = new unsigned[part.verticesPerFace];
        for (unsigned k = 0; k < part.verticesPerFace; ++k)
            face.mIndices[k] = part.indices[f * part.verticesPerFace + k];
    }
    return mesh;
}

}  // namespace

std::string writeColladaModel(const std::string& path, const std::vector<MeshSpec>& meshes) {
    // aiScene frees everything hung off it, so the arrays are handed over with new[].
    auto scene = std::make_unique<aiScene>();
    scene->mNumMaterials = 1;
    scene->mMaterials = new aiMaterial* [1] { new aiMaterial() };

    const unsigned meshCount = static_cast<unsigned>(meshes.size());
    scene->mNumMeshes = meshCount;
    scene->mMeshes = new aiMesh*[meshCount];
    for (unsigned m = 0; m < meshCount; ++m) scene->mMeshes[m] = buildMesh(meshes[m]);

    scene->mRootNode = new aiNode("root");
    scene->mRootNode->mNumMeshes = meshCount;
    scene->mRootNode->mMeshes = new unsigned[meshCount];
    for (unsigned m = 0; m < meshCount; ++m) scene->mRootNode->mMeshes[m] = m;

    Assimp::Exporter exporter;
    if (exporter.Export(scene.get(), "collada", path) != AI_SUCCESS) return exporter.GetErrorString();
    return "";
}

}  // namespace testsupport
