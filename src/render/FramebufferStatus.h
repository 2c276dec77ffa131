#pragma once

#include <GL/glew.h>

#include <string>

// Why the framebuffer bound to GL_FRAMEBUFFER cannot be drawn into, as the status's GL name
// ("GL_FRAMEBUFFER_UNSUPPORTED", ...), or "" when it is complete. Needs the current context.
std::string framebufferProblem();

// Stops the game (refuseResource) naming `target` and the problem when the framebuffer bound to
// GL_FRAMEBUFFER is not complete.
void requireCompleteFramebuffer(const std::string& target);
