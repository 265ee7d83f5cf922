// Screen transitions: the steps each takes to its end, the screen at the ends,
// and the cover patterns of a few steps in between.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "framework/draw/draw.h"
#include "framework/draw/transitions.h"
#include "tests/framework/display_fixture.h"
#include "tests/support/scoped_value.h"

namespace {

constexpr uint16_t SCENE = 0x1234;
constexpr uint32_t BLUE = 0xFF0000;  // colour reference 0x00BBGGRR
constexpr uint16_t BLUE_PIXEL = 0x001F;
constexpr int COVER_SLOT = 5;

// The cover picture's pixel at screen position (x, y).
uint16_t CoverPixel(int x, int y) { return static_cast<uint16_t>(0x8000 | ((y % 64) << 9) | (x % 512)); }

class Transitions : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        ClearBackBufferTo(SCENE);
    }

    // Every pixel is the cover where covered(x, y) holds and the scene elsewhere.
    static void ExpectCover(const std::function<bool(int, int)>& covered) {
        const std::vector<uint16_t> screen = Screen();
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                ASSERT_EQ(screen[y * 640 + x], covered(x, y) ? BLUE_PIXEL : SCENE) << "at " << x << "," << y;
    }

    // Pixels of the cover colour on the whole screen.
    static int CoveredCount() {
        const std::vector<uint16_t> screen = Screen();
        return static_cast<int>(std::count(screen.begin(), screen.end(), BLUE_PIXEL));
    }
};

TEST_F(Transitions, DissolveUncoversInTwentyStepsThroughTheCoverShareOfEachLevel) {
    // Multiples of m among the 307,200 pixel numbers: ceil(307200 / m).
    const int strides[11] = {0, 103, 76, 51, 38, 25, 18, 13, 7, 3, 2};
    const auto multiples = [](int m) { return (640 * 480 + m - 1) / m; };
    ResetDissolve(0);
    EXPECT_EQ(gApp.fadeLevel, 0);
    for (int level = 1; level <= 19; ++level) {
        ClearBackBufferTo(SCENE);
        ASSERT_EQ(StepDissolve(1, BLUE), 0);
        const int want = level <= 10 ? 640 * 480 - multiples(strides[level]) : multiples(strides[20 - level]);
        EXPECT_EQ(CoveredCount(), want) << "level " << level;
        // Every 103rd pixel in screen order keeps the scene.
        if (level == 1) ExpectCover([](int x, int y) { return (y * 640 + x) % 103 != 0; });
    }
    ClearBackBufferTo(SCENE);
    ASSERT_EQ(StepDissolve(0, BLUE), 0);  // back to 18: every 76th pixel
    ExpectCover([](int x, int y) { return (y * 640 + x) % 76 == 0; });
    ASSERT_EQ(StepDissolve(1, BLUE), 0);
    ClearBackBufferTo(SCENE);
    EXPECT_EQ(StepDissolve(1, BLUE), 1);
    ExpectCover([](int, int) { return false; });
    EXPECT_EQ(StepDissolve(1, BLUE), 1) << "stays at its end";
    EXPECT_EQ(gApp.fadeLevel, 20);
}

TEST_F(Transitions, DissolveStaysInsideTheClipRectangleAndCoversInTwentyStepsEndingInAClear) {
    SetClipRect(100, 50, 300, 70);
    ResetDissolve(0);
    ASSERT_EQ(StepDissolve(1, BLUE), 0);
    ExpectCover([](int x, int y) { return x >= 100 && x < 300 && y >= 50 && y < 70 && (y * 640 + x) % 103 != 0; });
    // Depths without a dissolve move the counter and draw nothing, though screen pixels are counted.
    ClearBackBufferTo(SCENE);
    {
        const ScopedValue depth(gDisplay.bitDepth, 32);
        EXPECT_EQ(StepDissolve(1, BLUE), 0);
    }
    EXPECT_EQ(gApp.fadeLevel, 2);
    ExpectCover([](int, int) { return false; });

    ResetDissolve(1);
    for (int step = 1; step <= 19; ++step) ASSERT_EQ(StepDissolve(0, BLUE), 0) << step;
    ClearBackBufferTo(SCENE);
    EXPECT_EQ(StepDissolve(0, BLUE), 1);
    SetClipRect(10, 10, 20, 20);
    ClearBackBufferTo(SCENE);
    EXPECT_EQ(StepDissolve(0, BLUE), 1) << "the clear ignores the clip rectangle";
    ExpectCover([](int, int) { return true; });
    EXPECT_EQ(gApp.fadeLevel, 0);
}

