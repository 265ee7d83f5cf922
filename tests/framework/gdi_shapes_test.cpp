// Shapes, pixels and clears on the back buffer: the filled rectangles' own clip
// rule, the clip region for everything else, the drawing mode, the raw pixel calls.
#include <gtest/gtest.h>

#include <vector>

#include "framework/draw/draw.h"
#include "framework/draw/gdi_draw.h"
#include "tests/framework/display_fixture.h"
#include "tests/support/scoped_value.h"
#include "tests/support/same_values.h"

namespace {

class GdiShapes : public DisplayTest {
protected:
    // The number of pixels of the given value inside and outside a rectangle.
    static std::pair<int, int> CountInside(uint16_t value, int left, int top, int right, int bottom) {
        int inside = 0, outside = 0;
        const std::vector<uint16_t> pixels = Screen();
        for (int y = 0; y < gDisplay.screenHeight; ++y)
            for (int x = 0; x < gDisplay.screenWidth; ++x)
                if (pixels[y * gDisplay.screenWidth + x] == value)
                    ++(x >= left && x < right && y >= top && y < bottom ? inside : outside);
        return {inside, outside};
    }
};

constexpr COLORREF WHITE = 0xFFFFFF;

// Filled rectangles: beyond the screen they fill exactly the screen, missing
// the clip they draw nothing, and they are clipped to the rectangle even
// without a clip region.
TEST_F(GdiShapes, FilledRectanglesFollowTheirOwnClipRule) {
    ClearBackBufferTo(0);
    EXPECT_EQ(DrawFilledRect(640, 0, 700, 10, WHITE), 0);
    EXPECT_EQ(FillScreenRect(0, 480, 10, 500, WHITE), 0);
    EXPECT_EQ(DrawFilledRect(0, 0, 0, 10, WHITE), 1) << "an empty rectangle inside the clip is still drawn";
    EXPECT_EQ(FillScreenRect(-20, -20, -1, 5, WHITE), 0);
    EXPECT_EQ(CountInside(0xFFFF, 0, 0, 640, 480).first, 0);
    EXPECT_EQ(DrawFilledRect(-10, -10, 700, 500, WHITE), 1);
    EXPECT_EQ(CountInside(0xFFFF, 0, 0, 640, 480), std::make_pair(640 * 480, 0));

    SetClipRect(10, 10, 20, 20);
    DeleteObject(gDisplay.clipRegion);  // drawing alone is not held back now
    gDisplay.clipRegion = nullptr;
    ClearBackBufferTo(0);
    EXPECT_EQ(DrawFilledRect(0, 0, 100, 100, WHITE), 1);
    EXPECT_EQ(CountInside(0xFFFF, 10, 10, 20, 20), std::make_pair(100, 0));
}

TEST_F(GdiShapes, EveryShapeStaysInsideTheClipRectangle) {
    SetClipRect(100, 50, 300, 200);
    const auto drawn = [](const char* what, int (*draw)()) {
        ClearBackBufferTo(0);
        EXPECT_EQ(draw(), 1) << what;
        const auto [inside, outside] = CountInside(0xFFFF, 100, 50, 300, 200);
        EXPECT_GT(inside, 0) << what;
        EXPECT_EQ(outside, 0) << what;
    };
    drawn("line", [] { return DrawLine(0, 0, 640, 400, WHITE); });
    drawn("rectangle", [] { return DrawRect(90, 40, 250, 400, WHITE); });
    drawn("filled rectangle", [] { return DrawFilledRect(0, 0, 640, 480, WHITE); });
    drawn("fill", [] { return FillScreenRect(150, -5, 900, 120, WHITE); });
    drawn("ellipse", [] { return DrawEllipse(50, 20, 350, 260, WHITE); });
    drawn("filled ellipse", [] { return DrawFilledEllipse(50, 20, 350, 260, WHITE); });
    drawn("inversion", [] { return InvertScreenRect(0, 0, 640, 480); });
    drawn("pixel", [] { return SetScreenPixel(150, 60, WHITE) + SetScreenPixel(20, 10, WHITE) - 1; });
    EXPECT_EQ(CountInside(0xFFFF, 100, 50, 300, 200).first, 1);
}

TEST_F(GdiShapes, LineLeavesOutItsEndPointAndPixelsGoThroughTheContextAndTheFastRawCalls) {
    ClearBackBufferTo(0);
    DrawLine(0, 0, 10, 0, WHITE);
    for (int x = 0; x <= 10; ++x) EXPECT_EQ(BackPixel(x, 0), x < 10 ? 0xFFFF : 0) << x;

    ClearBackBufferTo(0);
    EXPECT_EQ(SetScreenPixel(7, 9, RGB(0, 255, 0)), 1);
    EXPECT_EQ(GetScreenPixel(7, 9), RGB(0, 255, 0));
    SetScreenPixelFast(3, 4, WHITE);
    EXPECT_EQ(BackPixel(3, 4), 0xFFFF);
    EXPECT_EQ(GetScreenPixelFast(3, 4), 0x1F3F1Fu);
    SetScreenPixelFast(3, 4, RGB(0x10, 0x80, 0xF8));
    EXPECT_EQ(GetScreenPixelFast(3, 4), 0x02u | (0x20u << 8) | (0x1Fu << 16));
    SetScreenPixelFast(-1, 700, WHITE);  // outside: ignored
    EXPECT_EQ(GetScreenPixelFast(640, 0), 0u);
}

TEST_F(GdiShapes, XorModeAndInversionTwiceLeaveTheScreenAsBeforeAndInversionFlipsEveryBit) {
    ASSERT_EQ(CreateImage(9, 640, 480, 0, 0), 1);
    PaintSlot(9, [](int x, int y) { return x * 37 + y * 101; });
    ASSERT_EQ(DrawImage(0, 0, 9, 0, 0, -1, -1), 1);
    const std::vector<uint16_t> before = Screen();
    SetDrawMode(R2_XORPEN);
    for (int pass = 0; pass < 2; ++pass) {
        DrawLine(3, 470, 630, 7, 0x33CC99);
        DrawFilledRect(40, 40, 300, 200, 0x3366FF);
        DrawFilledEllipse(200, 100, 500, 400, 0xFF00AA);
        DrawRect(1, 1, 639, 479, 0x00FF00);
    }
    SetDrawMode(R2_COPYPEN);
    EXPECT_TRUE(SameValues(Screen(), before));

    ClearBackBufferTo(0x1234);
    EXPECT_EQ(InvertScreenRect(5, 5, 8, 6), 1);
    EXPECT_EQ(BackPixels({{5, 5}, {8, 5}}), (Pixels{0xEDCB, 0x1234}));
    InvertScreenRect(8, 6, 5, 5);
    EXPECT_EQ(BackPixel(5, 5), 0x1234);
}

TEST_F(GdiShapes, ClearScreenFillsTheWholeBufferWhateverTheClip) {
    SetClipRect(10, 10, 20, 20);
    EXPECT_EQ(ClearScreen(RGB(255, 0, 0)), 1);
    EXPECT_EQ(CountInside(0xF800, 0, 0, 640, 480).first, 640 * 480);
    const ScopedValue noBackBuffer(gDisplay.backBuffer, nullptr);
    EXPECT_EQ(ClearScreen(0), 0);
    EXPECT_EQ(DrawLine(0, 0, 5, 5, 0), 0);
    EXPECT_EQ(GetScreenPixel(0, 0), 0u);
}

}  // namespace
