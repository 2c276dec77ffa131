#include "render/HalvedImage.h"

#include <cstddef>

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

std::string halvedFileName(const std::string& fileName) {
    const std::string extension = ".png";
    const bool png = fileName.size() > extension.size() &&
                     fileName.compare(fileName.size() - extension.size(), extension.size(), extension) == 0;
    return (png ? fileName.substr(0, fileName.size() - extension.size()) : fileName) + ".half" + extension;
}
