#include "render/ColladaLoader.h"

#include "render/TexturedMesh.h"
#include "support/GlContext.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <map>

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

// Models are looked up below the working directory; the importer takes any format it knows, so the
// tests write small Wavefront files into a folder of their own.
class ColladaLoaderTest : public testsupport::GlTest {
protected:
    testsupport::TempDirectory folder{true};
};

TEST_F(ColladaLoaderTest, AppendsEveryMeshInFileOrderWithMirroredVAndItsBoxCorners) {
    folder.writeText("res/models/two.obj",
                     "v 2 -1 -3\nv 5 1 0\nv 2 1 0\nv 10 0 0\nv 11 0 0\nv 10 1 0\nvt 0.25 0.5\nvn 0 0 1\n"
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

// The loader stops the program before any GL work, so this needs no context (and forks no window).
TEST(ColladaLoaderDeathTest, ModelsTheGameCannotDrawStopTheProgramSayingWhy) {
    testsupport::TempDirectory folder(true);
    folder.writeText("res/models/flat.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\no flat\nf 1 2 3\n");
    folder.writeText("res/models/wire.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\no wire\nf 1//1 2//1 3//1\nl 1 2\n");
    const std::pair<const char*, const char*> cases[] = {{"absent.dae", "Cannot load model .*/res/models/absent\\.dae"},
                                                         {"flat.obj", "flat\\.obj.*no normals"},
                                                         {"wire.obj", "wire\\.obj.*face with 2 indices"}};
    for (const auto& [file, message] : cases) {
        std::vector<std::shared_ptr<TexturedMesh>> meshes;
        EXPECT_EXIT(ColladaLoader::loadModel(file, meshes), testing::ExitedWithCode(1), message);
    }
}

using GameModelsTest = testsupport::GlTest;

// The generated models, as the game reads them: their owners give each part a material by its place.
TEST_F(GameModelsTest, EveryModelHasThePartsItsOwnerExpectsInOrder) {
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
        std::vector<std::string> loaded;
        for (const auto& mesh : meshes) loaded.push_back(mesh->name);
        EXPECT_EQ(loaded, names) << file;
    }
}

}  // namespace
