#pragma once

#include <functional>
#include <string>
#include <vector>

#include <glm/glm.hpp>

// An RGBA picture in linear floats (0..1), row 0 at the top as in the PNG file. Painting works in
// floats and the result is rounded to 8 bits once, on saving.
class Image {
public:
    Image(int width, int height, const glm::vec4& fill = glm::vec4(0.0f));

    int width() const { return w; }
    int height() const { return h; }
    glm::vec4& at(int x, int y) { return pixels[static_cast<size_t>(y) * w + x]; }
    const glm::vec4& at(int x, int y) const { return pixels[static_cast<size_t>(y) * w + x]; }

    // Sets every pixel from a function of its column and row.
    void paint(const std::function<glm::vec4(int x, int y)>& colourAt);
    // Blends `colour` over the pixel with the given coverage (0..1); alpha composites "over".
    void blend(int x, int y, const glm::vec4& colour, float coverage);
    // Copies `source` into this image with its top-left corner at (x, y).
    void blit(const Image& source, int x, int y);

    std::vector<unsigned char> toRgba8() const;
    // Writes an 8-bit RGBA PNG, through a temporary file so readers never see half a file.
    void savePng(const std::string& path) const;
    // The same for 8-bit RGBA pixels already rounded (`width` × `height`, rows top first).
    static void savePng(const std::string& path, const std::vector<unsigned char>& rgba, int width, int height);

private:
    int w, h;
    std::vector<glm::vec4> pixels;
};
