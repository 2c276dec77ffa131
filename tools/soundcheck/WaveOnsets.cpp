#include "WaveOnsets.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

uint32_t word(const std::vector<char>& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// Mono levels (RMS over all channels) of consecutive windows of `window` seconds, which it rounds
// down to whole samples (and returns so).
std::vector<double> windowLevels(const std::vector<char>& bytes, double& window) {
    int rate = 0;
    int channels = 0, bits = 0;
    std::vector<double> levels;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const uint32_t size = word(bytes, at + 4, 4);
        const size_t body = at + 8;
        if (std::memcmp(&bytes[at], "fmt ", 4) == 0 && body + 16 <= bytes.size()) {
            channels = static_cast<int>(word(bytes, body + 2, 2));
            rate = static_cast<int>(word(bytes, body + 4, 4));
            bits = static_cast<int>(word(bytes, body + 14, 2));
        } else if (std::memcmp(&bytes[at], "data", 4) == 0 && bits == 16 && channels > 0) {
            const size_t frame = 2 * static_cast<size_t>(channels);
            const size_t samples = std::max<size_t>(1, static_cast<size_t>(window * rate));
            window = static_cast<double>(samples) / rate;
            const size_t perWindow = samples * frame;
            const size_t end = std::min(bytes.size(), body + size);
            for (size_t w = body; w + perWindow <= end; w += perWindow) {
                double sum = 0.0;
                for (size_t i = w; i < w + perWindow; i += 2) {
                    const double s = static_cast<int16_t>(word(bytes, i, 2)) / 32768.0;
                    sum += s * s;
                }
                levels.push_back(std::sqrt(sum / static_cast<double>(perWindow / 2)));
            }
        }
        at = body + size + (size & 1);
    }
    return levels;
}

}  // namespace

std::vector<double> findOnsets(const std::string& wavePath, double* durationSeconds) {
    std::ifstream in(wavePath, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<double> onsets;
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0) return onsets;
    double window = 0.005;
    const size_t lookBack = 6;
    const std::vector<double> levels = windowLevels(bytes, window);
    if (durationSeconds) *durationSeconds = static_cast<double>(levels.size()) * window;
    for (size_t i = 0; i < levels.size(); ++i) {
        double before = 0.0;
        for (size_t k = i >= lookBack ? i - lookBack : 0; k < i; ++k) before = std::max(before, levels[k]);
        if (levels[i] > 0.003 && levels[i] > 3.0 * before) onsets.push_back(static_cast<double>(i) * window);
    }
    return onsets;
}
