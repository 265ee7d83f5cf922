// Converting a 640 x 480 picture between pixel formats through the GDI blit
// core, as a 24-bit or 8-bit DIB becomes a 16-bit bitmap when a picture is
// loaded: a photo-like source (every pixel its own colour), a flat one (one
// colour, as in large backgrounds) and an indexed one.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_support.h"
#include "platform/gdi/blit.h"

namespace {

constexpr int WIDTH = 640, HEIGHT = 480;

void Convert(benchmark::State& state, const PixelFormat& format, bool flat) {
    const int bytes = format.bitsPerPixel / 8;
    std::vector<uint8_t> source(static_cast<size_t>(WIDTH) * HEIGHT * bytes), target(static_cast<size_t>(WIDTH) * HEIGHT * 2);
    for (size_t i = 0; i < source.size(); ++i) source[i] = flat ? 0x5A : static_cast<uint8_t>(i * 7 + (i >> 11));
    const PixelBuffer from{source.data(), WIDTH, HEIGHT, WIDTH * bytes, format};
    const PixelBuffer to{target.data(), WIDTH, HEIGHT, WIDTH * 2, PIXEL_FORMAT_565};
    const RECT all{0, 0, WIDTH, HEIGHT};
    for (auto _ : state) {
        StretchPixels(to, all, 0, 0, WIDTH, HEIGHT, from, 0, 0, WIDTH, HEIGHT);
        benchmark::DoNotOptimize(target.data());
    }
    state.counters["Mpixel/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * WIDTH * HEIGHT / 1e6, benchmark::Counter::kIsRate);
}

void Rgb24Photo(benchmark::State& state) { Convert(state, PIXEL_FORMAT_888, false); }
void Rgb24Flat(benchmark::State& state) { Convert(state, PIXEL_FORMAT_888, true); }
void Indexed8(benchmark::State& state) { Convert(state, PIXEL_FORMAT_INDEXED8, false); }

}  // namespace

BENCHMARK(Rgb24Photo);
BENCHMARK(Rgb24Flat);
BENCHMARK(Indexed8);
