// Scaled, rotated, row-mosaic and tiled draws: quarter turns against their exact
// mappings, the two stretching paths against each other, the order tiles stop in.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "framework/draw/draw.h"
#include "platform/ddraw/ddraw_objects.h"
#include "tests/framework/display_fixture.h"
#include "tests/support/scoped_value.h"
#include "tests/support/same_values.h"

namespace {

constexpr int SLOT = 3;
constexpr uint16_t SCREEN = 0x0841;  // the background; no picture pixel has this value

// A picture pixel: distinct for every (x, y), never the background.
uint16_t Picture(int x, int y) { return static_cast<uint16_t>(0x8000 | (y << 7) | x); }

class GeometricDraws : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        MakePicture(30, 40, 0);
        ClearBackBufferTo(SCREEN);
    }
    void MakePicture(int width, int height, int useColorKey) {
        ASSERT_EQ(CreateImage(SLOT, width, height, useColorKey, 0), 1);
        PaintSlot(SLOT, Picture);
        SetImageColorKeyFromCorner(SLOT);
    }

    // Every screen pixel against want(x, y); -1 means the background.
    static void ExpectScreen(const std::function<int(int, int)>& want) {
        const std::vector<uint16_t> screen = Screen();
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                const int w = want(x, y);
                ASSERT_EQ(screen[y * 640 + x], w < 0 ? SCREEN : w) << "at " << x << "," << y;
            }
    }
};

// The picture's pixel at (x, y), or the background outside a w x h picture.
int PictureOr(int x, int y, int w, int h) { return x >= 0 && x < w && y >= 0 && y < h ? Picture(x, y) : -1; }

// A 30 x 40 rectangle turns in a 50 x 50 square whose corner is 10 left of and
// 5 above the rectangle's. (i, j) is the position in that square; one mapping
// for each quarter turn.
const std::function<int(int i, int j)> QUARTER_TURNS[] = {
    [](int i, int j) { return PictureOr(i - 10, j - 5, 30, 40); },
    [](int i, int j) { return PictureOr(40 - j, i - 5, 30, 40); },
    [](int i, int j) { return PictureOr(40 - i, 45 - j, 30, 40); },
    [](int i, int j) { return PictureOr(j - 10, 45 - i, 30, 40); },
};

TEST_F(GeometricDraws, QuarterTurnsAndTheirAliases) {
    const std::pair<int, int> aliases[] = {{0, 0}, {360, 0}, {720, 0}, {-360, 0}, {90, 90}, {450, 90}, {-270, 90},
                                           {180, 180}, {-180, 180}, {270, 270}, {-90, 270}, {-450, 270}};
    for (const auto& [angle, turn] : aliases) {
        SCOPED_TRACE(angle);
        ClearBackBufferTo(SCREEN);
        ASSERT_EQ(DrawImageRotated(200, 100, SLOT, angle, 0, 0, -1, -1), 1);
        ExpectScreen([turn](int x, int y) {
            const int i = x - 190, j = y - 95;
            return i >= 0 && i < 50 && j >= 0 && j < 50 ? QUARTER_TURNS[turn / 90](i, j) : -1;
        });
    }
}

TEST_F(GeometricDraws, EveryAngleKeepsTheCentreAndStaysInItsSquare) {
    for (int angle = 0; angle < 360; ++angle) {
        ClearBackBufferTo(SCREEN);
        ASSERT_EQ(DrawImageRotated(200, 100, SLOT, angle, 0, 0, -1, -1), 1);
        const std::vector<uint16_t> screen = Screen();
        int drawn = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                if (screen[y * 640 + x] == SCREEN) continue;
                ++drawn;
                ASSERT_TRUE(x >= 190 && x < 240 && y >= 95 && y < 145) << angle << " drew " << x << "," << y;
            }
        EXPECT_EQ(screen[120 * 640 + 215], Picture(15, 20)) << angle;
        // Nearest-pixel sampling neither loses nor doubles much of the picture.
        EXPECT_NEAR(drawn, 30 * 40, 30 * 40 / 8) << angle;
    }
}

