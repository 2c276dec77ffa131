#pragma once

// Drains the GL error queue: every pending code on its own line to standard error, in decimal after
// `prefix` (printed as given). Needs a current context.
void drainGlErrors(const char* prefix);
// Drains the GL error queue without a word, for errors that are expected (GLEW probing extensions).
void discardGlErrors();
