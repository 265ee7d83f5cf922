// The framework's DrawFilledRect on the 640 x 480 16-bit back buffer, whole
// screen and 200 x 150, against memset of the same bytes in the same run
// (counter x_memset: the fill's speed as a fraction of memset's). Copy mode
// and XOR mode, which reads every pixel it writes.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench/bench_support.h"
#include "framework/display/display.h"
#include "framework/draw/gdi_draw.h"

namespace {

// The back buffer's rows of the rectangle at (x, y), as memset sees them.
struct BackBufferRows {
    uint8_t* first = nullptr;
    int pitch = 0;
    BackBufferRows() {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        gDisplay.backBuffer->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
        first = static_cast<uint8_t*>(desc.lpSurface);
        pitch = desc.lPitch;
        gDisplay.backBuffer->Unlock(desc.lpSurface);
    }
};

// Fills a width x height rectangle per call, moving it over the screen, and
// compares with memset of the same rows (one call when rows are whole).
void FilledRect(benchmark::State& state, int width, int height, int rop2) {
    SetDrawMode(rop2);
    const int spanX = 640 - width + 1, spanY = 480 - height + 1;
    const auto fill = [&](int64_t i) {
        const int x = static_cast<int>((i * 37) % spanX), y = static_cast<int>((i * 53) % spanY);
        DrawFilledRect(x, y, x + width, y + height, static_cast<uint32_t>(i * 0x10101));
    };
    const BackBufferRows rows;
    const size_t rowBytes = static_cast<size_t>(width) * 2;
    const auto yardstick = [&](int64_t i) {
        const int x = static_cast<int>((i * 37) % spanX), y = static_cast<int>((i * 53) % spanY);
        uint8_t* at = rows.first + static_cast<ptrdiff_t>(y) * rows.pitch + x * 2;
        if (static_cast<int>(rowBytes) == rows.pitch) {
            std::memset(at, static_cast<int>(i), rowBytes * height);
            return;
        }
        for (int r = 0; r < height; ++r) std::memset(at + r * rows.pitch, static_cast<int>(i), rowBytes);
    };
    int64_t i = 0;
    for (auto _ : state) fill(i++);
    const int64_t times = std::max<int64_t>(state.iterations(), 1);
    const double fillSeconds = SecondsFor(times, fill);
    const double memsetSeconds = SecondsFor(times, yardstick);
    const double megapixels = static_cast<double>(width) * height * static_cast<double>(times) / 1e6;
    state.counters["MP/s"] = megapixels / fillSeconds;
    state.counters["memset_MP/s"] = megapixels / memsetSeconds;
    state.counters["x_memset"] = memsetSeconds / fillSeconds;
    SetDrawMode(R2_COPYPEN);
}

void BM_FilledRectScreen(benchmark::State& state) { FilledRect(state, 640, 480, R2_COPYPEN); }
void BM_FilledRect200x150(benchmark::State& state) { FilledRect(state, 200, 150, R2_COPYPEN); }
void BM_FilledRectScreenXor(benchmark::State& state) { FilledRect(state, 640, 480, R2_XORPEN); }
void BM_FilledRect200x150Xor(benchmark::State& state) { FilledRect(state, 200, 150, R2_XORPEN); }

BENCHMARK(BM_FilledRectScreen);
BENCHMARK(BM_FilledRect200x150);
BENCHMARK(BM_FilledRectScreenXor);
BENCHMARK(BM_FilledRect200x150Xor);

}  // namespace
