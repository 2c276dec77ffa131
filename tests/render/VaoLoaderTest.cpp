#include "render/VaoLoader.h"

#include "render/VertexArray.h"
#include "support/GlContext.h"

#include <gtest/gtest.h>

namespace {

class VaoLoaderTest : public testsupport::GlTest {};

TEST_F(VaoLoaderTest, CopiesShareVertexDataAndMaterialUntilTheLastGoesButNotPlacement) {
    auto source =
        loadIndexedToVAO({0, 0, 0, 1, 0, 0, 0, 2, 0}, {0, 0, 1, 0, 0, 1, 0, 0, 1}, {0, 1, 2}, {0, 0, 1, 0, 0, 1});
    source->name = "rabbit_body";
    source->setPosition({4, 5, 6});
    auto copy = copyMesh(source);
    EXPECT_EQ(copy->name, "empty");
    EXPECT_EQ(copy->position, glm::vec3(0));
    EXPECT_EQ(copy->vaoId, source->vaoId);
    EXPECT_EQ(copy->vertexCount, source->vertexCount);
    EXPECT_EQ(copy->boundingBoxCorners, source->boundingBoxCorners);
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
