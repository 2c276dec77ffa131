#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <glm/glm.hpp>

#include <cmath>
#include <limits>
#include <map>

#include "assets/AssetExpectations.h"
#include "render/ColladaLoader.h"
#include "support/GlContext.h"

// The geometry of every model, read the way the game imports it (joined vertices, triangulated, no
// other processing).

namespace {

struct Box {
    glm::vec3 min{std::numeric_limits<float>::max()};
    glm::vec3 max{-std::numeric_limits<float>::max()};
    void add(const glm::vec3& p) {
        min = glm::min(min, p);
        max = glm::max(max, p);
    }
    glm::vec3 centre() const { return (min + max) * 0.5f; }
    glm::vec3 size() const { return max - min; }
};

glm::vec3 vec(const aiVector3D& v) { return {v.x, v.y, v.z}; }

class ModelFile {
public:
    explicit ModelFile(const std::string& name) {
        scene = importer.ReadFile("res/models/" + name, aiProcess_JoinIdenticalVertices | aiProcess_Triangulate);
    }
    const aiScene* operator->() const { return scene; }
    bool loaded() const { return scene != nullptr; }

    const aiMesh* mesh(unsigned i) const { return scene->mMeshes[i]; }
    Box box(unsigned i) const {
        Box b;
        for (unsigned v = 0; v < mesh(i)->mNumVertices; ++v) b.add(vec(mesh(i)->mVertices[v]));
        return b;
    }
    Box box() const {
        Box b;
        for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
            Box m = box(i);
            b.add(m.min);
            b.add(m.max);
        }
        return b;
    }
    // Six times the volume enclosed by the mesh, positive when its triangles wind counter-clockwise
    // seen from outside.
    double signedVolume(unsigned i) const {
        double v = 0;
        const aiMesh* m = mesh(i);
        for (unsigned f = 0; f < m->mNumFaces; ++f) {
            const aiFace& face = m->mFaces[f];
            glm::dvec3 a(vec(m->mVertices[face.mIndices[0]])), b(vec(m->mVertices[face.mIndices[1]])),
                c(vec(m->mVertices[face.mIndices[2]]));
            v += glm::dot(a, glm::cross(b, c));
        }
        return v;
    }

private:
    Assimp::Importer importer;
    const aiScene* scene = nullptr;
};

std::vector<std::string> meshNames(const ModelFile& file) {
    std::vector<std::string> names;
    for (unsigned i = 0; i < file->mNumMeshes; ++i) names.push_back(file.mesh(i)->mName.C_Str());
    return names;
}

}  // namespace

TEST(AssetModelTest, MeshesAreTrianglesWithNormalsAgreeingWithTheirWinding) {
    for (const std::string& name : assetexpect::models()) {
        SCOPED_TRACE(name);
        ModelFile file(name);
        ASSERT_TRUE(file.loaded());
        for (unsigned i = 0; i < file->mNumMeshes; ++i) {
            const aiMesh* m = file.mesh(i);
            SCOPED_TRACE(m->mName.C_Str());
            ASSERT_TRUE(m->HasNormals());
            ASSERT_TRUE(m->HasTextureCoords(0));
            ASSERT_GT(m->mNumFaces, 0u);
            int disagreeing = 0;
            for (unsigned f = 0; f < m->mNumFaces; ++f) {
                const aiFace& face = m->mFaces[f];
                ASSERT_EQ(face.mNumIndices, 3u);
                glm::vec3 a = vec(m->mVertices[face.mIndices[0]]), b = vec(m->mVertices[face.mIndices[1]]),
                          c = vec(m->mVertices[face.mIndices[2]]);
                glm::vec3 n = vec(m->mNormals[face.mIndices[0]]) + vec(m->mNormals[face.mIndices[1]]) +
                              vec(m->mNormals[face.mIndices[2]]);
                EXPECT_NEAR(glm::length(vec(m->mNormals[face.mIndices[0]])), 1.0f, 1e-3f);
                if (glm::dot(glm::cross(b - a, c - a), n) <= 0) ++disagreeing;
            }
            // Back faces are culled: a triangle wound against its normals disappears from the front.
            EXPECT_EQ(disagreeing, 0);
        }
    }
}

