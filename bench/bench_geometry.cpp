// Speed of the geometric draws and the dissolve on a 640 x 480 16-bit screen,
// in megapixels written a second, each with a memcpy of as many pixels as
// yardstick (counter x_memcpy: the draw's speed as a fraction of memcpy's,
// both measured in the same run, on this thread's processor time).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "bench/bench_support.h"
#include "framework/app/app.h"
#include "framework/display/display.h"
#include "framework/draw/draw.h"
#include "framework/draw/transitions.h"
#include "framework/image/image.h"

namespace {

constexpr int WIDTH = 640, HEIGHT = 480, SCREEN_PIXELS = WIDTH * HEIGHT;
constexpr int ROTATED_SLOT = 1, HALF_SCREEN_SLOT = 2;
constexpr int ROTATED_SIDE = 256;
constexpr int ROTATED_SQUARE = 362;  // the 256 x 256 picture's diagonal

// The slots and settings the benchmarks below use.
void PrepareBenchmarks() {
    MakeRandomSlot(ROTATED_SLOT, ROTATED_SIDE, ROTATED_SIDE, 7);
    MakeRandomSlot(HALF_SCREEN_SLOT, WIDTH / 2, HEIGHT / 2, 11);
}

const BenchmarkSetup SETUP(PrepareBenchmarks);

// A 256 x 256 picture turned by the angle into its 362 x 362 square.
void Rotate(benchmark::State& state) {
    const int angle = static_cast<int>(state.range(0));
    MeasureAgainstMemcpy(state, ROTATED_SQUARE * ROTATED_SQUARE, [angle] {
        DrawImageRotated(192, 112, ROTATED_SLOT, angle, 0, 0, -1, -1);
    });
}

// A 320 x 240 picture at twice its size over the whole screen, through the
// stretching blit (1) or through GDI and the work buffer (0).
void ScaleTwice(benchmark::State& state) {
    gDisplay.canStretch = static_cast<int>(state.range(0));
    MeasureAgainstMemcpy(state, SCREEN_PIXELS, [] { DrawImageScaled(0, 0, HALF_SCREEN_SLOT, -1, -1, 0, 0, -1, -1); });
    gDisplay.canStretch = 1;
}

// One dissolve step over the whole screen to the given level.
void DissolveStep(benchmark::State& state) {
    const int level = static_cast<int>(state.range(0));
    MeasureAgainstMemcpy(state, SCREEN_PIXELS, [level] {
        gApp.fadeLevel = level - 1;
        StepDissolve(1, 0x00FF00);
    });
}

BENCHMARK(Rotate)->Arg(0)->Arg(30)->Arg(90);
BENCHMARK(ScaleTwice)->Arg(1)->Arg(0);
BENCHMARK(DissolveStep)->Arg(1)->Arg(10)->Arg(11)->Arg(19);

}  // namespace
