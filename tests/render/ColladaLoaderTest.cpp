#include "render/ColladaLoader.h"

#include "render/VaoLoader.h"
#include "support/AssetFileWriter.h"
#include "support/GlContext.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <map>

using testsupport::MeshSpec;

namespace {

// A unit right triangle in the z = 0 plane facing +z, moved by `offset` along x.
MeshSpec triangle(const std::string& name, float offset, bool withTextureCoords = true) {
    MeshSpec part;
    part.name = name;
    part.positions = {offset, 0, 0, offset + 1, 0, 0, offset, 1, 0};
    part.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1};
    if (withTextureCoords) part.textureCoords = {0.0f, 0.0f, 0.25f, 0.5f, 1.0f, 0.75f};
    part.indices = {0, 1, 2};
    return part;
}

// Reads `count` floats of the buffer behind attribute `index` of `vaoId`.
std::vector<float> attributeData(GLuint vaoId, GLuint index, size_t count) {
    glBindVertexArray(vaoId);
    GLint buffer = 0;
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
    glBindVertexArray(0);
    std::vector<float> data(count);
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(buffer));
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(count * sizeof(float)), data.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return data;
}

// Models are looked up below the working directory, so each test works in a folder of its own.
class ColladaLoaderTest : public testsupport::GlTest {
protected:
    testsupport::TempDirectory folder;
    testsupport::ScopedWorkingDirectory cwd{folder.path()};

    void writeModel(const std::string& fileName, const std::vector<MeshSpec>& meshes) {
        ASSERT_EQ("", testsupport::writeColladaModel(folder.file("res/models/" + fileName), meshes));
    }
};

TEST_F(ColladaLoaderTest, AppendsEveryMeshInFileOrderWithMirroredVAndCorners) {
    MeshSpec box = triangle("box", 0.0f);
    // A second triangle making the mesh span x 2..5, y -1..1, z -3..0.
    box.positions.insert(box.positions.end(), {5, -1, -3, 2, 1, 0, 3, 0, -1});
    box.normals.insert(box.normals.end(), {0, 0, 1, 0, 0, 1, 0, 0, 1});
    box.textureCoords.insert(box.textureCoords.end(), {0.1f, 0.1f, 0.2f, 0.2f, 0.3f, 0.3f});
    box.indices = {0, 1, 2, 3, 4, 5};
    box.positions[0] = 2;  // keep every x at 2 or above
    box.positions[6] = 2;
    box.positions[3] = 3;
    writeModel("three.dae", {box, triangle("head", 10.0f), triangle("tail", 20.0f)});

    std::vector<std::shared_ptr<TexturedMesh>> meshes{loadToVAO({0, 0, 0}, {0, 0, 1})};
    ColladaLoader::loadModel("three.dae", meshes);

    ASSERT_EQ(4u, meshes.size());
    EXPECT_EQ("box", meshes[1]->name);
    EXPECT_EQ("head", meshes[2]->name);
    EXPECT_EQ("tail", meshes[3]->name);
    EXPECT_EQ(6, meshes[1]->vertexCount);
    EXPECT_EQ(3, meshes[2]->vertexCount);

    const std::vector<glm::vec3> expectedCorners = {{5, 1, 0},  {5, 1, -3}, {5, -1, -3}, {5, -1, 0},
                                                    {2, 1, -3}, {2, 1, 0},  {2, -1, 0},  {2, -1, -3}};
    EXPECT_EQ(expectedCorners, meshes[1]->boundingBoxCorners);
    EXPECT_FLOAT_EQ(10.0f, meshes[2]->boundingBoxCorners[7].x);

    // Texture coordinates come out as (u, -v), vertex for vertex with the positions (the importer
    // may reorder vertices, so match them by position).
    const std::vector<float> positions = attributeData(meshes[2]->vaoId, 0, 9);
    const std::vector<float> uvs = attributeData(meshes[2]->vaoId, 1, 6);
    const std::map<std::pair<float, float>, std::pair<float, float>> expectedUv = {
        {{10, 0}, {0.0f, 0.0f}}, {{11, 0}, {0.25f, -0.5f}}, {{10, 1}, {1.0f, -0.75f}}};
    for (int i = 0; i < 3; ++i) {
        auto found = expectedUv.find({positions[3 * i], positions[3 * i + 1]});
        ASSERT_NE(expectedUv.end(), found) << "unexpected vertex " << positions[3 * i] << ", " << positions[3 * i + 1];
        EXPECT_FLOAT_EQ(found->second.first, uvs[2 * i]);
        EXPECT_FLOAT_EQ(found->second.second, uvs[2 * i + 1]);
    }
    // Each mesh gets a material of its own with the default constants.
    EXPECT_NE(meshes[1]->material, meshes[2]->material);
    EXPECT_FLOAT_EQ(1.0f, meshes[1]->material->shineDamper);
}

TEST_F(ColladaLoaderTest, MeshWithoutTextureCoordinatesGetsZeros) {
    writeModel("plain.dae", {triangle("plain", 0.0f, false)});
    std::vector<std::shared_ptr<TexturedMesh>> meshes;
    ColladaLoader::loadModel("plain.dae", meshes);

    ASSERT_EQ(1u, meshes.size());
    EXPECT_EQ(std::vector<float>(6, 0.0f), attributeData(meshes[0]->vaoId, 1, 6));
}

// Fatal paths end the process before any GL work, so these need no context.
class ColladaLoaderDeathTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

    testsupport::TempDirectory folder;
    testsupport::ScopedWorkingDirectory cwd{folder.path()};
    std::vector<std::shared_ptr<TexturedMesh>> meshes;
};

TEST_F(ColladaLoaderDeathTest, MissingFileStopsTheProgramNamingIt) {
    folder.file("res/models/placeholder");
    EXPECT_EXIT(ColladaLoader::loadModel("absent.dae", meshes), ::testing::ExitedWithCode(1),
                "Cannot load model .*/res/models/absent\\.dae");
}

TEST_F(ColladaLoaderDeathTest, MeshWithoutNormalsStopsTheProgram) {
    MeshSpec flat = triangle("flat", 0.0f);
    flat.normals.clear();
    ASSERT_EQ("", testsupport::writeColladaModel(folder.file("res/models/flat.dae"), {flat}));
    EXPECT_EXIT(ColladaLoader::loadModel("flat.dae", meshes), ::testing::ExitedWithCode(1), "flat\\.dae.*no normals");
}

TEST_F(ColladaLoaderDeathTest, LineFacesStopTheProgram) {
    MeshSpec lines = triangle("wire", 0.0f);
    lines.indices = {0, 1, 1, 2};
    lines.verticesPerFace = 2;
    ASSERT_EQ("", testsupport::writeColladaModel(folder.file("res/models/wire.dae"), {lines}));
    EXPECT_EXIT(ColladaLoader::loadModel("wire.dae", meshes), ::testing::ExitedWithCode(1),
                "wire\\.dae.*face with 2 indices");
}

}  // namespace
