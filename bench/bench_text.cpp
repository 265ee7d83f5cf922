// PrintText of an unchanged 40-character line on a 640 x 480 16-bit back
// buffer: glyphs come from the cache, so the cost is the context, the font,
// the formatting and the pixel writes. Counters: megapixels a second of the
// line's box, microseconds a line, and memcpy of the box's bytes as yardstick
// (x_memcpy: PrintText's speed as a fraction of memcpy's).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <vector>

#include "framework/app/app.h"
#include "framework/app/main_window.h"
#include "framework/display/display.h"
#include "framework/draw/gdi_draw.h"
#include "framework/image/image.h"
#include "platform/gdi/glyph_cache.h"
#include "platform/win/platform.h"

namespace {

// 40 characters: 28 single-byte, 12 double-byte (52 cells).
constexpr const char* kLine = "Stage 07   Score 0012345    残り時間はあと十五秒です";
constexpr int kCellWidth = 8, kCellHeight = 16;

void StartDisplay() {
    PlatformOptions options;
    options.backend = "headless";
    std::string error;
    PlatformOpen(options, &error);
    InitFrameworkState();
    CreateMainWindow();
    InitDisplay();
    CreateWorkBuffer();
    SetTextFont(kCellWidth, kCellHeight, RGB(255, 255, 255), "標準ゴシック");
}

// Processor time of this thread, as the other benchmarks measure it.
template <typename F>
double SecondsFor(int64_t times, F&& f) {
    timespec start{}, end{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
    for (int64_t i = 0; i < times; ++i) f();
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
    return static_cast<double>(end.tv_sec - start.tv_sec) + 1e-9 * static_cast<double>(end.tv_nsec - start.tv_nsec);
}

// mode: TRANSPARENT or OPAQUE background.
void PrintUnchangedLine(benchmark::State& state) {
    SetTextBackground(static_cast<int>(state.range(0)), RGB(0, 0, 96));
    const auto print = [] { PrintText(16, 200, "%s", kLine); };
    print();  // the glyphs enter the cache
    const uint64_t rasterised = GetGlyphRasterCount();
    for (auto _ : state) print();
    state.counters["rasterised"] = static_cast<double>(GetGlyphRasterCount() - rasterised);

    // The line's box: every byte is one cell.
    const int pixels = static_cast<int>(std::strlen(kLine)) * kCellWidth * kCellHeight;
    static std::vector<uint16_t> from(pixels, 1), to(pixels);
    const auto copy = [] {
        std::memcpy(to.data(), from.data(), to.size() * sizeof(uint16_t));
        benchmark::ClobberMemory();
    };
    const int64_t times = std::max<int64_t>(state.iterations(), 1);
    const double printSeconds = SecondsFor(times, print);
    const double copySeconds = SecondsFor(times, copy);
    const double megapixels = static_cast<double>(pixels) * static_cast<double>(times) / 1e6;
    state.counters["MP/s"] = megapixels / printSeconds;
    state.counters["us/line"] = printSeconds * 1e6 / static_cast<double>(times);
    state.counters["memcpy_MP/s"] = megapixels / copySeconds;
    state.counters["x_memcpy"] = copySeconds / printSeconds;
}

BENCHMARK(PrintUnchangedLine)->Arg(TRANSPARENT)->Arg(OPAQUE);

}  // namespace

int main(int argc, char** argv) {
    StartDisplay();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
