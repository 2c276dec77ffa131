#pragma once

#include <GL/glew.h>

#include <string>

// Reads a whole shader source, line by line, appending "\n" after every line (so the result ends with
// a newline even when the file does not; an empty file gives ""). A file that cannot be read (missing,
// not a regular file, unreadable) stops the program with its path and the reason (refuseResource).
std::string readFile(const std::string& path);

// Creates a shader object of `type`, compiles the file at `path` into it and prints the compile log
// (an empty line when there is none) to standard output. A source that does not compile stops the
// program with its path and the compile log (refuseResource).
// `defines` (whole lines such as "#define SHADOW_RADIUS 1\n") go in right after the #version line.
GLuint compileShader(const std::string& path, GLenum type, const std::string& defines = "");

// `source` with `defines` inserted after its first line when that is a #version line, else before it.
std::string withDefines(const std::string& source, const std::string& defines);

// Links the program; one that does not link stops the program with `sources` (the stage files) and the
// link log (refuseResource).
void linkProgram(GLuint programId, const std::string& sources);
