// Speed of the software blitter on a 640 x 480 16-bit frame: colour-keyed tile
// BltFast, opaque full-frame copy and colour fill, each with the plain memory
// operation on the same bytes as its yardstick (counter x_memcpy / x_memset:
// the blit's speed as a fraction of the yardstick's).
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "bench/bench_support.h"
#include "platform/ddraw/ddraw.h"

namespace {

constexpr int WIDTH = 640, HEIGHT = 480, TILE_WIDTH = 30, TILE_HEIGHT = 12;
constexpr DWORD KEY = 0xF81F;

IDirectDraw* gDevice = nullptr;

// A device of the benchmark's own, beside the display's.
void PrepareBenchmarks() { DirectDrawCreate(nullptr, &gDevice, nullptr); }

const BenchmarkSetup SETUP(PrepareBenchmarks);

IDirectDrawSurface* NewSurface(int width, int height) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    IDirectDrawSurface* surface = nullptr;
    gDevice->CreateSurface(&desc, &surface, nullptr);
    return surface;
}

// Random pixels, about a third of them the key.
void PaintRandom(IDirectDrawSurface* surface) {
    std::mt19937 random(99);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        auto* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch);
        for (DWORD x = 0; x < desc.dwWidth; ++x) row[x] = random() % 3 ? static_cast<uint16_t>(random()) : KEY;
    }
    surface->Unlock(nullptr);
}

// Runs the blit under the benchmark's timing, then the blit and its yardstick
// the same number of times each, and reports megapixels a second and the ratio.
template <typename Blit, typename Yardstick>
void Measure(benchmark::State& state, int64_t pixelsPerCall, const char* ratioName, Blit&& blit,
             Yardstick&& yardstick) {
    int64_t i = 0;
    for (auto _ : state) blit(i++);
    const int64_t times = std::max<int64_t>(state.iterations(), 1);
    const double blitSeconds = SecondsFor(times, blit);
    const double yardstickSeconds = SecondsFor(times, yardstick);
    const double megapixels = static_cast<double>(pixelsPerCall) * static_cast<double>(times) / 1e6;
    state.counters["MP/s"] = megapixels / blitSeconds;
    state.counters["yardstick_MP/s"] = megapixels / yardstickSeconds;
    state.counters[ratioName] = yardstickSeconds / blitSeconds;
}

void KeyedTileBltFast(benchmark::State& state) {
    IDirectDrawSurface* frame = NewSurface(WIDTH, HEIGHT);
    IDirectDrawSurface* tile = NewSurface(TILE_WIDTH, TILE_HEIGHT);
    PaintRandom(tile);
    DDCOLORKEY key{KEY, KEY};
    tile->SetColorKey(DDCKEY_SRCBLT, &key);
    DDSURFACEDESC frameDesc{}, tileDesc{};
    frameDesc.dwSize = tileDesc.dwSize = sizeof(DDSURFACEDESC);
    frame->GetSurfaceDesc(&frameDesc);
    tile->GetSurfaceDesc(&tileDesc);
    frame->Lock(nullptr, &frameDesc, 0, nullptr);  // pointers for the yardstick only
    frame->Unlock(nullptr);
    tile->Lock(nullptr, &tileDesc, 0, nullptr);
    tile->Unlock(nullptr);
    // Positions wander over the frame, most of them not on a 16-byte boundary.
    auto x = [](int64_t i) { return static_cast<DWORD>(i * 37 % (WIDTH - TILE_WIDTH)); };
    auto y = [](int64_t i) { return static_cast<DWORD>(i * 13 % (HEIGHT - TILE_HEIGHT)); };
    size_t rowBytes = TILE_WIDTH * 2;
    benchmark::DoNotOptimize(rowBytes);
    Measure(
        state, TILE_WIDTH * TILE_HEIGHT, "x_memcpy",
        [&](int64_t i) { frame->BltFast(x(i), y(i), tile, nullptr, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT); },
        [&](int64_t i) {
            auto* to = static_cast<uint8_t*>(frameDesc.lpSurface) + y(i) * frameDesc.lPitch + x(i) * 2;
            const auto* from = static_cast<const uint8_t*>(tileDesc.lpSurface);
            for (int row = 0; row < TILE_HEIGHT; ++row)
                std::memcpy(to + row * frameDesc.lPitch, from + row * tileDesc.lPitch, rowBytes);
            benchmark::ClobberMemory();
        });
    tile->Release();
    frame->Release();
}

void FullFrameCopy(benchmark::State& state) {
    IDirectDrawSurface* frame = NewSurface(WIDTH, HEIGHT);
    IDirectDrawSurface* picture = NewSurface(WIDTH, HEIGHT);
    PaintRandom(picture);
    std::vector<uint8_t> from(WIDTH * HEIGHT * 2, 1), to(WIDTH * HEIGHT * 2);
    Measure(
        state, WIDTH * HEIGHT, "x_memcpy",
        [&](int64_t) { frame->BltFast(0, 0, picture, nullptr, DDBLTFAST_WAIT); },
        [&](int64_t) {
            std::memcpy(to.data(), from.data(), to.size());
            benchmark::ClobberMemory();
        });
    picture->Release();
    frame->Release();
}

void FullFrameFill(benchmark::State& state) {
    IDirectDrawSurface* frame = NewSurface(WIDTH, HEIGHT);
    std::vector<uint8_t> to(WIDTH * HEIGHT * 2);
    DDBLTFX fx{sizeof(DDBLTFX), 0x1234};  // not one repeated byte: a real 16-bit fill
    Measure(
        state, WIDTH * HEIGHT, "x_memset",
        [&](int64_t) { frame->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx); },
        [&](int64_t i) {
            std::memset(to.data(), static_cast<int>(i), to.size());
            benchmark::ClobberMemory();
        });
    frame->Release();
}

BENCHMARK(KeyedTileBltFast);
BENCHMARK(FullFrameCopy);
BENCHMARK(FullFrameFill);

}  // namespace
