#pragma once

#include "support/OffscreenTarget.h"

#include <functional>
#include <vector>

namespace testsupport {

// What a GL query (GL_PRIMITIVES_GENERATED, GL_SAMPLES_PASSED, ...) counts while `draw` runs.
GLuint countDuring(GLenum target, const std::function<void()>& draw);
// The centre pixel after `draw` ran into a fresh `size` × `size` target cleared to `background`.
Pixel centreAfter(const std::function<void()>& draw, int size = 32, const Pixel& background = {0, 0, 0, 255});
// A nearest-filtered RGBA texture of `size` × `size` texels given top row first, or of one texel.
GLuint imageTexture(int size, const std::vector<Pixel>& texels);
GLuint solidTexture(const Pixel& colour);
// Whether `program` is a program whose last link succeeded (ShaderProgram::linked only says it was built).
bool linkedWell(GLuint program);

}  // namespace testsupport