TEST_F(Transitions, BlindsCloseInSixteenStepsSweepsCoverTheScreenAtTheirEndsAndASlotCoverShowsInPlace) {
    ResetBlinds(1);
    EXPECT_EQ(StepBlindsX(1, BLUE, -1), 1) << "already open";
    ExpectCover([](int, int) { return false; });
    for (int step = 1; step <= 3; ++step) ASSERT_EQ(StepBlindsX(0, BLUE, -1), 0);
    // Three columns at the right of every 16-pixel column.
    ExpectCover([](int x, int) { return x % 16 >= 13; });
    for (int step = 4; step <= 16; ++step) ASSERT_EQ(StepBlindsX(0, BLUE, -1), 0);
    EXPECT_EQ(StepBlindsX(0, BLUE, -1), 1);
    ExpectCover([](int, int) { return true; });

    ClearBackBufferTo(SCENE);
    ASSERT_EQ(StepBlindsY(0, BLUE, -1), 0);
    ASSERT_EQ(StepBlindsY(0, BLUE, -1), 0);
    // Two rows at the top of every 16-row band.
    ExpectCover([](int, int y) { return y % 16 < 2; });
    ResetBlinds(0);
    ClearBackBufferTo(SCENE);
    EXPECT_EQ(StepBlindsY(0, BLUE, -1), 1) << "a reset to closed ends at once and still draws";
    ExpectCover([](int, int) { return true; });

    ClearBackBufferTo(SCENE);
    ResetSweeps(1);
    ASSERT_EQ(StepSweepX(0, BLUE, -1), 0);
    ASSERT_EQ(StepSweepX(0, BLUE, -1), 0);
    // Counter 2: strip 1 is column 623, strip 2 columns 638 and 639.
    ExpectCover([](int x, int) { return x == 623 || x >= 638; });
    for (int step = 3; step <= 64; ++step) ASSERT_EQ(StepSweepX(0, BLUE, -1), 0);
    ClearBackBufferTo(SCENE);
    EXPECT_EQ(StepSweepX(0, BLUE, -1), 1);
    ExpectCover([](int, int) { return true; });

    ClearBackBufferTo(SCENE);
    ASSERT_EQ(StepSweepY(0, BLUE, -1), 0);
    ASSERT_EQ(StepSweepY(0, BLUE, -1), 0);
    // Counter 2: strip 1 is row 16, strip 2 rows 0 and 1.
    ExpectCover([](int, int y) { return y == 16 || y < 2; });
    for (int step = 3; step <= 48; ++step) ASSERT_EQ(StepSweepY(0, BLUE, -1), 0);
    ClearBackBufferTo(SCENE);
    EXPECT_EQ(StepSweepY(0, BLUE, -1), 1);
    ExpectCover([](int, int) { return true; });

    // Back again: 64 steps to uncovered, then the end.
    for (int step = 1; step <= 64; ++step) ASSERT_EQ(StepSweepX(1, BLUE, -1), 0);
    EXPECT_EQ(StepSweepX(1, BLUE, -1), 1);

    // A slot cover shows its own pixels in place.
    ClearBackBufferTo(SCENE);
    ASSERT_EQ(CreateImage(COVER_SLOT, 640, 480, 0, 0), 1);
    PaintSlot(COVER_SLOT, CoverPixel);
    ResetSweeps(1);
    for (int step = 1; step <= 20; ++step) ASSERT_EQ(StepSweepX(0, BLUE, COVER_SLOT), 0);
    const std::vector<uint16_t> screen = Screen();
    int covered = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const uint16_t p = screen[y * 640 + x];
            if (p == SCENE) continue;
            ++covered;
            ASSERT_EQ(p, CoverPixel(x, y)) << "at " << x << "," << y;
        }
    // Counter 20: solid from strip 15 (column 545) on, 0 + 1 + ... + 14 columns before.
    EXPECT_EQ(covered, (95 + 105) * 480);
}

}  // namespace
