#pragma once

#include <GL/glew.h>

// The sun's depth target: a framebuffer with one depth texture set up for hardware comparison, so
// the terrain samples it through a shadow sampler.
class ShadowFrameBuffer {
public:
    // Creates the framebuffer and its width x height depth texture, then binds the default
    // framebuffer with the window-sized viewport. Leaves no texture bound on the active unit. A target
    // the driver cannot draw into stops the game (refuseResource).
    ShadowFrameBuffer(int width, int height, int windowWidth, int windowHeight);
    // Frees the framebuffer and the texture while a context is current.
    ~ShadowFrameBuffer();
    ShadowFrameBuffer(const ShadowFrameBuffer&) = delete;
    ShadowFrameBuffer& operator=(const ShadowFrameBuffer&) = delete;

    // Binds the framebuffer for drawing, with a viewport covering the whole depth map.
    void bindFrameBuffer() const;
    // Binds the default framebuffer with the window-sized viewport.
    void unbindFrameBuffer() const;

    int width;
    int height;
    GLuint frameBufferId = 0;
    GLuint depthTexture = 0;
    int windowWidth;
    int windowHeight;
};
