#include "render/KeptPicture.h"

#include <algorithm>

KeptPicture::~KeptPicture() { forget(); }

void KeptPicture::keep(int width, int height) {
    if (width <= 0 || height <= 0) {
        forget();
        return;
    }
    if (!framebuffer || width != keptWidth || height != keptHeight) {
        forget();
        GLint windowSamples = 0, bound = 0, renderbuffer = 0;
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glGetIntegerv(GL_SAMPLE_BUFFERS, &windowSamples);
        if (windowSamples > 0) {
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(bound));
            return;
        }
        glGetIntegerv(GL_RENDERBUFFER_BINDING, &renderbuffer);
        glGenRenderbuffers(1, &pixels);
        glBindRenderbuffer(GL_RENDERBUFFER, pixels);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(renderbuffer));
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, pixels);
        const bool complete = glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(bound));
        if (!complete) {
            forget();
            return;
        }
        keptWidth = width;
        keptHeight = height;
    }
    blit(0, framebuffer, whole());
}

void KeptPicture::keep(int width, int height, const PixelRect& part) {
    if (framebuffer && width == keptWidth && height == keptHeight) blit(0, framebuffer, part);
}

bool KeptPicture::restore(int width, int height) { return restore(width, height, whole()); }

bool KeptPicture::restore(int width, int height, const PixelRect& part) {
    if (!framebuffer || width != keptWidth || height != keptHeight) return false;
    blit(framebuffer, 0, part);
    return true;
}

void KeptPicture::forget() {
    if (framebuffer) glDeleteFramebuffers(1, &framebuffer);
    if (pixels) glDeleteRenderbuffers(1, &pixels);
    framebuffer = pixels = 0;
    keptWidth = keptHeight = 0;
}

void KeptPicture::blit(GLuint from, GLuint to, const PixelRect& part) const {
    const int x0 = std::clamp(part.x, 0, keptWidth), y0 = std::clamp(part.y, 0, keptHeight);
    const int x1 = std::clamp(part.x + std::max(part.width, 0), x0, keptWidth);
    const int y1 = std::clamp(part.y + std::max(part.height, 0), y0, keptHeight);
    if (x1 == x0 || y1 == y0) return;
    GLint read = 0, draw = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
    glBlitFramebuffer(x0, y0, x1, y1, x0, y0, x1, y1, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read));
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(draw));
    if (scissor) glEnable(GL_SCISSOR_TEST);
}
