#include "render/GlErrors.h"

#include <GL/glew.h>

#include <iostream>

void drainGlErrors(const char* prefix) {
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
        std::cerr << prefix << error << std::endl;
    }
}

void discardGlErrors() {
    while (glGetError() != GL_NO_ERROR) {}
}
