#pragma once

// True when the calling thread has a current OpenGL context. GL objects held by long-lived owners
// (process-wide shader instances, meshes kept past the window) may be released after the context is
// gone; their destructors ask this first and skip the GL calls then.
bool hasCurrentGlContext();