TEST(AssetModelTest, ClosedModelsWindOutwardsAndTheSkyBoxInwards) {
    for (const char* name : {"player_v3.dae", "rabbit.dae", "flying-rabbit.dae", "diamond.dae", "Projectile.dae"}) {
        ModelFile file(name);
        ASSERT_TRUE(file.loaded()) << name;
        for (unsigned i = 0; i < file->mNumMeshes; ++i)
            EXPECT_GT(file.signedVolume(i), 0.0) << name << " mesh " << file.mesh(i)->mName.C_Str();
    }
    ModelFile sky("skybox_test_small.dae");
    ASSERT_TRUE(sky.loaded());
    EXPECT_LT(sky.signedVolume(0), 0.0);
    // Its corners must stay inside the far plane of 1000.
    Box box = sky.box();
    EXPECT_LT(glm::length(box.max), 1000.0f);
    EXPECT_LT(glm::length(box.min), 1000.0f);
    EXPECT_GT(box.size().x, 100.0f);
}

TEST(AssetModelTest, CharacterTexturesAreSampledInsideTheirPicture) {
    // These textures do not tile: a coordinate on the edge would blend in the opposite side.
    for (const char* name : {"player_v3.dae", "rabbit.dae", "flying-rabbit.dae", "Projectile.dae"}) {
        ModelFile file(name);
        ASSERT_TRUE(file.loaded()) << name;
        for (unsigned i = 0; i < file->mNumMeshes; ++i)
            for (unsigned v = 0; v < file.mesh(i)->mNumVertices; ++v) {
                aiVector3D uv = file.mesh(i)->mTextureCoords[0][v];
                ASSERT_GT(uv.x, 0.0f) << name;
                ASSERT_LT(uv.x, 1.0f) << name;
                ASSERT_GT(uv.y, 0.0f) << name;
                ASSERT_LT(uv.y, 1.0f) << name;
            }
    }
}

TEST(AssetModelTest, PlayerSitsOnItsCushionFacingMinusY) {
    ModelFile file("player_v3.dae");
    ASSERT_TRUE(file.loaded());
    EXPECT_EQ(meshNames(file), (std::vector<std::string>{"cushion", "tail", "eyes", "body"}));
    Box all = file.box();
    // The meshes sit 1 above the player's origin at half scale: the lowest point is at z = -2.
    EXPECT_NEAR(all.min.z, -2.0f, 0.02f);
    EXPECT_NEAR(all.size().z, 3.0f, 0.4f);
    EXPECT_LT(file.box(0).max.z, file.box(3).centre().z);              // the cushion is under the cat
    EXPECT_LT(file.box(2).centre().y, file.box(3).centre().y - 0.5f);  // eyes at the front (-y)
    EXPECT_GT(file.box(1).centre().y, file.box(3).centre().y + 0.5f);  // tail at the back
    EXPECT_NEAR(file.box(3).centre().x, 0.0f, 0.05f);
}

TEST(AssetModelTest, RabbitsStandOnTheGroundFacingMinusY) {
    ModelFile rabbit("rabbit.dae");
    ASSERT_TRUE(rabbit.loaded());
    EXPECT_EQ(meshNames(rabbit), (std::vector<std::string>{"eyes", "body"}));
    Box all = rabbit.box();
    EXPECT_NEAR(all.min.z, 0.0f, 0.02f);
    EXPECT_NEAR(all.size().z, 2.5f, 0.3f);
    EXPECT_LT(rabbit.box(0).centre().y, rabbit.box(1).centre().y - 0.4f);
    EXPECT_GT(rabbit.box(0).centre().z, rabbit.box(1).centre().z);  // eyes in the head, above the body

    ModelFile flying("flying-rabbit.dae");
    ASSERT_TRUE(flying.loaded());
    EXPECT_EQ(meshNames(flying), (std::vector<std::string>{"diamond", "body", "eyes"}));
    EXPECT_LT(flying.box(2).centre().y, flying.box(1).centre().y - 0.4f);
    EXPECT_GT(flying.box(1).size().x, rabbit.box(1).size().x + 0.5f);  // wings
    // The diamond is drawn y-up at 1/15 scale and spun about its y axis above the rabbit's head.
    Box gem = flying.box(0);
    EXPECT_NEAR(gem.size().y, 8.0f, 0.5f);
    EXPECT_LT(gem.size().x, gem.size().y);
    EXPECT_NEAR(gem.centre().x, 0.0f, 0.01f);
    EXPECT_NEAR(gem.centre().z, 0.0f, 0.01f);
    float earTips = 0.5f * flying.box(1).max.z;  // in the game: half scale, no offset
    float gemBottom = 1.5f + gem.min.y / 15.0f;
    EXPECT_GT(gemBottom, earTips);
    EXPECT_LT(gemBottom, earTips + 0.5f);
}

