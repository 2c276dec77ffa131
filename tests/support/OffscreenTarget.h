#pragma once

#include <GL/glew.h>

#include <array>

namespace testsupport {

using Pixel = std::array<unsigned char, 4>;

// A square off-screen colour and depth target for pixel checks. While it lives it is the bound
// framebuffer with a matching viewport; its destructor binds the default framebuffer again and
// restores the viewport it found.
class OffscreenTarget {
public:
    explicit OffscreenTarget(int size);
    ~OffscreenTarget();
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    // Clears colour to opaque black and depth to far.
    void clear();
    Pixel at(int x, int y) const;
    Pixel centre() const { return at(size / 2, size / 2); }

    const int size;

private:
    GLint viewport[4]{};
    GLuint framebuffer = 0;
    GLuint renderbuffers[2]{};
};

}  // namespace testsupport
