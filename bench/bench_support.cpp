// The benchmark programs' main: the display comes up headless first, then
// the registered benchmarks run.
#include "bench/bench_support.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "framework/app/app.h"
#include "framework/app/main_window.h"
#include "framework/display/display.h"
#include "framework/image/image.h"
#include "platform/win/platform.h"

namespace {

void (*gPrepare)() = nullptr;

}  // namespace

BenchmarkSetup::BenchmarkSetup(void (*prepare)()) { gPrepare = prepare; }


void StartHeadlessDisplay() {
    PlatformOptions options;
    options.backend = "headless";
    std::string error;
    PlatformOpen(options, &error);
    InitFrameworkState();
    CreateMainWindow();
    InitDisplay();
    CreateWorkBuffer();
}

void MakeRandomSlot(int slot, int width, int height, uint32_t seed) {
    CreateImage(slot, width, height, 1, 0);
    uint16_t* pixels = nullptr;
    int pitch = 0;
    LockImage(slot, &pixels, &pitch);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels[y * pitch + x] = static_cast<uint16_t>(random());
    UnlockImage(slot, pixels);
    SetImageColorKeyFromCorner(slot);
}

int main(int argc, char** argv) {
    StartHeadlessDisplay();
    if (gPrepare) gPrepare();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
