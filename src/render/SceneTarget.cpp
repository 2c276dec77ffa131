#include "render/SceneTarget.h"

#include "render/FramebufferStatus.h"
#include "render/GlContextState.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

GLuint renderbuffer(GLenum format, int samples, int width, int height) {
    GLuint buffer = 0;
    glGenRenderbuffers(1, &buffer);
    glBindRenderbuffer(GL_RENDERBUFFER, buffer);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, width, height);
    return buffer;
}

GLuint framebufferOf(GLuint colour, GLuint depth) {
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    if (depth != 0) glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    return framebuffer;
}

}  // namespace

SceneTarget::~SceneTarget() {
    if (hasCurrentGlContext()) release();
}

int SceneTarget::scaled(int windowSize, float scale) {
    return std::max(1, static_cast<int>(std::lround(static_cast<float>(windowSize) * scale)));
}

void SceneTarget::release() {
    if (drawFramebuffer != 0) glDeleteFramebuffers(1, &drawFramebuffer);
    if (resolveFramebuffer != 0) glDeleteFramebuffers(1, &resolveFramebuffer);
    glDeleteRenderbuffers(2, drawBuffers);
    if (resolveBuffer != 0) glDeleteRenderbuffers(1, &resolveBuffer);
    drawFramebuffer = resolveFramebuffer = resolveBuffer = 0;
    drawBuffers[0] = drawBuffers[1] = 0;
}

void SceneTarget::resize(int width, int height, float scale, int samples, bool smoothScaling) {
    if (width <= 0 || height <= 0) return;
    smooth = smoothScaling;
    windowW = width;
    windowH = height;
    scale = std::clamp(scale, 0.0f, 1.0f);
    sceneWidth = scaled(width, scale);
    sceneHeight = scaled(height, scale);
    sampleCount = std::max(samples, 0);
    GLint maxSamples = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    if (sampleCount > maxSamples) {
        if (samplesReported != sampleCount) {
            std::cerr << "Multisampling: " << sampleCount << " samples asked for, but the driver allows at most "
                      << maxSamples << "; using " << maxSamples << "." << std::endl;
            samplesReported = sampleCount;
        }
        sampleCount = maxSamples;
    }
    std::string problem = build();
    if (!problem.empty() && sampleCount > 0) {
        std::cerr << "The scene target (" << sceneWidth << " x " << sceneHeight << ", " << sampleCount
                  << " samples) cannot be drawn into (" << problem << "); drawing without multisampling." << std::endl;
        sampleCount = 0;
        problem = build();
    }
    if (!problem.empty()) {
        std::cerr << "The scene target (" << sceneWidth << " x " << sceneHeight << ") cannot be drawn into (" << problem
                  << "); drawing the scene straight into the window." << std::endl;
        release();
        sceneWidth = width;
        sceneHeight = height;
    }
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

std::string SceneTarget::build() {
    release();
    if (sceneWidth == windowW && sceneHeight == windowH && sampleCount == 0) return "";
    drawBuffers[0] = renderbuffer(GL_RGBA8, sampleCount, sceneWidth, sceneHeight);
    drawBuffers[1] = renderbuffer(GL_DEPTH_COMPONENT24, sampleCount, sceneWidth, sceneHeight);
    drawFramebuffer = framebufferOf(drawBuffers[0], drawBuffers[1]);
    std::string problem = framebufferProblem();
    // Samples are resolved at the scene's size first; a multisampled blit cannot scale.
    if (problem.empty() && sampleCount > 0 && (sceneWidth != windowW || sceneHeight != windowH)) {
        resolveBuffer = renderbuffer(GL_RGBA8, 0, sceneWidth, sceneHeight);
        resolveFramebuffer = framebufferOf(resolveBuffer, 0);
        problem = framebufferProblem();
    }
    return problem;
}

void SceneTarget::bind() const {
    glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer);
    glViewport(0, 0, sceneWidth, sceneHeight);
}

void SceneTarget::present() const {
    if (drawFramebuffer != 0) {
        GLuint source = drawFramebuffer;
        if (resolveFramebuffer != 0) {
            glBindFramebuffer(GL_READ_FRAMEBUFFER, drawFramebuffer);
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer);
            glBlitFramebuffer(0, 0, sceneWidth, sceneHeight, 0, 0, sceneWidth, sceneHeight, GL_COLOR_BUFFER_BIT,
                              GL_NEAREST);
            source = resolveFramebuffer;
        }
        glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        // Whole multiples may repeat pixels; anything else is filtered so that no row or column of
        // the scene shows wider than its neighbours.
        const bool whole = windowW % sceneWidth == 0 && windowH % sceneHeight == 0;
        const bool sameSize = sceneWidth == windowW && sceneHeight == windowH;
        glBlitFramebuffer(0, 0, sceneWidth, sceneHeight, 0, 0, windowW, windowH, GL_COLOR_BUFFER_BIT,
                          sameSize || (whole && !smooth) ? GL_NEAREST : GL_LINEAR);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, windowW, windowH);
}
