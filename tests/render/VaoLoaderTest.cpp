#include "render/VaoLoader.h"

#include "render/VertexArray.h"
#include "support/GlContext.h"

#include <gtest/gtest.h>

namespace {

TEST(BoundingBoxCorners, AreOrderedMaximaFirst) {
    const std::vector<float> positions = {1, 5, -2, -3, 0, 4, 2, -1, 0};
    const std::vector<glm::vec3> expected = {{2, 5, 4},   {2, 5, -2}, {2, -1, -2}, {2, -1, 4},
                                             {-3, 5, -2}, {-3, 5, 4}, {-3, -1, 4}, {-3, -1, -2}};
    EXPECT_EQ(expected, boundingBoxCorners(positions));
}

TEST(BoundingBoxCorners, SingleVertexGivesEightCopiesAndNoVertexNone) {
    EXPECT_EQ(std::vector<glm::vec3>(8, glm::vec3(1, 2, 3)), boundingBoxCorners({1, 2, 3}));
    EXPECT_TRUE(boundingBoxCorners({}).empty());
}

class VaoLoaderTest : public testsupport::GlTest {
protected:
    // Attribute state of `vaoId`, queried with the vertex array bound.
    static GLint attribute(GLuint vaoId, GLuint index, GLenum what) {
        glBindVertexArray(vaoId);
        GLint value = 0;
        glGetVertexAttribiv(index, what, &value);
        glBindVertexArray(0);
        return value;
    }

    static std::shared_ptr<TexturedMesh> indexedTriangle() {
        return loadIndexedToVAO({0, 0, 0, 1, 0, 0, 0, 2, 0}, {0, 0, 1, 0, 0, 1, 0, 0, 1}, {0, 1, 2, 2, 1, 0},
                                {0, 0, 1, 0, 0, 1});
    }
};

TEST_F(VaoLoaderTest, PositionsOnlyQuadHasFourVerticesOfTwoComponents) {
    std::shared_ptr<Mesh> quad = loadToVAO({-1, 1, -1, -1, 1, 1, 1, -1}, 2);
    EXPECT_EQ(4, quad->vertexCount);
    EXPECT_TRUE(quad->boundingBoxCorners.empty());
    EXPECT_TRUE(glIsVertexArray(quad->vaoId));
    EXPECT_EQ(2, attribute(quad->vaoId, 0, GL_VERTEX_ATTRIB_ARRAY_SIZE));
    // Drawing code enables the attributes it uses per draw.
    EXPECT_EQ(GL_FALSE, attribute(quad->vaoId, 0, GL_VERTEX_ATTRIB_ARRAY_ENABLED));
}

TEST_F(VaoLoaderTest, PositionAndNormalLayoutLeavesTextureCoordinatesOut) {
    std::shared_ptr<TexturedMesh> mesh = loadToVAO({0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0, 1, 0, 0, 1, 0, 0, 1});
    EXPECT_EQ(3, mesh->vertexCount);
    EXPECT_NE(0, attribute(mesh->vaoId, 0, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING));
    EXPECT_EQ(0, attribute(mesh->vaoId, 1, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING));
    EXPECT_EQ(3, attribute(mesh->vaoId, 2, GL_VERTEX_ATTRIB_ARRAY_SIZE));

    ASSERT_TRUE(mesh->material);
    EXPECT_EQ(0u, mesh->material->textureId);
    EXPECT_FLOAT_EQ(1.0f, mesh->material->shineDamper);
    EXPECT_FLOAT_EQ(0.0f, mesh->material->reflectivity);
    EXPECT_FALSE(mesh->material->hasTransparency);
    EXPECT_FALSE(mesh->material->shader);
}

TEST_F(VaoLoaderTest, IndexedLayoutRecordsIndicesAndCountsThem) {
    std::shared_ptr<TexturedMesh> mesh = indexedTriangle();
    EXPECT_EQ(6, mesh->vertexCount);
    EXPECT_EQ(glm::vec3(1, 2, 0), mesh->boundingBoxCorners[0]);
    EXPECT_EQ(2, attribute(mesh->vaoId, 1, GL_VERTEX_ATTRIB_ARRAY_SIZE));

    glBindVertexArray(mesh->vaoId);
    GLint indexBuffer = 0;
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &indexBuffer);
    std::vector<unsigned> indices(6);
    glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, 6 * sizeof(unsigned), indices.data());
    glBindVertexArray(0);
    EXPECT_NE(0, indexBuffer);
    EXPECT_EQ((std::vector<unsigned>{0, 1, 2, 2, 1, 0}), indices);
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

TEST_F(VaoLoaderTest, CopiesShareVertexDataAndMaterialButNotPlacement) {
    std::shared_ptr<TexturedMesh> source = indexedTriangle();
    source->name = "rabbit_body";
    source->setPosition({4, 5, 6});
    std::shared_ptr<TexturedMesh> copy = copyMesh(source);

    EXPECT_EQ("empty", copy->name);
    EXPECT_EQ(glm::vec3(0), copy->position);
    EXPECT_EQ(glm::vec3(1), copy->scale);
    EXPECT_EQ(source->vaoId, copy->vaoId);
    EXPECT_EQ(source->vertexCount, copy->vertexCount);
    EXPECT_EQ(source->boundingBoxCorners, copy->boundingBoxCorners);

    copy->material->shineDamper = 10.0f;
    EXPECT_FLOAT_EQ(10.0f, source->material->shineDamper);
}

TEST_F(VaoLoaderTest, VertexDataLivesUntilTheLastCopyGoes) {
    std::shared_ptr<TexturedMesh> source = indexedTriangle();
    std::shared_ptr<TexturedMesh> copy = copyMesh(source);
    const GLuint vaoId = source->vaoId;
    const std::vector<GLuint> buffers = source->vertexArray->buffers;
    ASSERT_EQ(4u, buffers.size());

    source.reset();
    EXPECT_TRUE(glIsVertexArray(vaoId));
    copy.reset();
    EXPECT_FALSE(glIsVertexArray(vaoId));
    for (GLuint buffer : buffers) EXPECT_FALSE(glIsBuffer(buffer)) << buffer;
}

TEST_F(VaoLoaderTest, InstancedAttributesStepPerInstanceThroughTheSharedBuffer) {
    std::shared_ptr<Mesh> quad = loadToVAO({-1, 1, -1, -1, 1, 1, 1, -1}, 2);
    glGenBuffers(1, &instanceBuffer());
    glBindBuffer(GL_ARRAY_BUFFER, instanceBuffer());
    glBufferData(GL_ARRAY_BUFFER, 21 * sizeof(float), nullptr, GL_STREAM_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    addInstancedAttribute(quad->vaoId, 6, 1, 20);

    EXPECT_EQ(static_cast<GLint>(instanceBuffer()), attribute(quad->vaoId, 6, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING));
    EXPECT_EQ(84, attribute(quad->vaoId, 6, GL_VERTEX_ATTRIB_ARRAY_STRIDE));
    EXPECT_EQ(1, attribute(quad->vaoId, 6, GL_VERTEX_ATTRIB_ARRAY_DIVISOR));
    glBindVertexArray(quad->vaoId);
    void* offset = nullptr;
    glGetVertexAttribPointerv(6, GL_VERTEX_ATTRIB_ARRAY_POINTER, &offset);
    glBindVertexArray(0);
    EXPECT_EQ(reinterpret_cast<void*>(80), offset);

    glDeleteBuffers(1, &instanceBuffer());
    instanceBuffer() = 0;
}

}  // namespace
