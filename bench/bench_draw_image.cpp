// The framework's DrawImage of a keyed 30 x 12 tile against the raw keyed
// BltFast of the same tile: the per-call cost of the slot lookup and the
// clipping (counter x_bltfast: DrawImage time over BltFast time).
#include <benchmark/benchmark.h>

#include <random>

#include "bench/bench_support.h"
#include "framework/display/display.h"
#include "framework/draw/draw.h"
#include "framework/image/image.h"

namespace {

constexpr int TILE_SLOT = 3;

// Positions spread over the screen so that no two calls hit the same cache lines.
int X(int64_t i) { return static_cast<int>((i * 37) % 600); }
int Y(int64_t i) { return static_cast<int>((i * 53) % 460); }

void RawBltFast(int64_t i) {
    static const RECT tile{0, 0, 30, 12};
    gDisplay.backBuffer->BltFast(X(i), Y(i), gImageSlots[TILE_SLOT].surface, &tile,
                                 DDBLTFAST_WAIT | DDBLTFAST_SRCCOLORKEY);
}

void FrameworkDrawImage(int64_t i) { DrawImage(X(i), Y(i), TILE_SLOT, 0, 0, -1, -1); }

// The slots and settings the benchmarks below use.
void PrepareBenchmarks() {
    CreateImage(TILE_SLOT, 30, 12, 1, 0);
    uint16_t* pixels = nullptr;
    int pitch = 0;
    LockImage(TILE_SLOT, &pixels, &pitch);
    std::mt19937 random(7);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 30; ++x) pixels[y * pitch + x] = random() % 3 ? static_cast<uint16_t>(random()) : 0;
    UnlockImage(TILE_SLOT, pixels);
}

const BenchmarkSetup SETUP(PrepareBenchmarks);

void BM_DrawImageTile(benchmark::State& state) {
    int64_t i = 0;
    for (auto _ : state) FrameworkDrawImage(i++);
    const int64_t times = 200000;
    const double raw = SecondsFor(times, RawBltFast), framework = SecondsFor(times, FrameworkDrawImage);
    state.counters["MPix/s"] = benchmark::Counter(360.0 * times / framework / 1e6);
    state.counters["x_bltfast"] = framework / raw;
}

void BM_RawBltFastTile(benchmark::State& state) {
    int64_t i = 0;
    for (auto _ : state) RawBltFast(i++);
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_DrawImageTile);
BENCHMARK(BM_RawBltFastTile);

}  // namespace
