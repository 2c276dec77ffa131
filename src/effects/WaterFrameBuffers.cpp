#include "effects/WaterFrameBuffers.h"

#include "render/FramebufferStatus.h"
#include "render/GlContextState.h"

#include <algorithm>

namespace {

GLuint createFrameBuffer() {
    GLuint frameBuffer = 0;
    glGenFramebuffers(1, &frameBuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    return frameBuffer;
}

// A linear-filtered texture of the given format attached to `attachment` of the bound framebuffer.
GLuint createAttachedTexture(GLenum attachment, GLint internalFormat, GLenum format, GLenum type, int width,
                             int height) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, type, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // The water shader's distorted look-ups reach past the edges; clamping keeps the far side's
    // colours from bleeding in.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glFramebufferTexture(GL_FRAMEBUFFER, attachment, texture, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

}  // namespace

WaterFrameBuffers::WaterFrameBuffers(int width, int height)
    : WaterFrameBuffers(width, height, kReflectionWidth, kReflectionHeight, kRefractionWidth, kRefractionHeight) {}

WaterFrameBuffers::WaterFrameBuffers(int width, int height, int reflectionW, int reflectionH, int refractionW,
                                     int refractionH)
    : windowWidth(static_cast<GLuint>(width)),
      windowHeight(static_cast<GLuint>(height)),
      reflectionWidth(std::max(reflectionW, 1)),
      reflectionHeight(std::max(reflectionH, 1)),
      refractionWidth(std::max(refractionW, 1)),
      refractionHeight(std::max(refractionH, 1)) {
    reflectionFrameBuffer = createFrameBuffer();
    reflectionTexture = createAttachedTexture(GL_COLOR_ATTACHMENT0, GL_RGB, GL_RGB, GL_UNSIGNED_BYTE, reflectionWidth,
                                              reflectionHeight);
    glGenRenderbuffers(1, &reflectionDepthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, reflectionDepthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, reflectionWidth, reflectionHeight);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, reflectionDepthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    requireCompleteFramebuffer("water's reflection target");
    unbindCurrentFrameBuffer();

    refractionFrameBuffer = createFrameBuffer();
    refractionTexture = createAttachedTexture(GL_COLOR_ATTACHMENT0, GL_RGB, GL_RGB, GL_UNSIGNED_BYTE, refractionWidth,
                                              refractionHeight);
    // A depth format every driver must be able to draw into.
    refractionDepthTexture = createAttachedTexture(GL_DEPTH_ATTACHMENT, GL_DEPTH_COMPONENT32F, GL_DEPTH_COMPONENT,
                                                   GL_FLOAT, refractionWidth, refractionHeight);
    requireCompleteFramebuffer("water's refraction target");
    unbindCurrentFrameBuffer();
}

WaterFrameBuffers::~WaterFrameBuffers() {
    if (!hasCurrentGlContext()) return;
    glDeleteFramebuffers(1, &reflectionFrameBuffer);
    glDeleteTextures(1, &reflectionTexture);
    glDeleteRenderbuffers(1, &reflectionDepthBuffer);
    glDeleteFramebuffers(1, &refractionFrameBuffer);
    glDeleteTextures(1, &refractionTexture);
    glDeleteTextures(1, &refractionDepthTexture);
}

void WaterFrameBuffers::bindReflectionFrameBuffer() const {
    bindFrameBuffer(reflectionFrameBuffer, reflectionWidth, reflectionHeight);
}

void WaterFrameBuffers::bindRefractionFrameBuffer() const {
    bindFrameBuffer(refractionFrameBuffer, refractionWidth, refractionHeight);
}

void WaterFrameBuffers::unbindCurrentFrameBuffer() const {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, static_cast<GLsizei>(windowWidth), static_cast<GLsizei>(windowHeight));
}

void WaterFrameBuffers::bindFrameBuffer(GLuint frameBuffer, int width, int height) const {
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
    glViewport(0, 0, width, height);
}
