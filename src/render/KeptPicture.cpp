#include "render/KeptPicture.h"

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
    blit(0, framebuffer);
}

bool KeptPicture::restore(int width, int height) {
    if (!framebuffer || width != keptWidth || height != keptHeight) return false;
    blit(framebuffer, 0);
    return true;
}

void KeptPicture::forget() {
    if (framebuffer) glDeleteFramebuffers(1, &framebuffer);
    if (pixels) glDeleteRenderbuffers(1, &pixels);
    framebuffer = pixels = 0;
    keptWidth = keptHeight = 0;
}

void KeptPicture::blit(GLuint from, GLuint to) const {
    GLint read = 0, draw = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
    glBlitFramebuffer(0, 0, keptWidth, keptHeight, 0, 0, keptWidth, keptHeight, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read));
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(draw));
    if (scissor) glEnable(GL_SCISSOR_TEST);
}
