// PrintText of an unchanged 40-character line on a 640 x 480 16-bit back
// buffer: glyphs come from the cache, so the cost is the context, the font,
// the formatting and the pixel writes. Counters: megapixels a second of the
// line's box, microseconds a line, and memcpy of the box's bytes as yardstick
// (x_memcpy: PrintText's speed as a fraction of memcpy's).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "bench/bench_support.h"
#include "framework/display/display.h"
#include "framework/draw/gdi_draw.h"
#include "framework/image/image.h"
#include "platform/gdi/glyph_cache.h"

namespace {

// 40 characters: 28 single-byte, 12 double-byte (52 cells).
constexpr const char* LINE = "Stage 07   Score 0012345    残り時間はあと十五秒です";
constexpr int CELL_WIDTH = 8, CELL_HEIGHT = 16;

// The slots and settings the benchmarks below use.
void PrepareBenchmarks() {
    SetTextFont(CELL_WIDTH, CELL_HEIGHT, RGB(255, 255, 255), "標準ゴシック");
}

const BenchmarkSetup SETUP(PrepareBenchmarks);

// mode: TRANSPARENT or OPAQUE background.
void PrintUnchangedLine(benchmark::State& state) {
    SetTextBackground(static_cast<int>(state.range(0)), RGB(0, 0, 96));
    const auto print = [] { PrintText(16, 200, "%s", LINE); };
    print();  // the glyphs enter the cache
    const uint64_t rasterised = GetGlyphRasterCount();
    // The line's box: every byte is one cell.
    const int pixels = static_cast<int>(std::strlen(LINE)) * CELL_WIDTH * CELL_HEIGHT;
    state.counters["us/line"] = MeasureAgainstMemcpy(state, pixels, print) * 1e6;
    state.counters["rasterised"] = static_cast<double>(GetGlyphRasterCount() - rasterised);
}

BENCHMARK(PrintUnchangedLine)->Arg(TRANSPARENT)->Arg(OPAQUE);

}  // namespace
