#include "game/TickClock.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr int64_t kNanosecondsPerSecond = 1000000000;

}  // namespace

int64_t steadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

TickClock::TickClock(int ticksPerSecond, int maxTicksPerFrame)
    : rate(std::max(ticksPerSecond, 1)), maxTicks(std::max(maxTicksPerFrame, 1)) {}

int TickClock::advance(int64_t now) {
    if (!started) {
        restart(now);
        return 0;
    }
    // A clock that stood still or went back lets no time pass.
    const int64_t elapsed = std::max<int64_t>(now - last, 0);
    last = now;
    // Capped before the multiplication: hours of suspend must not overflow.
    const int64_t cap = static_cast<int64_t>(maxTicks + 1) * kNanosecondsPerSecond / rate;
    owed += std::min(elapsed, cap) * rate;
    const int64_t due = owed / kNanosecondsPerSecond;
    if (due > maxTicks) {
        owed = 0;  // the rest is dropped
        return maxTicks;
    }
    owed -= due * kNanosecondsPerSecond;
    return static_cast<int>(due);
}

void TickClock::restart(int64_t now) {
    started = true;
    last = now;
    owed = 0;
}

float TickClock::alpha() const {
    return static_cast<float>(static_cast<double>(owed) / static_cast<double>(kNanosecondsPerSecond));
}
