#include "render/TextureLoader.h"

#include "render/GlErrors.h"
#include "render/HalvedImage.h"
#include "render/ResourceFailure.h"
#include "render/ResourcePath.h"
#include "render/WholeFile.h"

#include <lodepng.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <iostream>

namespace {

constexpr int arrayLayerSize = 2048;
constexpr int arrayLayerCount = 4;
// Far above any image of the game (a 2048 × 2048 RGBA image is at most 16 MiB before compression).
constexpr size_t kMaxPngBytes = 64u << 20;

std::string texturePath(const std::string& directory, const std::string& fileName) {
    return directory + "/res/textures/" + fileName;
}

// The decoded image, or the end of the program naming the file and why (the game cannot run without
// its textures).
std::vector<unsigned char> requireImage(const std::string& path, unsigned& width, unsigned& height) {
    std::string error;
    std::vector<unsigned char> pixels = decodePng(path, &width, &height, &error);
    if (!error.empty()) refuseResource("Cannot load texture " + path + ": " + error);
    return pixels;
}

// A decoded image ready for upload.
struct Image {
    std::vector<unsigned char> pixels;
    int width = 0;
    int height = 0;
};

// `image` halved `times` times while it is square and at least two pixels wide.
void halveSquare(Image& image, int times) {
    for (; times > 0 && image.width == image.height && image.width >= 2; --times) {
        image.pixels = halveImage(image.pixels, image.width);
        image.width /= 2;
        image.height /= 2;
    }
}

// The square image at `path` (`size` pixels a side) halved `halvings` (at least 1) times, starting from
// the generator's half-size copy beside it; none when there is no good copy. A copy that cannot be
// decoded or has another size is reported and left out.
std::optional<Image> fromHalvedCopy(const std::string& path, int size, int halvings) {
    const std::string copyPath = halvedFileName(path);
    std::error_code missing;
    if (!std::filesystem::exists(copyPath, missing)) return std::nullopt;
    unsigned width = 0, height = 0;
    std::string error;
    Image copy{decodePng(copyPath, &width, &height, &error), static_cast<int>(width), static_cast<int>(height)};
    if (error.empty() && copy.width == size / 2 && copy.height == size / 2) {
        halveSquare(copy, halvings - 1);
        return copy;
    }
    std::cerr << "Leaving out " << copyPath << " ("
              << (error.empty() ? std::to_string(width) + "x" + std::to_string(height) + ", expected " +
                                      std::to_string(size / 2) + "x" + std::to_string(size / 2)
                                : error)
              << "); halving " << path << " instead" << std::endl;
    return std::nullopt;
}

// The image at `path`, expected to be `width` × `height`. One of another size keeps its decoded size
// (and is reported), so no more bytes are uploaded than were decoded. With `halvings` above 0 a square image
// is halved that often.
Image prepareImage(const std::string& path, int width, int height, int halvings = 0) {
    if (halvings > 0 && width == height) {
        if (std::optional<Image> image = fromHalvedCopy(path, width, halvings)) return std::move(*image);
    }
    unsigned decodedWidth = 0;
    unsigned decodedHeight = 0;
    Image image{requireImage(path, decodedWidth, decodedHeight), static_cast<int>(decodedWidth),
                static_cast<int>(decodedHeight)};
    if (image.width != width || image.height != height) {
        std::cerr << "Texture " << path << " is " << decodedWidth << "x" << decodedHeight << ", expected " << width
                  << "x" << height << "; using the decoded size" << std::endl;
    }
    halveSquare(image, halvings);
    return image;
}

void upload(GLenum target, const Image& image) {
    glTexImage2D(target, 0, GL_RGBA, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, image.pixels.data());
}

}  // namespace

