#include "render/ShadowFrameBuffer.h"

#include "render/FramebufferStatus.h"
#include "render/GlContextState.h"

ShadowFrameBuffer::ShadowFrameBuffer(int width, int height, int windowWidth, int windowHeight)
    : width(width), height(height), windowWidth(windowWidth), windowHeight(windowHeight) {
    glGenFramebuffers(1, &frameBufferId);
    glBindFramebuffer(GL_FRAMEBUFFER, frameBufferId);
    glDrawBuffer(GL_NONE);  // depth only
    glReadBuffer(GL_NONE);

    glGenTextures(1, &depthTexture);
    glBindTexture(GL_TEXTURE_2D, depthTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, width, height, 0, GL_DEPTH_COMPONENT, GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // Sampled through a shadow sampler: each fetch compares and the linear filter blends the results.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    glBindTexture(GL_TEXTURE_2D, 0);

    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, depthTexture, 0);
    requireCompleteFramebuffer("shadow map");
    unbindFrameBuffer();
}

ShadowFrameBuffer::~ShadowFrameBuffer() {
    if (!hasCurrentGlContext()) return;
    glDeleteFramebuffers(1, &frameBufferId);
    glDeleteTextures(1, &depthTexture);
}

void ShadowFrameBuffer::bindFrameBuffer() const {
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, frameBufferId);
    glViewport(0, 0, width, height);
}

void ShadowFrameBuffer::unbindFrameBuffer() const {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, windowWidth, windowHeight);
}
