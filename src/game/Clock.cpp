#include "game/Clock.h"

#include <chrono>

int32_t systemClockMs() {
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(ms)));
}

int32_t elapsedMs(int32_t now, int32_t last) {
    return static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(last));
}
