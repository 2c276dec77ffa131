#pragma once

#include <GL/glew.h>

// The two off-screen targets the water surface samples: the scene mirrored at the water line
// (reflection, a small colour image with a depth renderbuffer) and the scene below it (refraction,
// colour plus a depth texture that tells the water shader how deep the water is at each pixel).
// Construction and the bind operations leave framebuffer 0 and the window viewport bound, except
// the bind operations, which leave their own target and viewport bound.
class WaterFrameBuffers {
public:
    static constexpr int kReflectionWidth = 640;
    static constexpr int kReflectionHeight = 360;
    static constexpr int kRefractionWidth = 1280;
    static constexpr int kRefractionHeight = 720;

    // Needs the current context; the window size is kept to restore the viewport. The images have
    // the fixed sizes above. A target the driver cannot draw into stops the game, naming it
    // (refuseResource).
    WaterFrameBuffers(int windowWidth, int windowHeight);
    // The same with images of the given sizes (each side at least 1).
    WaterFrameBuffers(int windowWidth, int windowHeight, int reflectionWidth, int reflectionHeight, int refractionWidth,
                      int refractionHeight);
    // Frees both targets while a context is current.
    ~WaterFrameBuffers();
    WaterFrameBuffers(const WaterFrameBuffers&) = delete;
    WaterFrameBuffers& operator=(const WaterFrameBuffers&) = delete;

    // Binds the target (GL_FRAMEBUFFER) and sets the viewport to its size; unbinds any 2D texture on
    // the active unit first, so the pass cannot sample the image it is drawing into.
    void bindReflectionFrameBuffer() const;
    void bindRefractionFrameBuffer() const;
    // Framebuffer 0 and the window viewport.
    void unbindCurrentFrameBuffer() const;

    GLuint windowWidth;
    GLuint windowHeight;
    int reflectionWidth = kReflectionWidth;
    int reflectionHeight = kReflectionHeight;
    int refractionWidth = kRefractionWidth;
    int refractionHeight = kRefractionHeight;
    GLuint reflectionFrameBuffer = 0;
    GLuint reflectionTexture = 0;
    GLuint reflectionDepthBuffer = 0;
    GLuint refractionFrameBuffer = 0;
    GLuint refractionTexture = 0;
    GLuint refractionDepthTexture = 0;

private:
    void bindFrameBuffer(GLuint frameBuffer, int width, int height) const;
};
