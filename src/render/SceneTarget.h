#pragma once

#include <GL/glew.h>

#include <string>

// Where the 3D scene is drawn: straight into the window, or into an off-screen colour and depth
// target at a fraction of the window's size (multisampled if asked) that present() scales up into
// the window. The HUD and the crosshair are drawn after present(), at the window's full size.
class SceneTarget {
public:
    SceneTarget() = default;
    // Frees the off-screen target while a context is current.
    ~SceneTarget();
    SceneTarget(const SceneTarget&) = delete;
    SceneTarget& operator=(const SceneTarget&) = delete;

    // The scene size for a window of `windowWidth` × `windowHeight` drawn at `scale`: each side
    // rounded, at least 1.
    static int scaled(int windowSize, float scale);

    // Sizes the target for the window. With scale 1 and no multisampling the scene goes straight into
    // the window and nothing is allocated. Without `smoothScaling` a window that is a whole multiple
    // of the scene gets its pixels repeated rather than filtered. A window of zero size (minimised) keeps the last
    // sizes. More samples than the driver allows are cut to its maximum (said once); a target the
    // driver cannot draw into is said and replaced, first by one without multisampling, then by the
    // window itself. Needs the current context; leaves framebuffer 0 bound and no renderbuffer bound.
    void resize(int windowWidth, int windowHeight, float scale, int samples, bool smoothScaling = true);

    // Binds the scene's framebuffer (GL_FRAMEBUFFER) with a viewport over the whole scene.
    void bind() const;
    // Copies the scene into the window (resolving samples, scaling with linear filtering). Leaves
    // framebuffer 0 bound with the window-sized viewport.
    void present() const;

    bool offscreen() const { return drawFramebuffer != 0; }
    int samples() const { return sampleCount; }
    int width() const { return sceneWidth; }
    int height() const { return sceneHeight; }
    int windowWidth() const { return windowW; }
    int windowHeight() const { return windowH; }

private:
    void release();
    // Makes the off-screen target for the current sizes and samples (none when the scene is the
    // window's size without samples); what keeps it from being drawn into, or "".
    std::string build();

    int windowW = 0;
    int windowH = 0;
    int sceneWidth = 0;
    int sceneHeight = 0;
    int sampleCount = 0;
    int samplesReported = 0;  // the last sample count said to be more than the driver allows
    bool smooth = true;
    GLuint drawFramebuffer = 0;      // what the scene is drawn into
    GLuint drawBuffers[2] = {0, 0};  // its colour and depth renderbuffers
    GLuint resolveFramebuffer = 0;   // single-sample copy of a multisampled scene, for scaling
    GLuint resolveBuffer = 0;
};
