// Speed of the blended draws on a 640 x 480 16-bit frame: the pixel kernels
// alone and the whole draws through the work buffer, each with a memcpy of the
// frame's bytes as yardstick (counter x_memcpy: the blend's speed as a
// fraction of memcpy's, both measured in the same run).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "bench/bench_support.h"
#include "framework/display/display.h"
#include "framework/draw/blend_kernels.h"
#include "framework/draw/draw.h"
#include "framework/image/image.h"

namespace {

constexpr int WIDTH = 640, HEIGHT = 480, PIXELS = WIDTH * HEIGHT;
constexpr int PICTURE_SLOT = 1;
constexpr uint16_t KEY = 0xF81F;
constexpr ChannelLayout k565{{31, 63, 31}, {11, 5, 0}};

// Random pixels, about one in eight of them the key.
uint16_t RandomPixel(std::mt19937& random) { return random() % 8 ? static_cast<uint16_t>(random()) : KEY; }

// The slots and settings the benchmarks below use.
void PrepareBenchmarks() {
    CreateImage(PICTURE_SLOT, WIDTH, HEIGHT, 1, 0);
    uint16_t* pixels = nullptr;
    int pitch = 0;
    LockImage(PICTURE_SLOT, &pixels, &pitch);
    std::mt19937 random(3);
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) pixels[y * pitch + x] = RandomPixel(random);
    pixels[0] = KEY;
    UnlockImage(PICTURE_SLOT, pixels);
    SetImageColorKeyFromCorner(PICTURE_SLOT);
}

const BenchmarkSetup SETUP(PrepareBenchmarks);

// A kernel on two frame-sized buffers.
template <typename Kernel>
void MeasureKernel(benchmark::State& state, Kernel&& kernel) {
    std::mt19937 random(5);
    // The source starts 160 bytes into its buffer, as a surface row rarely
    // shares its offset in a 4 KiB page with the target's.
    std::vector<uint16_t> src(PIXELS + 80), dst(PIXELS);
    for (auto& p : src) p = RandomPixel(random);
    for (auto& p : dst) p = static_cast<uint16_t>(random());
    const BlendArea area{dst.data(), WIDTH, src.data() + 80, WIDTH, WIDTH, HEIGHT};
    const BlendKey key{true, KEY};
    MeasureAgainstMemcpy(state, PIXELS, [&] {
        kernel(area, key);
        benchmark::ClobberMemory();
    });
}

void KernelHalfAverage(benchmark::State& state) {
    MeasureKernel(state, [](const BlendArea& a, BlendKey k) { BlendHalfAverage(a, k, 0xF7DE); });
}

void KernelAlpha(benchmark::State& state) {
    const int alpha = static_cast<int>(state.range(0));
    MeasureKernel(state, [alpha](const BlendArea& a, BlendKey k) { BlendAlpha(a, k, k565, alpha); });
}

void KernelAdd(benchmark::State& state) {
    MeasureKernel(state, [](const BlendArea& a, BlendKey k) { BlendAdd(a, k, k565); });
}

void KernelRopXor(benchmark::State& state) {
    MeasureKernel(state, [](const BlendArea& a, BlendKey k) { BlendRop2(a, k, R2_XORPEN); });
}

void DrawTranslucent(benchmark::State& state) {
    const int percent = static_cast<int>(state.range(0));
    MeasureAgainstMemcpy(state, PIXELS, [percent] { DrawImageTranslucent(0, 0, PICTURE_SLOT, percent, 0, 0, -1, -1, 0); });
}

void DrawAdd(benchmark::State& state) {
    MeasureAgainstMemcpy(state, PIXELS, [] { DrawImageAdd(0, 0, PICTURE_SLOT, 0, 0, -1, -1); });
}

void DrawRopXor(benchmark::State& state) {
    MeasureAgainstMemcpy(state, PIXELS, [] { DrawImageRop(0, 0, PICTURE_SLOT, R2_XORPEN, 0, 0, -1, -1); });
}

BENCHMARK(KernelHalfAverage);
BENCHMARK(KernelAlpha)->Arg(94)->Arg(192);
BENCHMARK(KernelAdd);
BENCHMARK(KernelRopXor);
BENCHMARK(DrawTranslucent)->Arg(50)->Arg(37)->Arg(75);
BENCHMARK(DrawAdd);
BENCHMARK(DrawRopXor);

}  // namespace
