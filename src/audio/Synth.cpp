#include "audio/Synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kTwoPi = 6.28318530718f;
constexpr float kRelease = 0.006f;  // every layer fades out over its last 6 ms
constexpr float kWindow = 0.05f;
constexpr float kPeakLimit = 0.9f;
constexpr float kSilence = 1.0f / 32768.0f;

// A layer's level, one sample at a time: a linear rise over the attack, then a fall by a factor e
// every `decay` seconds, and a short release to zero at the layer's end.
class Envelope {
public:
    Envelope(float attack, float decay, size_t length, int rate)
        : rise(static_cast<size_t>(std::max(attack, 0.0f) * rate)),
          fallStep(std::exp(-1.0f / (std::max(decay, 1e-4f) * rate))),
          release(std::max<size_t>(1, static_cast<size_t>(kRelease * rate))),
          length(length) {}

    float next() {
        float level = i < rise ? static_cast<float>(i) / static_cast<float>(rise) : fall;
        if (i >= rise) fall *= fallStep;
        if (length - i < release) level *= static_cast<float>(length - i) / static_cast<float>(release);
        ++i;
        return level;
    }

private:
    size_t rise;
    float fallStep;
    size_t release;
    size_t length;
    size_t i = 0;
    float fall = 1.0f;
};

}  // namespace

Synth::Synth(int sampleRate, float seconds, uint32_t noiseSeed)
    : rate(sampleRate), mix(static_cast<size_t>(std::max(seconds, 0.0f) * sampleRate), 0.0f), seed(noiseSeed) {}

float Synth::nextNoise() {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
}

void Synth::add(const Tone& tone) {
    const size_t first = static_cast<size_t>(tone.start * rate);
    const size_t count = static_cast<size_t>(tone.length * rate);
    // Partials are normalised so that the harmonics only colour the tone and do not make it louder.
    float norm = 0.0f;
    for (int h = 0; h < tone.harmonics; ++h) norm += 1.0f / static_cast<float>((2 * h + 1) * (2 * h + 1));
    Envelope envelope(tone.attack, tone.decay, count, rate);
    const double glideStep = std::pow(tone.toHz / tone.fromHz, 1.0 / std::max<size_t>(count, 1));
    double glide = tone.fromHz, phase = 0.0;
    for (size_t i = 0; i < count && first + i < mix.size(); ++i, glide *= glideStep) {
        float wobble = 1.0f;
        if (tone.vibratoDepth > 0.0f) wobble += tone.vibratoDepth * std::sin(kTwoPi * tone.vibratoHz * i / rate);
        phase += glide * wobble / rate;
        phase -= std::floor(phase);
        float value = 0.0f;
        for (int h = 0; h < tone.harmonics; ++h) {
            const int n = 2 * h + 1;
            // Partials above 16 kHz are left out: at 44.1 kHz they would fold back as harsh aliases.
            if (glide * n > 16000.0) break;
            value += std::sin(kTwoPi * static_cast<float>(phase * n)) / static_cast<float>(n * n);
        }
        mix[first + i] += tone.gain * envelope.next() * value / norm;
    }
}

void Synth::add(const Noise& noise) {
    const size_t first = static_cast<size_t>(noise.start * rate);
    const size_t count = static_cast<size_t>(noise.length * rate);
    Envelope envelope(noise.attack, noise.decay, count, rate);
    const double glideStep = std::pow(noise.toHz / noise.fromHz, 1.0 / std::max<size_t>(count, 1));
    double cutoff = noise.fromHz;
    float low = 0.0f;
    float k = 1.0f - std::exp(-kTwoPi * static_cast<float>(cutoff) / rate);
    for (size_t i = 0; i < count && first + i < mix.size(); ++i, cutoff *= glideStep) {
        if (glideStep != 1.0) k = 1.0f - std::exp(-kTwoPi * static_cast<float>(cutoff) / rate);
        low += k * (nextNoise() - low);
        mix[first + i] += noise.gain * envelope.next() * low;
    }
}

float Synth::loudestLevel(const std::vector<int16_t>& samples, int sampleRate) {
    const size_t window = std::max<size_t>(1, static_cast<size_t>(kWindow * sampleRate));
    double sum = 0.0, loudest = 0.0;
    for (size_t i = 0; i < samples.size(); ++i) {
        const double s = samples[i] / 32768.0;
        sum += s * s;
        if (i >= window) {
            const double old = samples[i - window] / 32768.0;
            sum -= old * old;
        }
        loudest = std::max(loudest, sum / static_cast<double>(std::min(i + 1, window)));
    }
    return static_cast<float>(std::sqrt(loudest));
}

float Synth::levelGain(size_t end) const {
    float peak = 0.0f;
    for (size_t i = 0; i < end; ++i) peak = std::max(peak, std::fabs(mix[i]));
    if (peak <= 0.0f) return 0.0f;
    // Measure on a trial conversion at full scale, then scale to the common level, giving way to the
    // peak limit for sounds whose loudest stretch is very spiky.
    std::vector<int16_t> trial(end);
    for (size_t i = 0; i < end; ++i) trial[i] = static_cast<int16_t>(mix[i] / peak * 32767.0f);
    const float measured = loudestLevel(trial, rate) * peak;
    return std::min(kLevel / measured, kPeakLimit / peak);
}

std::vector<int16_t> Synth::finish() const {
    size_t end = mix.size();
    while (end > 0 && std::fabs(mix[end - 1]) < kSilence) --end;
    const float gain = levelGain(end);
    const size_t fade = std::min(end, static_cast<size_t>(0.001f * rate));
    std::vector<int16_t> out(end);
    for (size_t i = 0; i < end; ++i) {
        const float in = i < fade ? static_cast<float>(i) / static_cast<float>(fade) : 1.0f;
        const float tail = std::min(1.0f, static_cast<float>(end - i) / (kRelease * rate));
        out[i] = static_cast<int16_t>(std::lround(mix[i] * gain * in * tail * 32767.0f));
    }
    return out;
}

std::vector<int16_t> Synth::finishLoop(float overlap) const {
    const size_t cross = std::min(mix.size() / 2, static_cast<size_t>(overlap * rate));
    const size_t length = mix.size() - cross;
    const float gain = levelGain(mix.size());
    std::vector<int16_t> out(length);
    for (size_t i = 0; i < length; ++i) {
        float v = mix[i];
        if (i < cross) {
            // Equal-power blend: the loop's end fades into its start.
            const float w = static_cast<float>(i) / static_cast<float>(cross);
            v = v * std::sin(w * 1.5707963f) + mix[length + i] * std::cos(w * 1.5707963f);
        }
        out[i] = static_cast<int16_t>(std::clamp(std::lround(v * gain * 32767.0f), -32767L, 32767L));
    }
    return out;
}
