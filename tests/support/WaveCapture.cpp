#include "support/WaveCapture.h"

#include "support/TempDirectory.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace testsupport {

namespace {

const std::string& captureFile() {
    static TempDirectory directory;
    static const std::string wave = [] {
        const std::string file = directory.file("capture.wav");
        const std::string config = directory.writeText(
            "alsoft.conf", "[general]\ndrivers = wave\nchannels = stereo\nsample-type = int16\nfrequency = " +
                               std::to_string(WaveCapture::kRate) + "\nhrtf = false\n[wave]\nfile = " + file + "\n");
        setenv("ALSOFT_CONF", config.c_str(), 1);
        return file;
    }();
    return wave;
}

uint32_t word(const std::vector<char>& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

}  // namespace

WaveCapture::WaveCapture() : file(captureFile()) { std::remove(file.c_str()); }

bool WaveCapture::written() const { return std::ifstream(file).good(); }

WaveCapture::Stereo WaveCapture::read() const {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Stereo out;
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0) return out;
    int channels = 0, bits = 0;
    // Chunks after the RIFF header: "fmt " tells the layout, "data" holds interleaved samples.
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const uint32_t size = word(bytes, at + 4, 4);
        const size_t body = at + 8;
        if (std::memcmp(&bytes[at], "fmt ", 4) == 0 && body + 16 <= bytes.size()) {
            channels = static_cast<int>(word(bytes, body + 2, 2));
            out.rate = static_cast<int>(word(bytes, body + 4, 4));
            bits = static_cast<int>(word(bytes, body + 14, 2));
        } else if (std::memcmp(&bytes[at], "data", 4) == 0 && channels == 2 && bits == 16) {
            const size_t end = std::min(bytes.size(), body + size);
            for (size_t i = body; i + 4 <= end; i += 4) {
                out.left.push_back(static_cast<int16_t>(word(bytes, i, 2)) / 32768.0f);
                out.right.push_back(static_cast<int16_t>(word(bytes, i + 2, 2)) / 32768.0f);
            }
        }
        at = body + size + (size & 1);
    }
    return out;
}

float rms(const std::vector<float>& samples, size_t from, size_t to) {
    to = std::min(to, samples.size());
    if (from >= to) return 0.0f;
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) sum += static_cast<double>(samples[i]) * samples[i];
    return static_cast<float>(std::sqrt(sum / static_cast<double>(to - from)));
}

}  // namespace testsupport
