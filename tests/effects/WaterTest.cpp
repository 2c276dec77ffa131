#include "effects/WaterFrameBuffers.h"
#include "effects/WaterShader.h"
#include "effects/WaterTile.h"

#include "support/GlContext.h"
#include "support/PhysicsWorld.h"

#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

class WaterTest : public testsupport::GlTest {};

GLint textureLevelParameter(GLuint texture, GLenum parameter) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameter, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

GLint attachmentParameter(GLuint frameBuffer, GLenum attachment, GLenum parameter) {
    GLint value = 0;
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment, parameter, &value);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return value;
}

GLenum completeness(GLuint frameBuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return status;
}

}  // namespace

TEST_F(WaterTest, FrameBuffersHaveTheirSizesAttachmentsAndRestoreTheWindow) {
    GLint viewport[4];
    GLuint names[6];
    {
        WaterFrameBuffers buffers(333, 222);
        GLint bound = -1;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(bound, 0);
        EXPECT_EQ(viewport[2], 333);
        EXPECT_EQ(viewport[3], 222);

        EXPECT_EQ(completeness(buffers.reflectionFrameBuffer), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
        EXPECT_EQ(completeness(buffers.refractionFrameBuffer), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));

        EXPECT_EQ(textureLevelParameter(buffers.reflectionTexture, GL_TEXTURE_WIDTH), 640);
        EXPECT_EQ(textureLevelParameter(buffers.reflectionTexture, GL_TEXTURE_HEIGHT), 360);
        EXPECT_EQ(textureLevelParameter(buffers.refractionTexture, GL_TEXTURE_WIDTH), 1280);
        EXPECT_EQ(textureLevelParameter(buffers.refractionTexture, GL_TEXTURE_HEIGHT), 720);
        EXPECT_EQ(textureLevelParameter(buffers.refractionDepthTexture, GL_TEXTURE_WIDTH), 1280);
        EXPECT_EQ(textureLevelParameter(buffers.refractionDepthTexture, GL_TEXTURE_INTERNAL_FORMAT),
                  GL_DEPTH_COMPONENT32);

        EXPECT_EQ(attachmentParameter(buffers.reflectionFrameBuffer, GL_DEPTH_ATTACHMENT,
                                      GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE),
                  GL_RENDERBUFFER);
        EXPECT_EQ(attachmentParameter(buffers.reflectionFrameBuffer, GL_DEPTH_ATTACHMENT,
                                      GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME),
                  static_cast<GLint>(buffers.reflectionDepthBuffer));
        EXPECT_EQ(attachmentParameter(buffers.refractionFrameBuffer, GL_DEPTH_ATTACHMENT,
                                      GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME),
                  static_cast<GLint>(buffers.refractionDepthTexture));
        EXPECT_EQ(attachmentParameter(buffers.refractionFrameBuffer, GL_COLOR_ATTACHMENT0,
                                      GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME),
                  static_cast<GLint>(buffers.refractionTexture));

        buffers.bindRefractionFrameBuffer();
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], 1280);
        buffers.bindReflectionFrameBuffer();
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[3], 360);
        buffers.unbindCurrentFrameBuffer();
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], 333);

        names[0] = buffers.reflectionFrameBuffer;
        names[1] = buffers.reflectionTexture;
        names[2] = buffers.reflectionDepthBuffer;
        names[3] = buffers.refractionFrameBuffer;
        names[4] = buffers.refractionTexture;
        names[5] = buffers.refractionDepthTexture;
    }
    EXPECT_FALSE(glIsFramebuffer(names[0]));
    EXPECT_FALSE(glIsTexture(names[1]));
    EXPECT_FALSE(glIsRenderbuffer(names[2]));
    EXPECT_FALSE(glIsFramebuffer(names[3]));
    EXPECT_FALSE(glIsTexture(names[4]));
    EXPECT_FALSE(glIsTexture(names[5]));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(WaterTest, TileIsAFlatQuadThatRaysHitAndBodiesFallThrough) {
    WaterTile tile(glm::vec3(400.0f, 4.0f, 400.0f));
    EXPECT_EQ(tile.name, "water");
    ASSERT_EQ(tile.textures.size(), 5u);
    EXPECT_NE(tile.textures[2], 0u);
    EXPECT_NE(tile.textures[3], 0u);
    EXPECT_EQ(tile.programId, WaterShader::getInstance()->programId);

    // The drawn quad lies flat at the water line and covers the map with room to spare.
    const auto corners = tile.worldCorners();
    ASSERT_EQ(corners.size(), 8u);
    for (const glm::vec3& corner : corners) {
        EXPECT_NEAR(corner.y, 4.0f, 1e-3f);
        EXPECT_NEAR(std::fabs(corner.x - 400.0f), 800.0f, 1e-2f);
        EXPECT_NEAR(std::fabs(corner.z - 400.0f), 800.0f, 1e-2f);
    }

    testsupport::PhysicsWorld world;
    world.add(tile.rigidBody);
    const btVector3 from(250.0, 50.0, 650.0), to(250.0, -50.0, 650.0);
    btCollisionWorld::ClosestRayResultCallback ray(from, to);
    world->rayTest(from, to, ray);
    ASSERT_TRUE(ray.hasHit());
    EXPECT_NEAR(ray.m_hitPointWorld.y(), 4.0, 0.05);
    EXPECT_EQ(static_cast<const SceneObject*>(ray.m_collisionObject->getUserPointer()), &tile);

    // A ball dropped from above the lake falls through the surface, with or without contacts.
    btSphereShape ballShape(0.5);
    btTransform start;
    start.setIdentity();
    start.setOrigin(btVector3(300.0, 8.0, 300.0));
    btDefaultMotionState ballMotion(start);
    btVector3 inertia(0, 0, 0);
    ballShape.calculateLocalInertia(1.0, inertia);
    btRigidBody ball(btRigidBody::btRigidBodyConstructionInfo(1.0, &ballMotion, &ballShape, inertia));
    world.add(&ball);
    for (int step = 0; step < 180; ++step) world->stepSimulation(1.0 / 60.0, 10, 1.0 / 60.0);
    EXPECT_LT(ball.getWorldTransform().getOrigin().y(), 0.0);
    world.remove(&ball);
}

