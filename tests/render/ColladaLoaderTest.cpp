#include "render/ColladaLoader.h"

#include "render/TexturedMesh.h"
#include "render/VaoLoader.h"
#include "render/VertexArray.h"
#include "support/GlContext.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

namespace {

// Reads `count` floats of the buffer behind attribute `index` of `vaoId`.
std::vector<float> attributeData(GLuint vaoId, GLuint index, size_t count) {
    GLint buffer = 0;
    glBindVertexArray(vaoId);
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
    glBindVertexArray(0);
    std::vector<float> data(count);
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(buffer));
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(count * sizeof(float)), data.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return data;
}

// Small Wavefront files (the importer reads any format it knows) below a working folder of its own.
class ColladaLoaderTest : public testsupport::GlTest {
protected:
    testsupport::TempDirectory folder{true};
};

TEST_F(ColladaLoaderTest, AppendsEveryMeshInFileOrderWithMirroredVAndItsBoxCorners) {
    folder.writeText("res/models/two.obj",
                     "v 2 1 0\nv 5 1 0\nv 2 -1 -3\nv 10 0 0\nv 11 0 0\nv 10 1 0\nvt 0.25 0.5\nvn 0 0 1\n"
                     "o box\nf 1/1/1 2/1/1 3/1/1\no plain\nf 4//1 5//1 6//1\n");
    std::vector<std::shared_ptr<TexturedMesh>> meshes(1);
    ColladaLoader::loadModel("two.obj", meshes);
    ASSERT_EQ(meshes.size(), 3u);
    EXPECT_EQ(meshes[1]->name + meshes[2]->name, "boxplain");
    EXPECT_EQ(meshes[1]->vertexCount, 3);
    EXPECT_EQ(meshes[1]->boundingBoxCorners,
              (std::vector<glm::vec3>{
                  {5, 1, 0}, {5, 1, -3}, {5, -1, -3}, {5, -1, 0}, {2, 1, -3}, {2, 1, 0}, {2, -1, 0}, {2, -1, -3}}));
    EXPECT_NE(meshes[1]->material, meshes[2]->material) << "a material of its own for each mesh";
    // Texture coordinates come out as (u, -v); a mesh without any gets zeros.
    EXPECT_EQ(attributeData(meshes[1]->vaoId, 1, 2), (std::vector<float>{0.25f, -0.5f}));
    EXPECT_EQ(attributeData(meshes[2]->vaoId, 1, 6), std::vector<float>(6, 0.0f));
}

using GameModelsTest = testsupport::GlTest;

// The creatures' generated models: their owners give each part a material by its place. Each part of
// 500 triangles or more also has a coarse version of about a tenth of them for far copies, and an
// outline for the shadow map under three fifths of that (its seams welded); the flying rabbit's small gem has neither.
TEST_F(GameModelsTest, CreaturesHaveThePartsTheirOwnersExpectInOrderEachWithACoarseVersion) {
    const std::map<std::string, std::vector<std::string>> expected = {
        {"player_v3.dae", {"cushion", "tail", "eyes", "body"}},
        {"rabbit.dae", {"eyes", "body"}},
        {"flying-rabbit.dae", {"diamond", "body", "eyes"}},
    };
    for (const auto& [file, names] : expected) {
        std::vector<std::shared_ptr<TexturedMesh>> meshes;
        ColladaLoader::loadModel(file, meshes);
        std::vector<std::string> loaded;
        for (const auto& mesh : meshes) {
            loaded.push_back(mesh->name);
            const bool small = mesh->vertexCount < 3 * 500;
            EXPECT_EQ(mesh->coarseCount % 3, 0) << file << " " << mesh->name;
            EXPECT_GT(mesh->coarseCount, small ? -1 : mesh->vertexCount / 20) << file << " " << mesh->name;
            EXPECT_LT(mesh->coarseCount, small ? 1 : mesh->vertexCount / 5) << file << " " << mesh->name;
            EXPECT_EQ(mesh->outlineCount % 3, 0) << file << " " << mesh->name;
            EXPECT_GT(mesh->outlineCount, small ? -1 : mesh->vertexCount / 100) << file << " " << mesh->name;
            EXPECT_LT(mesh->outlineCount, small ? 1 : mesh->coarseCount * 3 / 5) << file << " " << mesh->name;
        }
        EXPECT_EQ(loaded, names) << file;
    }
}

TEST_F(GameModelsTest, CopiesShareVertexDataAndMaterialUntilTheLastGoesButNotPlacement) {
    auto source =
        loadIndexedToVAO({0, 0, 0, 1, 0, 0, 0, 2, 0}, {0, 0, 1, 0, 0, 1, 0, 0, 1}, {0, 1, 2}, {0, 0, 1, 0, 0, 1});
    source->setPosition({4, 5, 6});
    auto copy = copyMesh(source);
    EXPECT_EQ(copy->position, glm::vec3(0));
    EXPECT_EQ(copy->vaoId, source->vaoId);
    EXPECT_EQ(copy->material, source->material);

    const GLuint vaoId = source->vaoId;
    const std::vector<GLuint> buffers = source->vertexArray->buffers;
    source.reset();
    EXPECT_TRUE(glIsVertexArray(vaoId));
    copy.reset();
    EXPECT_FALSE(glIsVertexArray(vaoId));
    for (GLuint buffer : buffers) EXPECT_FALSE(glIsBuffer(buffer)) << buffer;
}

}  // namespace
