#include "OffscreenTarget.h"

#include <stdexcept>

OffscreenTarget::OffscreenTarget(int width, int height) : w(width), h(height) {
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenTextures(1, &colour);
    glBindTexture(GL_TEXTURE_2D, colour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2 * w, 2 * h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, 2 * w, 2 * h);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        throw std::runtime_error("preview framebuffer incomplete");
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

OffscreenTarget::~OffscreenTarget() {
    glDeleteRenderbuffers(1, &depth);
    glDeleteTextures(1, &colour);
    glDeleteFramebuffers(1, &framebuffer);
}

void OffscreenTarget::begin(float r, float g, float b) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, 2 * w, 2 * h);
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::vector<unsigned char> OffscreenTarget::finish() {
    std::vector<unsigned char> big(static_cast<size_t>(4) * w * h * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 2 * w, 2 * h, GL_RGBA, GL_UNSIGNED_BYTE, big.data());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    std::vector<unsigned char> out(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 4; ++c) {
                // GL rows run bottom to top; the picture's first row is the top.
                int sy = 2 * (h - 1 - y);
                int sum = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        sum += big[(static_cast<size_t>(sy + dy) * 2 * w + 2 * x + dx) * 4 + c];
                out[(static_cast<size_t>(y) * w + x) * 4 + c] = static_cast<unsigned char>((sum + 2) / 4);
            }
    return out;
}
