#pragma once

#include <cstdint>
#include <functional>

// Wall-clock milliseconds truncated to 32 bits; they wrap about every 49 days, so differences are
// taken with unsigned arithmetic (elapsedMs) and never through signed overflow.
using ClockMs = std::function<int32_t()>;

int32_t systemClockMs();

// now - last, correct across one wrap of the 32-bit counter.
int32_t elapsedMs(int32_t now, int32_t last);
