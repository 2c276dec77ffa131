#pragma once

#include "render/PixelRect.h"

#include <GL/glew.h>

// A copy of the window's back buffer, put back instead of drawing a frozen world again: under a menu
// that changes over a paused world only the menu needs drawing. Needs the current context; both
// operations restore the framebuffer bindings and the scissor test they change.
class KeptPicture {
public:
    KeptPicture() = default;
    ~KeptPicture();
    KeptPicture(const KeptPicture&) = delete;
    KeptPicture& operator=(const KeptPicture&) = delete;

    // Copies the window's back buffer (`width` × `height` pixels). A multisampled window keeps nothing.
    void keep(int width, int height);
    // Copies only `part` of the back buffer over what is kept; nothing when none is kept at this size.
    void keep(int width, int height, const PixelRect& part);
    // Draws the kept copy into the window's back buffer; false, drawing nothing, when none is kept or
    // it was kept at another size.
    bool restore(int width, int height);
    // The same for `part` of the picture only.
    bool restore(int width, int height, const PixelRect& part);
    // Nothing is kept (and its memory is given back).
    void forget();
    bool kept() const { return framebuffer != 0; }

private:
    // Blits between the window and the copy, the bindings and the scissor test put back after.
    void blit(GLuint from, GLuint to, const PixelRect& part) const;
    PixelRect whole() const { return {0, 0, keptWidth, keptHeight}; }

    GLuint framebuffer = 0;
    GLuint pixels = 0;
    int keptWidth = 0;
    int keptHeight = 0;
};