TEST_F(GeometricDraws, RotationClipsToTheScreenSkipsTheKeyAndReadsNothingOutsideTheSlot) {
    SetClipRect(300, 300, 400, 400);
    ASSERT_EQ(DrawImageRotated(-15, -12, SLOT, 0, 0, 0, -1, -1), 1);
    ExpectScreen([](int x, int y) { return PictureOr(x + 15, y + 12, 30, 40); });
    ClearBackBufferTo(SCREEN);
    ASSERT_EQ(DrawImageRotated(625, 460, SLOT, 180, 0, 0, -1, -1), 1);
    ExpectScreen([](int x, int y) { return PictureOr(655 - x, 500 - y, 30, 40); });
    EXPECT_EQ(DrawImageRotated(700, 100, SLOT, 0, 0, 0, -1, -1), 0);
    EXPECT_EQ(DrawImageRotated(100, -60, SLOT, 0, 0, 0, -1, -1), 0);

    // The key is the top-left pixel; it stays unchanged wherever it lands.
    ClearBackBufferTo(SCREEN);
    MakePicture(30, 40, 1);
    ASSERT_EQ(DrawImageRotated(200, 100, SLOT, 180, 0, 0, -1, -1), 1);
    ExpectScreen([](int x, int y) {
        const int i = x - 190, j = y - 95;
        const int p = i >= 0 && i < 50 && j >= 0 && j < 50 ? PictureOr(40 - i, 45 - j, 30, 40) : -1;
        return p == Picture(0, 0) ? -1 : p;
    });

    // A sub-rectangle reads nothing outside the slot.
    ClearBackBufferTo(SCREEN);
    MakePicture(30, 40, 0);
    // Rows 30 to 49 asked for, 30 to 39 there: the rest of the square stays.
    ASSERT_EQ(DrawImageRotated(100, 100, SLOT, 0, 0, 30, 30, 50), 1);
    ExpectScreen([](int x, int y) {
        const int sx = x - 100, sy = y - 100 + 30;
        return sx >= 0 && sx < 30 && sy >= 30 && sy < 40 ? Picture(sx, sy) : -1;
    });
    ASSERT_EQ(DrawImageRotated(300, 300, SLOT, 0, -10, -10, 20, 20), 1);
    EXPECT_EQ(BackPixels({{310, 310}, {309, 309}}), (Pixels{Picture(0, 0), SCREEN}));
}

TEST_F(GeometricDraws, RotationAndScalingRefusals) {
    // Slot -1, the work buffer, a slot number beyond 16 bits (the whole int is compared) and an empty slot.
    for (int slot : {-1, WORK_SLOT, SLOT + 0x10000, 77}) EXPECT_EQ(DrawImageRotated(0, 0, slot, 0, 0, 0, -1, -1), 0) << slot;
    {
        const ScopedValue depth(gDisplay.bitDepth, 32);
        EXPECT_EQ(DrawImageRotated(100, 100, SLOT, 0, 0, 0, -1, -1), 0);
    }
    static_cast<SoftwareSurface*>(gImageSlots[SLOT].surface)->MarkLost();
    EXPECT_EQ(DrawImageRotated(100, 100, SLOT, 0, 0, 0, -1, -1), 0);
    EXPECT_EQ(gImageSlots[SLOT].surface->IsLost(), DD_OK) << "restored";
    EXPECT_EQ(DrawImageScaled(0, 0, SLOT, -1, -1, 10, 0, 10, -1), 0) << "empty source";
    EXPECT_EQ(DrawImageScaled(0, 0, SLOT, 0, 40, 0, 0, -1, -1), 0) << "empty target";
    EXPECT_EQ(DrawImageScaled(640, 0, SLOT, -1, -1, 0, 0, -1, -1), 0) << "clipped away";
    EXPECT_EQ(DrawImageScaled(0, 0, WORK_SLOT, -1, -1, 0, 0, -1, -1), 0);
    EXPECT_EQ(DrawImageScaled(0, 0, 77, -1, -1, 0, 0, -1, -1), 0);
    ExpectScreen([](int, int) { return -1; });
}

