#include "render/TextureLoader.h"

#include "render/GlErrors.h"
#include "render/ResourcePath.h"

#include <lodepng.h>

#include <algorithm>

#include <iostream>

namespace {

constexpr int arrayLayerSize = 2048;
constexpr int arrayLayerCount = 4;

std::string texturePath(const std::string& directory, const std::string& fileName) {
    return directory + "/res/textures/" + fileName;
}

// Uploads a decoded image into `target` (a 2D target or a cube face). The caller's size is only
// trusted for an image that failed to decode (storage without data); otherwise the decoded size is
// used, so no more bytes are read than were decoded.
// With `halvings` above 0 a square image is halved that often before the upload.
void uploadImage(GLenum target, const std::string& path, int width, int height, int halvings = 0) {
    unsigned decodedWidth = 0;
    unsigned decodedHeight = 0;
    std::vector<unsigned char> pixels = decodePng(path, &decodedWidth, &decodedHeight);
    const void* data = nullptr;
    if (!pixels.empty()) {
        if (static_cast<int>(decodedWidth) != width || static_cast<int>(decodedHeight) != height) {
            std::cerr << "Texture " << path << " is " << decodedWidth << "x" << decodedHeight << ", expected " << width
                      << "x" << height << "; using the decoded size" << std::endl;
            width = static_cast<int>(decodedWidth);
            height = static_cast<int>(decodedHeight);
        }
        for (; halvings > 0 && width == height && width >= 2; --halvings) {
            pixels = halveImage(pixels, width);
            width /= 2;
            height /= 2;
        }
        data = pixels.data();
    } else {
        for (; halvings > 0 && width >= 2 && height >= 2; --halvings) width /= 2, height /= 2;
    }
    glTexImage2D(target, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, data);
}

}  // namespace

std::vector<unsigned char> decodePng(const std::string& path, unsigned* width, unsigned* height) {
    std::vector<unsigned char> image;
    unsigned w = 0;
    unsigned h = 0;
    unsigned error = lodepng::decode(image, w, h, path);
    if (error != 0) {
        std::cout << "decoder error " << error << ": " << lodepng_error_text(error) << std::endl;
        w = 0;
        h = 0;
    }
    if (width) *width = w;
    if (height) *height = h;
    return image;
}

GLuint loadTexture(const std::string& fileName, int width, int height) {
    GLuint textureId = 0;
    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_2D, textureId);
    uploadImage(GL_TEXTURE_2D, texturePath(resourceRoot(), fileName), width, height);
    // An upload error must not be blamed on whatever reports GL errors next.
    glGetError();

    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glBindTexture(GL_TEXTURE_2D, 0);
    return textureId;
}

GLuint loadCubeMap(const std::vector<std::string>& faceFiles, int width, int height, int halvings) {
    GLuint textureId = 0;
    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_CUBE_MAP, textureId);
    const std::string directory = resourceRoot();
    const size_t faceCount = std::min<size_t>(faceFiles.size(), 6);
    for (size_t i = 0; i < faceCount; ++i) {
        uploadImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(i), texturePath(directory, faceFiles[i]),
                    width, height, halvings);
    }
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    return textureId;
}

std::vector<unsigned char> halveImage(const std::vector<unsigned char>& pixels, int size) {
    const int half = size / 2;
    std::vector<unsigned char> result(static_cast<size_t>(half) * half * 4);
    if (pixels.size() < static_cast<size_t>(size) * size * 4) return result;
    for (int y = 0; y < half; ++y) {
        const unsigned char* top = &pixels[static_cast<size_t>(2 * y) * size * 4];
        const unsigned char* bottom = top + static_cast<size_t>(size) * 4;
        unsigned char* out = &result[static_cast<size_t>(y) * half * 4];
        for (int x = 0; x < half * 4; ++x) {
            const int c = x % 4, column = (x / 4) * 8 + c;  // channel c of texels 2x and 2x + 1
            out[x] = static_cast<unsigned char>(
                (top[column] + top[column + 4] + bottom[column] + bottom[column + 4] + 2) / 4);
        }
    }
    return result;
}

GLuint loadTextureArray(const std::vector<std::string>& fileNames, int halvings) {
    drainGlErrors("OpenGL error before loading 3D texture: ");

    halvings = std::clamp(halvings, 0, 10);
    const int layerSize = arrayLayerSize >> halvings;
    GLuint textureId = 0;
    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_2D_ARRAY, textureId);
    glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA, layerSize, layerSize, arrayLayerCount, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);

    if (fileNames.size() > static_cast<size_t>(arrayLayerCount)) {
        std::cerr << "Texture array takes " << arrayLayerCount << " layers; ignoring the last "
                  << fileNames.size() - arrayLayerCount << " of " << fileNames.size() << " files" << std::endl;
    }
    const std::string directory = resourceRoot();
    const size_t layerCount = std::min<size_t>(fileNames.size(), arrayLayerCount);
    // Decoding a 2048 x 2048 PNG takes about half a second on the software renderer's machines, and
    // the terrain names each file twice, so an image goes into every layer that names it at once.
    std::vector<bool> filled(layerCount, false);
    for (size_t layer = 0; layer < layerCount; ++layer) {
        if (filled[layer]) continue;
        const std::string path = texturePath(directory, fileNames[layer]);
        unsigned width = 0;
        unsigned height = 0;
        std::vector<unsigned char> pixels = decodePng(path, &width, &height);
        if (pixels.empty()) continue;  // the decoder has already said why
        if (width != arrayLayerSize || height != arrayLayerSize) {
            std::cerr << "Texture " << path << " is " << width << "x" << height << ", expected " << arrayLayerSize
                      << "x" << arrayLayerSize << "; layer " << layer << " left empty" << std::endl;
            continue;
        }
        for (int size = arrayLayerSize; size > layerSize; size /= 2) pixels = halveImage(pixels, size);
        for (size_t same = layer; same < layerCount; ++same) {
            if (fileNames[same] != fileNames[layer]) continue;
            glTexSubImage3D(GL_TEXTURE_2D_ARRAY, 0, 0, 0, static_cast<GLint>(same), layerSize, layerSize, 1, GL_RGBA,
                            GL_UNSIGNED_BYTE, pixels.data());
            filled[same] = true;
        }
    }

    glGenerateMipmap(GL_TEXTURE_2D_ARRAY);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_R, GL_REPEAT);

    drainGlErrors("OpenGL error after loading 3D texture: ");
    return textureId;
}
