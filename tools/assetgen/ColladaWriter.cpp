#include "ColladaWriter.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <stdexcept>

#include <assimp/Exporter.hpp>
#include <assimp/material.h>
#include <assimp/scene.h>

namespace {

const char* kFixedDate = "2024-01-01T00:00:00";

aiMesh* toAiMesh(const std::string& name, const MeshBuilder& builder, unsigned materialIndex) {
    const auto& verts = builder.vertices();
    const auto& idx = builder.indices();
    auto* mesh = new aiMesh();
    mesh->mName = aiString(name);
    mesh->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    mesh->mMaterialIndex = materialIndex;
    mesh->mNumVertices = static_cast<unsigned>(verts.size());
    mesh->mVertices = new aiVector3D[verts.size()];
    mesh->mNormals = new aiVector3D[verts.size()];
    mesh->mTextureCoords[0] = new aiVector3D[verts.size()];
    mesh->mNumUVComponents[0] = 2;
    for (size_t i = 0; i < verts.size(); ++i) {
        const MeshVertex& v = verts[i];
        mesh->mVertices[i] = aiVector3D(v.position.x, v.position.y, v.position.z);
        mesh->mNormals[i] = aiVector3D(v.normal.x, v.normal.y, v.normal.z);
        mesh->mTextureCoords[0][i] = aiVector3D(v.uv.x, v.uv.y, 0.0f);
    }
    mesh->mNumFaces = static_cast<unsigned>(idx.size() / 3);
    mesh->mFaces = new aiFace[mesh->mNumFaces];
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        aiFace& face = mesh->mFaces[f];
        face.mNumIndices = 3;
        face.mIndices = new unsigned[3]{idx[f * 3], idx[f * 3 + 1], idx[f * 3 + 2]};
    }
    return mesh;
}

aiMaterial* toAiMaterial(const std::string& name, const std::string& textureFile) {
    auto* material = new aiMaterial();
    aiString materialName(name + "_material");
    material->AddProperty(&materialName, AI_MATKEY_NAME);
    aiColor3D white(1.0f, 1.0f, 1.0f);
    material->AddProperty(&white, 1, AI_MATKEY_COLOR_DIFFUSE);
    if (!textureFile.empty()) {
        aiString texture(textureFile);
        material->AddProperty(&texture, AI_MATKEY_TEXTURE_DIFFUSE(0));
    }
    return material;
}

}  // namespace

void ColladaWriter::addMesh(const std::string& name, const MeshBuilder& mesh, const std::string& textureFile) {
    entries.push_back({name, mesh, textureFile});
}

void ColladaWriter::save(const std::string& path) const {
    aiScene scene;
    unsigned n = static_cast<unsigned>(entries.size());
    scene.mNumMeshes = n;
    scene.mMeshes = new aiMesh*[n];
    scene.mNumMaterials = n;
    scene.mMaterials = new aiMaterial*[n];
    scene.mRootNode = new aiNode();
    scene.mRootNode->mName = aiString(std::filesystem::path(path).stem().string());
    // One child node per mesh, in order, so the importer lists the meshes in the same order.
    scene.mRootNode->mNumChildren = n;
    scene.mRootNode->mChildren = new aiNode*[n];
    for (unsigned i = 0; i < n; ++i) {
        scene.mMeshes[i] = toAiMesh(entries[i].name, entries[i].mesh, i);
        scene.mMaterials[i] = toAiMaterial(entries[i].name, entries[i].textureFile);
        auto* node = new aiNode();
        node->mName = aiString(entries[i].name + "_node");
        node->mParent = scene.mRootNode;
        node->mNumMeshes = 1;
        node->mMeshes = new unsigned[1]{i};
        scene.mRootNode->mChildren[i] = node;
    }

    Assimp::Exporter exporter;
    const aiExportDataBlob* blob = exporter.ExportToBlob(&scene, "collada");
    if (!blob) throw std::runtime_error("Collada export failed for " + path + ": " + exporter.GetErrorString());
    std::string text(static_cast<const char*>(blob->data), blob->size);
    text = std::regex_replace(text, std::regex("<created>[^<]*</created>"),
                              std::string("<created>") + kFixedDate + "</created>");
    text = std::regex_replace(text, std::regex("<modified>[^<]*</modified>"),
                              std::string("<modified>") + kFixedDate + "</modified>");
    // The models are authored z-up; the exporter always claims y-up. (The game reads the vertices
    // as they are and ignores this; other tools use it to stand the model upright.)
    text = std::regex_replace(text, std::regex("<up_axis>Y_UP</up_axis>"), "<up_axis>Z_UP</up_axis>");

    std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        if (!out) throw std::runtime_error("cannot write " + tmp);
    }
    std::filesystem::rename(tmp, path);
}
