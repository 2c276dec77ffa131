#pragma once

// Small GL helpers shared by the pixel and draw-count tests.

#include "support/OffscreenTarget.h"

#include <GL/glew.h>

#include <functional>
#include <vector>

namespace testsupport {

// What a GL query (GL_PRIMITIVES_GENERATED, GL_SAMPLES_PASSED, ...) counts while `draw` runs.
GLuint countDuring(GLenum target, const std::function<void()>& draw);

// A nearest-filtered RGBA texture of `size` × `size` texels, rows given top first. Leaves
// GL_TEXTURE_2D unbound.
GLuint imageTexture(int size, const std::vector<Pixel>& texels);

// One texel of `colour`.
GLuint solidTexture(const Pixel& colour);

}  // namespace testsupport
