#include "TextureSheet.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include <lodepng.h>

#include "render/TextureLoader.h"

namespace fs = std::filesystem;

void writeTextureSheet(const std::string& outPath) {
    const int tile = 192, gap = 8, perRow = 6;
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator("res/textures"))
        if (entry.path().extension() == ".png") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    if (files.empty()) throw std::runtime_error("no textures below res/textures");
    int rows = static_cast<int>((files.size() + perRow - 1) / perRow);
    unsigned w = perRow * (tile + gap) + gap, h = rows * (tile + gap) + gap;
    std::vector<unsigned char> sheet(static_cast<size_t>(w) * h * 4, 40);
    for (size_t i = 3; i < sheet.size(); i += 4) sheet[i] = 255;
    for (size_t f = 0; f < files.size(); ++f) {
        unsigned iw = 0, ih = 0;
        std::vector<unsigned char> img = decodePng(fs::absolute(files[f]).string(), &iw, &ih);
        if (img.empty()) continue;
        int ox = gap + static_cast<int>(f % perRow) * (tile + gap),
            oy = gap + static_cast<int>(f / perRow) * (tile + gap);
        for (int y = 0; y < tile; ++y)
            for (int x = 0; x < tile; ++x) {
                // Average the block of source pixels under this tile pixel.
                unsigned x0 = x * iw / tile, x1 = std::max(x0 + 1, (x + 1) * iw / tile);
                unsigned y0 = y * ih / tile, y1 = std::max(y0 + 1, (y + 1) * ih / tile);
                float acc[4] = {0, 0, 0, 0};
                for (unsigned sy = y0; sy < y1; ++sy)
                    for (unsigned sx = x0; sx < x1; ++sx)
                        for (int c = 0; c < 4; ++c) acc[c] += img[(static_cast<size_t>(sy) * iw + sx) * 4 + c];
                float n = static_cast<float>((x1 - x0) * (y1 - y0));
                float a = acc[3] / n / 255.0f;
                float checker = ((x / 12 + y / 12) % 2) ? 200.0f : 140.0f;
                unsigned char* out = &sheet[(static_cast<size_t>(oy + y) * w + ox + x) * 4];
                for (int c = 0; c < 3; ++c) out[c] = static_cast<unsigned char>(acc[c] / n * a + checker * (1 - a));
                out[3] = 255;
            }
    }
    unsigned error = lodepng::encode(outPath, sheet, w, h);
    if (error) throw std::runtime_error("cannot write " + outPath);
}
