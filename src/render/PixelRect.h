#pragma once

// A rectangle of framebuffer pixels, counted from the bottom left as OpenGL counts them.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool empty() const { return width <= 0 || height <= 0; }
};
