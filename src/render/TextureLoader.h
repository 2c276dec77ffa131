#pragma once

#include <GL/glew.h>

#include <string>
#include <vector>

// Loading PNG images from the data folder's "res/textures" folder (resourceRoot()) into GL textures. Each call
// makes a new texture; nothing is cached. All but decodePng need the current context and leave the
// active texture unit unchanged.

// Decodes the PNG at `path` to 8-bit RGBA, rows top first. On failure (a file that cannot be read, or
// is no PNG the decoder can read) the result is empty, the size 0 × 0 and the reason goes to `error`,
// or, without one, to standard error with the path. `error` is emptied on success.
std::vector<unsigned char> decodePng(const std::string& path, unsigned* width = nullptr, unsigned* height = nullptr,
                                     std::string* error = nullptr);

// The loaders below need their images: one that cannot be read or decoded stops the game with its path
// and the reason (refuseResource), before any GL object is made.

// A mipmapped, repeating 2D texture of `fileName`, expected to be `width` × `height`. An image of
// another size is uploaded with its decoded size (and reported on standard error). Leaves
// GL_TEXTURE_2D unbound.
GLuint loadTexture(const std::string& fileName, int width, int height);

// A cube map from six faces (+X, −X, +Y, −Y, +Z, −Z), each expected to be `width` × `height`, linear
// and clamped to the edge; faces of another size are handled as in loadTexture. With `halvings`
// above 0 each face is halved that often before the upload (the first halving read from a face's
// half-size copy when it has a good one, as in loadTextureArray). Leaves the cube map bound to
// GL_TEXTURE_CUBE_MAP.
GLuint loadCubeMap(const std::vector<std::string>& faceFiles, int width, int height, int halvings = 0);

// A mipmapped, repeating four-layer 2D texture array of 2048 × 2048 layers; file i fills layer i.
// An image of another size stops the game like one that cannot be read; files beyond the fourth are
// left out, with a message.
// With `halvings` above 0 the images are halved that often before the upload (layers of 1024 × 1024
// for one), which leaves out the largest mipmap levels; the first halving is read from the
// generator's half-size copy beside a file (halvedFileName) when it has a good one. Prints pending GL errors before and
// after to standard error. Leaves the array bound to GL_TEXTURE_2D_ARRAY.
GLuint loadTextureArray(const std::vector<std::string>& fileNames, int halvings = 0);
