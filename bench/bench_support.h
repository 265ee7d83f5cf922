// What every benchmark program shares: a headless display started the way
// the framework starts it, and timing on this thread's processor time, so
// that a loaded machine changes a figure and its yardstick alike.
#pragma once

#include <cstdint>
#include <ctime>
#include <type_traits>

// Opens the headless platform and starts the display and the work buffer.
// Runs before the benchmarks (bench_support.cpp holds main).
void StartHeadlessDisplay();

// A program's preparation (slots, fonts) that runs once the display is up:
//   const BenchmarkSetup SETUP(PrepareBenchmarks);
struct BenchmarkSetup {
    explicit BenchmarkSetup(void (*prepare)());
};

// A slot of random 16-bit pixels, keyed by its top-left one.
void MakeRandomSlot(int slot, int width, int height, uint32_t seed);

// Seconds of this thread's processor time that times calls of f take; f may
// take the call's number.
template <typename F>
double SecondsFor(int64_t times, F&& f) {
    timespec start{}, end{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
    for (int64_t i = 0; i < times; ++i) {
        if constexpr (std::is_invocable_v<F&, int64_t>) f(i);
        else f();
    }
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
    return static_cast<double>(end.tv_sec - start.tv_sec) + 1e-9 * static_cast<double>(end.tv_nsec - start.tv_nsec);
}
