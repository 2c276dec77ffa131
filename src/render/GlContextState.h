#pragma once

// True when the calling thread has a current OpenGL context. GL objects held by long-lived owners
// (programs or meshes a tool keeps past its window) may be released after the context is
// gone; their destructors ask this first and skip the GL calls then.
bool hasCurrentGlContext();
