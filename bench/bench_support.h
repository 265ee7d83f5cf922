// What every benchmark program shares: a headless display started the way
// the framework starts it, and timing on this thread's processor time, so
// that a loaded machine changes a figure and its yardstick alike.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <type_traits>
#include <vector>

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

// Runs f under the benchmark's timing, then f and a memcpy of as many 16-bit
// pixels as f writes the same number of times each; reports megapixels a
// second of both and x_memcpy (f's speed as a fraction of memcpy's), and
// returns the seconds one call of f took.
template <typename F>
double MeasureAgainstMemcpy(benchmark::State& state, int64_t pixels, F&& f) {
    for (auto _ : state) f();
    static std::vector<uint16_t> from, to;
    from.assign(static_cast<size_t>(pixels), 1);
    to.assign(static_cast<size_t>(pixels), 0);
    const auto copy = [] {
        std::memcpy(to.data(), from.data(), to.size() * sizeof(uint16_t));
        benchmark::ClobberMemory();
    };
    const int64_t times = std::max<int64_t>(state.iterations(), 1);
    const double seconds = SecondsFor(times, f), copySeconds = SecondsFor(times, copy);
    const double megapixels = static_cast<double>(pixels) * static_cast<double>(times) / 1e6;
    state.counters["MP/s"] = megapixels / seconds;
    state.counters["memcpy_MP/s"] = megapixels / copySeconds;
    state.counters["x_memcpy"] = copySeconds / seconds;
    return seconds / static_cast<double>(times);
}
