// Milliseconds of the monotonic clock for the network's time-outs: real time
// even where the program runs on the headless backend's virtual clock.
#pragma once

#include <time.h>

#include <cstdint>

inline uint32_t MonotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}
