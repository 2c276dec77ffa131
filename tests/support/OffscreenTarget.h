#pragma once

#include <GL/glew.h>

#include <array>
#include <vector>

namespace testsupport {

using Pixel = std::array<unsigned char, 4>;

// A square colour and depth target, bound with its viewport while it lives.
class OffscreenTarget {
public:
    explicit OffscreenTarget(int size);
    ~OffscreenTarget();
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    void clear(const Pixel& colour = {0, 0, 0, 255}, float depth = 1.0f);
    Pixel at(int x, int y) const;
    Pixel centre() const { return at(size / 2, size / 2); }
    std::vector<Pixel> pixels() const;  // bottom row first

    const int size;

private:
    GLint viewport[4]{};
    GLuint framebuffer = 0;
    GLuint renderbuffers[2]{};
};

}  // namespace testsupport
