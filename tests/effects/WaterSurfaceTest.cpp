#include "effects/WaterShader.h"
#include "effects/WaterTile.h"
#include "render/Camera.h"
#include "render/Renderer.h"
#include "render/TexturedMesh.h"
#include "support/GlContext.h"
#include "support/GlProbes.h"
#include "support/OffscreenTarget.h"

#include <gtest/gtest.h>

#include <memory>

// The water program seen through renderWater: a red reflection image, a blue refraction image and a
// chosen refraction depth, so each pixel tells which image the shader picked and how opaque it is.

namespace {

using testsupport::Pixel;
using testsupport::solidTexture;

// A one-texel depth image standing for the refraction pass's depth at every pixel.
GLuint depthTexture(float depth) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT32, 1, 1, 0, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

class WaterSurfaceTest : public testsupport::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        camera = std::make_shared<Camera>(1.0f);
        renderer = std::make_shared<Renderer>(camera);
        renderer->skyColor = glm::vec3(0.0f, 1.0f, 0.0f);  // green fog shows up in any pixel it reaches
        tile = std::make_unique<WaterTile>(glm::vec3(400.0f, 4.0f, 400.0f));
        reflection = solidTexture({255, 0, 0, 255});
        refraction = solidTexture({0, 0, 255, 255});
        deep = depthTexture(1.0f);     // nothing in front of the far plane: deep water
        onShore = depthTexture(0.0f);  // the bed at the near plane: no water in front of it
    }
    void TearDown() override {
        const GLuint textures[] = {reflection, refraction, deep, onShore};
        glDeleteTextures(4, textures);
        tile.reset();
        renderer.reset();
    }

    // The centre pixel of the tile drawn from `position` with `pitch` (radians, negative looks down).
    Pixel look(const glm::vec3& position, float pitch, GLuint depth) {
        camera->setTransform(position, glm::vec3(pitch, 0.0f, 0.0f), glm::vec3(1.0f));
        testsupport::OffscreenTarget target(32);
        target.clear();
        glDisable(GL_CULL_FACE);
        const auto& mesh = *tile->meshes.front();
        renderer->prepareTerrain(mesh, *WaterShader::getInstance());
        renderer->renderWater(mesh, reflection, refraction, tile->textures[2], tile->textures[3], depth, 0.3f);
        glEnable(GL_CULL_FACE);
        glBindVertexArray(0);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return target.centre();
    }

    std::shared_ptr<Camera> camera;
    std::shared_ptr<Renderer> renderer;
    std::unique_ptr<WaterTile> tile;
    GLuint reflection = 0, refraction = 0, deep = 0, onShore = 0;
};

}  // namespace

TEST_F(WaterSurfaceTest, LookingDownShowsTheDepthsAndAGrazingLookTheMirror) {
    const Pixel down = look(glm::vec3(400.0f, 14.0f, 400.0f), -1.5707964f, deep);
    EXPECT_LT(down[0], 40) << "almost no reflection straight down";
    EXPECT_GT(down[2], 100) << "the refraction (tinted by the depth)";
    EXPECT_LT(down[1], 140) << "no fog 10 units away";

    const Pixel grazing = look(glm::vec3(400.0f, 4.5f, 400.0f), -0.05f, deep);
    EXPECT_GT(grazing[0], 120) << "mostly mirror at a grazing angle";
    EXPECT_GT(grazing[0], grazing[2]);
}

TEST_F(WaterSurfaceTest, WaterFadesOutWhereTheBedMeetsTheSurface) {
    const Pixel shore = look(glm::vec3(400.0f, 14.0f, 400.0f), -1.5707964f, onShore);
    EXPECT_EQ(shore, (Pixel{0, 0, 0, 255})) << "transparent where there is no depth of water";
}

TEST_F(WaterSurfaceTest, DistantWaterFadesIntoTheSky) {
    // About 450 units away (the centre pixel looks a little above the view axis) the water is mostly
    // fog, like the land around it.
    const Pixel far = look(glm::vec3(400.0f, 24.0f, 400.0f), -0.06f, deep);
    EXPECT_GT(far[1], 150);
    EXPECT_GT(far[1], far[0]);
    EXPECT_GT(far[1], far[2]);
}