std::vector<unsigned char> decodePng(const std::string& path, unsigned* width, unsigned* height, std::string* error) {
    std::vector<unsigned char> image;
    unsigned w = 0;
    unsigned h = 0;
    std::string reason;
    const WholeFile file = WholeFile::read(path, kMaxPngBytes);
    if (!file.ok()) {
        reason = file.reason;
    } else if (const unsigned code = lodepng::decode(
                   image, w, h, reinterpret_cast<const unsigned char*>(file.content.data()), file.content.size())) {
        reason = "not a PNG image the decoder can read (decoder error " + std::to_string(code) + ": " +
                 lodepng_error_text(code) + ")";
    }
    if (!reason.empty()) {
        image.clear();
        w = h = 0;
        if (!error) std::cerr << "Cannot decode " << path << ": " << reason << std::endl;
    }
    if (error) *error = reason;
    if (width) *width = w;
    if (height) *height = h;
    return image;
}

GLuint loadTexture(const std::string& fileName, int width, int height) {
    // Decoded before any GL object is made, so a bad file leaves nothing half-built.
    const Image image = prepareImage(texturePath(resourceRoot(), fileName), width, height);
    GLuint textureId = 0;
    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_2D, textureId);
    upload(GL_TEXTURE_2D, image);
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
    const std::string directory = resourceRoot();
    std::vector<Image> faces;
    for (size_t i = 0; i < std::min<size_t>(faceFiles.size(), 6); ++i)
        faces.push_back(prepareImage(texturePath(directory, faceFiles[i]), width, height, halvings));
    GLuint textureId = 0;
    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_CUBE_MAP, textureId);
    for (size_t i = 0; i < faces.size(); ++i) upload(GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(i), faces[i]);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    return textureId;
}

GLuint loadTextureArray(const std::vector<std::string>& fileNames, int halvings) {
    if (fileNames.size() > static_cast<size_t>(arrayLayerCount)) {
        std::cerr << "Texture array takes " << arrayLayerCount << " layers; ignoring the last "
                  << fileNames.size() - arrayLayerCount << " of " << fileNames.size() << " files" << std::endl;
    }
    halvings = std::clamp(halvings, 0, 10);
    const int layerSize = arrayLayerSize >> halvings;
    const std::string directory = resourceRoot();
    const size_t layerCount = std::min<size_t>(fileNames.size(), arrayLayerCount);
    // Every image is decoded (and checked) before any GL object is made. Decoding a 2048 x 2048 PNG takes
    // about half a second on the software renderer's machines, and the terrain names each file twice,
    // so a file named again shares the first one's pixels.
    std::vector<std::vector<unsigned char>> layers(layerCount);
    std::vector<size_t> source(layerCount);
    for (size_t layer = 0; layer < layerCount; ++layer) {
        source[layer] =
            static_cast<size_t>(std::find(fileNames.begin(), fileNames.end(), fileNames[layer]) - fileNames.begin());
        if (source[layer] != layer) continue;
        const std::string path = texturePath(directory, fileNames[layer]);
        std::optional<Image> image;
        if (halvings > 0) image = fromHalvedCopy(path, arrayLayerSize, halvings);
        if (!image) {
            unsigned width = 0;
            unsigned height = 0;
            image = Image{requireImage(path, width, height), arrayLayerSize, arrayLayerSize};
            if (width != arrayLayerSize || height != arrayLayerSize) {
                refuseResource("Cannot load texture " + path + ": it is " + std::to_string(width) + "x" +
                               std::to_string(height) + "; every layer of the landscape's textures is " +
                               std::to_string(arrayLayerSize) + "x" + std::to_string(arrayLayerSize));
            }
            halveSquare(*image, halvings);
        }
        layers[layer] = std::move(image->pixels);
    }

    drainGlErrors("OpenGL error before loading 3D texture: ");
    GLuint textureId = 0;
    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_2D_ARRAY, textureId);
    glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA, layerSize, layerSize, arrayLayerCount, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
    for (size_t layer = 0; layer < layerCount; ++layer) {
        glTexSubImage3D(GL_TEXTURE_2D_ARRAY, 0, 0, 0, static_cast<GLint>(layer), layerSize, layerSize, 1, GL_RGBA,
                        GL_UNSIGNED_BYTE, layers[source[layer]].data());
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