TEST(AssetModelTest, ItemsAndSceneryHaveTheirStatedShapes) {
    ModelFile diamond("diamond.dae");
    ASSERT_TRUE(diamond.loaded());
    ASSERT_EQ(diamond->mNumMeshes, 1u);
    Box gem = diamond.box();
    EXPECT_NEAR(gem.size().z, 1.2f, 0.05f);
    EXPECT_NEAR(glm::length(gem.centre()), 0.0f, 0.02f);

    ModelFile orb("Projectile.dae");
    ASSERT_TRUE(orb.loaded());
    ASSERT_EQ(orb->mNumMeshes, 1u);
    for (unsigned v = 0; v < orb.mesh(0)->mNumVertices; ++v)
        ASSERT_NEAR(glm::length(vec(orb.mesh(0)->mVertices[v])), 1.0f, 1e-4f);

    ModelFile water("waterTile.dae");
    ASSERT_TRUE(water.loaded());
    ASSERT_EQ(water->mNumMeshes, 1u);
    const aiMesh* quad = water.mesh(0);
    EXPECT_EQ(quad->mNumFaces, 2u);
    std::map<std::pair<int, int>, glm::vec2> uvAtCorner;
    for (unsigned v = 0; v < quad->mNumVertices; ++v) {
        glm::vec3 p = vec(quad->mVertices[v]);
        EXPECT_FLOAT_EQ(std::fabs(p.x), 1.0f);
        EXPECT_FLOAT_EQ(std::fabs(p.y), 1.0f);
        EXPECT_FLOAT_EQ(p.z, 0.0f);
        EXPECT_EQ(vec(quad->mNormals[v]), glm::vec3(0, 0, 1));
        uvAtCorner[{static_cast<int>(p.x), static_cast<int>(p.y)}] = {quad->mTextureCoords[0][v].x,
                                                                      quad->mTextureCoords[0][v].y};
    }
    EXPECT_EQ(uvAtCorner.size(), 4u);
    EXPECT_EQ(uvAtCorner[std::make_pair(-1, -1)], glm::vec2(0, 0));
    EXPECT_EQ(uvAtCorner[std::make_pair(1, 1)], glm::vec2(1, 1));

    ModelFile grass("grass.dae");
    ASSERT_TRUE(grass.loaded());
    ASSERT_EQ(grass->mNumMeshes, 1u);
    EXPECT_NEAR(grass.box().min.z, 0.0f, 1e-4f);
    EXPECT_NEAR(grass.box().size().z, 1.3f, 0.05f);
    EXPECT_GE(grass.mesh(0)->mNumFaces, 4u);
}

class AssetModelLoadTest : public testsupport::GlTest {};

TEST_F(AssetModelLoadTest, GameLoaderReadsEveryModelInTheOrderTheOwnersExpect) {
    const std::map<std::string, std::vector<std::string>> expected = {
        {"player_v3.dae", {"cushion", "tail", "eyes", "body"}},
        {"rabbit.dae", {"eyes", "body"}},
        {"flying-rabbit.dae", {"diamond", "body", "eyes"}},
        {"diamond.dae", {"gem"}},
        {"Projectile.dae", {"orb"}},
        {"waterTile.dae", {"water"}},
        {"skybox_test_small.dae", {"sky"}},
        {"grass.dae", {"tuft"}},
    };
    for (const auto& [file, names] : expected) {
        std::vector<std::shared_ptr<TexturedMesh>> meshes;
        ColladaLoader::loadModel(file, meshes);
        ASSERT_EQ(meshes.size(), names.size()) << file;
        for (size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(meshes[i]->name, names[i]) << file;
            EXPECT_GT(meshes[i]->vertexCount, 0) << file;
            EXPECT_EQ(meshes[i]->vertexCount % 3, 0) << file;
            EXPECT_EQ(meshes[i]->boundingBoxCorners.size(), 8u) << file;
        }
    }
}
