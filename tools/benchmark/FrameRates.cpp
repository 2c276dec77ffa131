#include "FrameRates.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>

double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : 0.5 * (values[mid - 1] + values[mid]);
}

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const double rank = std::ceil(p / 100.0 * static_cast<double>(values.size()));
    const size_t index = static_cast<size_t>(std::clamp(rank, 1.0, static_cast<double>(values.size()))) - 1;
    return values[index];
}

double rateWithSlowerShare(std::vector<double> frames, double share) {
    if (frames.empty()) return 0.0;
    std::sort(frames.begin(), frames.end(), std::greater<double>());
    const double allowed = share * std::accumulate(frames.begin(), frames.end(), 0.0);
    double slower = 0.0;
    size_t next = 0;
    while (next + 1 < frames.size() && slower + frames[next] < allowed) slower += frames[next++];
    return frames[next] > 0.0 ? 1.0 / frames[next] : 0.0;
}