TEST_F(GeometricDraws, StretchingPathsDoubleAgreeOnOddScalesAndClippingButKeyOnDifferentCorners) {
    for (const int canStretch : {1, 0}) {
        SCOPED_TRACE(canStretch);
        gDisplay.canStretch = canStretch;
        ClearBackBufferTo(SCREEN);
        ASSERT_EQ(DrawImageScaled(100, 50, SLOT, -1, -1, 0, 0, -1, -1), 1);
        // Clipped on the left by an even amount: the same pixels, cut.
        ASSERT_EQ(DrawImageScaled(-8, 300, SLOT, 60, 80, 0, 0, -1, -1), 1);
        ExpectScreen([](int x, int y) {
            if (x >= 100 && y >= 50 && y < 130) return PictureOr((x - 100) / 2, (y - 50) / 2, 30, 40);
            if (y >= 300) return PictureOr((x + 8) / 2, (y - 300) / 2, 30, 40);
            return -1;
        });
    }

    // The paths key on different pixels (the slot's corner, the stretched
    // picture's corner), so keyed cases are the ones where the two coincide.
    struct Case {
        int dx, dy, dw, dh, sx1, sy1, sx2, sy2, useColorKey;
    };
    const Case cases[] = {{37, 21, 71, 55, 0, 0, -1, -1, 1},
                          {600, 450, 90, 90, 0, 0, 30, 40, 1},
                          {-13, -7, 45, 30, 2, 3, 29, 38, 0},
                          {50, 60, 12, 100, 0, 0, -1, -1, 0},
                          {-100, 5, 700, 17, 0, 0, -1, -1, 0}};
    for (const Case& c : cases) {
        MakePicture(30, 40, c.useColorKey);
        std::vector<uint16_t> screens[2];
        for (const int canStretch : {1, 0}) {
            gDisplay.canStretch = canStretch;
            ClearBackBufferTo(SCREEN);
            EXPECT_EQ(DrawImageScaled(c.dx, c.dy, SLOT, c.dw, c.dh, c.sx1, c.sy1, c.sx2, c.sy2), 1);
            screens[canStretch] = Screen();
        }
        EXPECT_TRUE(SameValues(screens[0], screens[1])) << "draw at " << c.dx << "," << c.dy << " size " << c.dw << "x" << c.dh;
    }

    // The work-buffer path keys on the stretched picture's corner.
    MakePicture(30, 40, 1);
    gDisplay.canStretch = 1;
    ASSERT_EQ(DrawImageScaled(0, 0, SLOT, 58, 78, 1, 1, 30, 40), 1);
    EXPECT_EQ(BackPixel(0, 0), Picture(1, 1)) << "the slot's own key is at (0, 0), outside this rectangle";
    gDisplay.canStretch = 0;
    ClearBackBufferTo(SCREEN);
    ASSERT_EQ(DrawImageScaled(0, 0, SLOT, 58, 78, 1, 1, 30, 40), 1);
    EXPECT_EQ(BackPixels({{0, 0}, {2, 0}}), (Pixels{SCREEN, Picture(2, 1)}));

    // No work buffer: nothing to stretch into.
    const ScopedValue noWorkBuffer(gImageSlots[WORK_SLOT].surface, nullptr);
    EXPECT_EQ(DrawImageScaled(0, 0, SLOT, -1, -1, 0, 0, -1, -1), 0);
}

TEST_F(GeometricDraws, RowMosaicRepeatsEachBandsFirstRowAndTilesGoColumnByColumnUntilTheFirstFailure) {
    ASSERT_EQ(DrawImageRowMosaic(100, 100, SLOT, 4, 0, 0, -1, 10), 1);
    ASSERT_EQ(DrawImageRowMosaic(200, 100, SLOT, 1, 5, 0, 25, -1), 1);
    ASSERT_EQ(DrawImageRowMosaic(300, 100, SLOT, 0, 0, 0, -1, 3), 1) << "a step below 1 counts as 1";
    // Clipped at the top, the bands start at the first row still shown.
    ASSERT_EQ(DrawImageRowMosaic(400, -3, SLOT, 4, 0, 0, -1, 10), 1);
    const int bandRows[10] = {0, 0, 0, 0, 4, 4, 4, 4, 8, 8};
    ExpectScreen([&bandRows](int x, int y) {
        if (x >= 100 && x < 130 && y >= 100 && y < 110) return static_cast<int>(Picture(x - 100, bandRows[y - 100]));
        if (x >= 200 && x < 220 && y >= 100 && y < 140) return static_cast<int>(Picture(x - 195, y - 100));
        if (x >= 300 && x < 330 && y >= 100 && y < 103) return static_cast<int>(Picture(x - 300, y - 100));
        if (x >= 400 && x < 430 && y < 7) return static_cast<int>(Picture(x - 400, y < 4 ? 3 : 7));
        return -1;
    });
    EXPECT_EQ(DrawImageRowMosaic(100, 480, SLOT, 4, 0, 0, -1, -1), 0);
    EXPECT_EQ(DrawImageRowMosaic(100, 100, 77, 4, 0, 0, -1, -1), 0);

    // Tiles go column by column and stop at the first failure.
    ClearBackBufferTo(SCREEN);
    MakePicture(32, 32, 0);
    ASSERT_EQ(DrawImageTiled(0, 0, 100, 64, SLOT), 1);
    // Whole tiles: the last column reaches past the area's right edge.
    ExpectScreen([](int x, int y) { return x < 128 && y < 64 ? Picture(x % 32, y % 32) : -1; });

    // The third tile of the first column lies below the clip rectangle and
    // ends the tiling before the second column.
    ClearBackBufferTo(SCREEN);
    SetClipRect(0, 0, 640, 40);
    EXPECT_EQ(DrawImageTiled(0, 0, 100, 100, SLOT), 0);
    SetClipRect(0, 0, 0, 0);
    ExpectScreen([](int x, int y) { return x < 32 && y < 40 ? Picture(x % 32, y % 32) : -1; });

    EXPECT_EQ(DrawImageTiled(0, 0, 0, 100, SLOT), 1) << "an empty area";
    ASSERT_EQ(CreateImage(SLOT, 0, 32, 0, 0), 1);
    EXPECT_EQ(DrawImageTiled(0, 0, 100, 100, SLOT), 0) << "an empty picture";
}

}  // namespace