TEST_F(WaterTest, TileFreesItsMapsAndTheWavePhaseWrapsBelowOne) {
    GLuint maps[2] = {0, 0};
    {
        WaterTile other(glm::vec3(0.0f));
        maps[0] = other.textures[2];
        maps[1] = other.textures[3];
        EXPECT_TRUE(glIsTexture(maps[0]));
    }
    EXPECT_FALSE(glIsTexture(maps[0])) << "the tile frees its wave maps";
    EXPECT_FALSE(glIsTexture(maps[1]));

    WaterTile tile(glm::vec3(400.0f, 4.0f, 400.0f));
    tile.advance(1.0f);
    EXPECT_NEAR(tile.moveFactor, 0.02f, 1e-6f);
    tile.advance(0.0f);
    EXPECT_NEAR(tile.moveFactor, 0.02f, 1e-6f);

    tile.moveFactor = 0.995f;
    tile.advance(0.5f);  // 1.005 wraps to 0.005
    EXPECT_NEAR(tile.moveFactor, 0.005f, 1e-5f);

    // A sum just short of 1 in double precision rounds to 1 as a float; the phase must still wrap.
    tile.moveFactor = std::nextafter(1.0f, 0.0f);
    tile.advance(2e-6f);  // 0.99999994 + 0.00000004
    EXPECT_LT(tile.moveFactor, 1.0f);
    EXPECT_GE(tile.moveFactor, 0.0f);

    for (int frame = 0; frame < 10000; ++frame) {
        tile.advance(0.37f);
        ASSERT_LT(tile.moveFactor, 1.0f);
        ASSERT_GE(tile.moveFactor, 0.0f);
    }
}
