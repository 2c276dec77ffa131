#include "Image.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include <lodepng.h>

Image::Image(int width, int height, const glm::vec4& fill)
    : w(width), h(height), pixels(static_cast<size_t>(width) * height, fill) {}

void Image::paint(const std::function<glm::vec4(int, int)>& colourAt) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) at(x, y) = colourAt(x, y);
}

void Image::blend(int x, int y, const glm::vec4& colour, float coverage) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    glm::vec4& dst = at(x, y);
    float a = glm::clamp(colour.a * coverage, 0.0f, 1.0f);
    float outA = a + dst.a * (1.0f - a);
    glm::vec3 rgb =
        outA > 0.0f ? (glm::vec3(colour) * a + glm::vec3(dst) * dst.a * (1.0f - a)) / outA : glm::vec3(colour);
    dst = glm::vec4(rgb, outA);
}

void Image::blit(const Image& source, int x0, int y0) {
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            if (x0 + x >= 0 && y0 + y >= 0 && x0 + x < w && y0 + y < h) at(x0 + x, y0 + y) = source.at(x, y);
}

std::vector<unsigned char> Image::toRgba8() const {
    std::vector<unsigned char> out(pixels.size() * 4);
    for (size_t i = 0; i < pixels.size(); ++i)
        for (int c = 0; c < 4; ++c) {
            float v = glm::clamp(pixels[i][c], 0.0f, 1.0f);
            out[i * 4 + c] = static_cast<unsigned char>(std::lround(v * 255.0f));
        }
    return out;
}

void Image::savePng(const std::string& path) const { savePng(path, toRgba8(), w, h); }

void Image::savePng(const std::string& path, const std::vector<unsigned char>& rgba, int width, int height) {
    std::vector<unsigned char> png;
    lodepng::State state;
    state.info_raw.colortype = LCT_RGBA;
    state.info_raw.bitdepth = 8;
    // Keep the file RGBA/8 whatever the content, so every reader decodes it the same way.
    state.info_png.color.colortype = LCT_RGBA;
    state.info_png.color.bitdepth = 8;
    state.encoder.auto_convert = 0;
    unsigned error = lodepng::encode(png, rgba, static_cast<unsigned>(width), static_cast<unsigned>(height), state);
    if (error) throw std::runtime_error("PNG encoding failed for " + path + ": " + lodepng_error_text(error));
    std::string tmp = path + ".tmp";
    error = lodepng::save_file(png, tmp);
    if (error) throw std::runtime_error("cannot write " + tmp);
    std::filesystem::rename(tmp, path);
}
