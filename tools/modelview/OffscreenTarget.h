#pragma once

#include <GL/glew.h>

#include <string>
#include <vector>

// A framebuffer with a colour texture and a depth buffer to draw previews into. Pictures are drawn
// at twice the requested size and averaged down, which smooths the edges without multisampling.
class OffscreenTarget {
public:
    OffscreenTarget(int width, int height);
    ~OffscreenTarget();
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    // Binds the framebuffer and sets the viewport to it; clears to `clear`. Changes GL state (bound
    // framebuffer, viewport, clear colour).
    void begin(float r, float g, float b);
    // Reads the picture back, top row first, RGBA, at the requested size. Binds framebuffer 0.
    std::vector<unsigned char> finish();

    int width() const { return w; }
    int height() const { return h; }

private:
    int w, h;
    GLuint framebuffer = 0, colour = 0, depth = 0;
};
