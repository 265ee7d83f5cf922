// Blended draws: the pixel kernels on both paths against per-channel formulas
// written out here, and the whole draws on a headless 16-bit display.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "framework/draw/blend_kernels.h"
#include "framework/draw/draw.h"
#include "platform/ddraw/ddraw_objects.h"
#include "tests/framework/display_fixture.h"
#include "tests/support/scoped_value.h"

namespace {

constexpr ChannelLayout k565{{31, 63, 31}, {11, 5, 0}};
constexpr ChannelLayout k555{{31, 31, 31}, {10, 5, 0}};
constexpr ChannelLayout k556{{31, 31, 63}, {11, 6, 0}};  // fields known only at run time
constexpr uint16_t KEY = 0xF81F;

// Builds a pixel from f applied to each channel's source and target values.
uint16_t PerChannel(const ChannelLayout& l, uint16_t s, uint16_t d, const std::function<int(int, int, int)>& f) {
    int out = 0;
    for (int c = 0; c < 3; ++c) {
        const int m = l.mask[c], sh = l.shift[c];
        out |= (f((s >> sh) & m, (d >> sh) & m, m) & m) << sh;
    }
    return static_cast<uint16_t>(out);
}

uint16_t AlonePixel(const ChannelLayout& l, int alpha, uint16_t s, uint16_t d) {
    return PerChannel(l, s, d, [alpha](int sv, int dv, int) {
        return dv + static_cast<int>(std::floor(alpha * (sv - dv) / 256.0));
    });
}

uint16_t PairPixel(const ChannelLayout& l, int alpha, uint16_t s, uint16_t d) {
    return PerChannel(l, s, d, [alpha](int sv, int dv, int) { return ((alpha * (sv + 64 - dv)) >> 8) + dv - alpha / 4; });
}

uint16_t AddPixel(const ChannelLayout& l, uint16_t s, uint16_t d) {
    return PerChannel(l, s, d, [](int sv, int dv, int m) { return std::min(sv + dv, m); });
}

uint16_t HalfPixel(const ChannelLayout& l, uint16_t s, uint16_t d) {
    return PerChannel(l, s, d, [](int sv, int dv, int) { return (sv >> 1) + (dv >> 1); });
}

struct RopCase {
    int rop2;
    uint16_t (*rule)(uint16_t s, uint16_t d);
};
const RopCase ROPS[] = {
    {R2_NOTMERGEPEN, [](uint16_t s, uint16_t d) { return static_cast<uint16_t>(~(s | d)); }},
    {R2_NOTCOPYPEN, [](uint16_t s, uint16_t) { return static_cast<uint16_t>(~s); }},
    {R2_NOT, [](uint16_t, uint16_t d) { return static_cast<uint16_t>(~d); }},
    {R2_XORPEN, [](uint16_t s, uint16_t d) { return static_cast<uint16_t>(s ^ d); }},
    {R2_NOTMASKPEN, [](uint16_t s, uint16_t d) { return static_cast<uint16_t>(~(s & d)); }},
    {R2_MASKPEN, [](uint16_t s, uint16_t d) { return static_cast<uint16_t>(s & d); }},
    {R2_NOTXORPEN, [](uint16_t s, uint16_t d) { return static_cast<uint16_t>(~(s ^ d)); }},
    {R2_MERGEPEN, [](uint16_t s, uint16_t d) { return static_cast<uint16_t>(s | d); }},
    {R2_BLACK, [](uint16_t, uint16_t d) { return d; }},
    {R2_WHITE, [](uint16_t, uint16_t d) { return d; }},
};

// Random source and target rows with a pitch wider than the area; about a
// quarter of the source pixels are the key.
struct Buffers {
    static constexpr int PITCH = 48, ROWS = 5;
    std::vector<uint16_t> src, dst, before;
    explicit Buffers(uint32_t seed) : src(PITCH * ROWS), dst(PITCH * ROWS) {
        std::mt19937 random(seed);
        for (auto& p : src) p = random() % 4 ? static_cast<uint16_t>(random()) : KEY;
        for (auto& p : dst) p = static_cast<uint16_t>(random());
        before = dst;
    }
    BlendArea Area(int width) { return {dst.data(), PITCH, src.data(), PITCH, width, ROWS}; }

    // Every pixel inside the area against expected(x, s, d), keyed ones unchanged, the rest untouched.
    void Check(int width, bool keyed, const std::function<uint16_t(int, uint16_t, uint16_t)>& expected) const {
        for (int y = 0; y < ROWS; ++y)
            for (int x = 0; x < PITCH; ++x) {
                const int i = y * PITCH + x;
                const bool inside = x < width && !(keyed && src[i] == KEY);
                const uint16_t want = inside ? expected(x, src[i], before[i]) : before[i];
                ASSERT_EQ(dst[i], want) << "x " << x << " y " << y << " width " << width << " s " << src[i]
                                        << " d " << before[i];
            }
    }
};

class BlendKernels : public ::testing::TestWithParam<KernelPath> {};

// The half average keeps the upper bits of each channel; add saturates each channel.
TEST_P(BlendKernels, HalfAverageAndSaturatingAdd) {
    for (int width : {1, 7, 8, 19, 40}) {
        Buffers b(width);
        BlendHalfAverage(b.Area(width), BlendKey{true, KEY}, 0xF7DE, GetParam());
        b.Check(width, true, [](int, uint16_t s, uint16_t d) { return HalfPixel(k565, s, d); });
    }
    for (const ChannelLayout* layout : {&k565, &k555, &k556})
        for (int width : {3, 8, 21}) {
            Buffers b(width + 500u);
            BlendAdd(b.Area(width), BlendKey{true, KEY}, *layout, GetParam());
            b.Check(width, true, [&](int, uint16_t s, uint16_t d) { return AddPixel(*layout, s, d); });
        }
    uint16_t d = 0x8410;  // mid grey
    const uint16_t white = 0xFFFF;
    BlendAdd(BlendArea{&d, 1, &white, 1, 1, 1}, BlendKey{false, 0}, k565, GetParam());
    EXPECT_EQ(d, 0xFFFF);
}

TEST_P(BlendKernels, AlphaBlendsTheOddFirstPixelAloneAndTheRestInPairsKeepingKeyedHalves) {
    for (const ChannelLayout* layout : {&k565, &k555, &k556})
        for (int alpha : {0, 1, 2, 3, 64, 127, 129, 153, 255, 256})
            for (int width : {1, 2, 9, 16, 17, 33})
                for (bool keyed : {false, true}) {
                    Buffers b(static_cast<uint32_t>(alpha * 100 + width));
                    BlendAlpha(b.Area(width), BlendKey{keyed, KEY}, *layout, alpha, GetParam());
                    b.Check(width, keyed, [&](int x, uint16_t s, uint16_t d) {
                        return x == 0 && width % 2 ? AlonePixel(*layout, alpha, s, d) : PairPixel(*layout, alpha, s, d);
                    });
                }

    // Pairs at 1-2, 3-4, 5-6 after the odd first pixel: key left, key right, both.
    const uint16_t src[7] = {0x1234, KEY, 0x07E0, 0xFFFF, KEY, KEY, KEY};
    uint16_t dst[7] = {0x0000, 0x1111, 0x2222, 0x3333, 0x4444, 0x5555, 0x6666};
    BlendAlpha(BlendArea{dst, 7, src, 7, 7, 1}, BlendKey{true, KEY}, k565, 200, GetParam());
    EXPECT_EQ(std::vector<uint16_t>(dst, dst + 7),
              (std::vector<uint16_t>{AlonePixel(k565, 200, src[0], 0), 0x1111, PairPixel(k565, 200, src[2], 0x2222),
                                     PairPixel(k565, 200, src[3], 0x3333), 0x4444, 0x5555, 0x6666}));
}

TEST_P(BlendKernels, EveryRasterOperation) {
    for (const RopCase& rop : ROPS)
        for (int width : {5, 24}) {
            Buffers b(static_cast<uint32_t>(rop.rop2 * 7 + width));
            BlendRop2(b.Area(width), BlendKey{true, KEY}, rop.rop2, GetParam());
            SCOPED_TRACE(rop.rop2);
            b.Check(width, true, [&](int, uint16_t s, uint16_t d) { return rop.rule(s, d); });
        }
}

INSTANTIATE_TEST_SUITE_P(Paths, BlendKernels, ::testing::Values(KernelPath::Scalar, KernelPath::Fastest),
                         [](const auto& info) { return info.param == KernelPath::Scalar ? "Scalar" : "Fastest"; });

// 1 % (alpha 2) of black over full blue: alone floor(-62 / 256) takes one
// level off, the pair form's bias rounds to the target. Opacities out of range
// agree on both paths.
TEST(BlendRounding, TheOddFirstPixelFloorsWhereAPairRoundsUpAndOutOfRangeOpacitiesAgree) {
    EXPECT_EQ(AlonePixel(k565, 2, 0, 31), 30);
    uint16_t d[3] = {31, 31, 31};
    const uint16_t s[3] = {0, 0, 0};
    BlendAlpha(BlendArea{d, 3, s, 3, 3, 1}, BlendKey{false, 0}, k565, 2);
    EXPECT_EQ(std::vector<uint16_t>(d, d + 3), (std::vector<uint16_t>{30, 31, 31}));
    for (int alpha : {-25, 300, 512}) {
        Buffers a(9), b(9);
        BlendAlpha(a.Area(30), BlendKey{true, KEY}, k565, alpha, KernelPath::Scalar);
        BlendAlpha(b.Area(30), BlendKey{true, KEY}, k565, alpha, KernelPath::Fastest);
        EXPECT_EQ(a.dst, b.dst) << alpha;
    }
}

// Whole draws: a 20 x 6 keyed slot over a screen of numbered pixels.
class BlendedDraws : public DisplayTest {
protected:
    static constexpr int SLOT = 4;
    static uint16_t Screen(int x, int y) { return static_cast<uint16_t>(x * 97 + y * 1009 + 5); }
    static uint16_t Picture(int x, int y) { return (x + y) % 5 == 0 ? KEY : static_cast<uint16_t>(x * 3111 + y * 517); }

    void SetUp() override {
        DisplayTest::SetUp();
        ASSERT_EQ(CreateImage(SLOT, 20, 6, 1, 0), 1);
        PaintSlot(SLOT, Picture);
        SetImageColorKeyFromCorner(SLOT);  // the top-left pixel is the key
        ASSERT_EQ(gImageSlots[SLOT].colorKey, KEY);
        ASSERT_EQ(CreateImage(9, 640, 480, 0, 0), 1);
        PaintSlot(9, Screen);
        DrawImage(0, 0, 9, 0, 0, -1, -1);
    }

    // The screen around (dx, dy) .. (dx + w, dy + h) as it was; inside it,
    // combine(source x, source y, screen pixel) or the screen where keyed.
    void ExpectScreen(int dx, int dy, int sx, int sy, int w, int h,
                      const std::function<uint16_t(int, int, uint16_t)>& combine) {
        const std::vector<uint16_t> screen = DisplayTest::Screen();
        for (int y = std::max(0, dy - 2); y < dy + h + 2; ++y)
            for (int x = std::max(0, dx - 2); x < dx + w + 2; ++x) {
                const bool inside = x >= dx && x < dx + w && y >= dy && y < dy + h;
                const int px = sx + x - dx, py = sy + y - dy;
                const uint16_t want = inside && Picture(px, py) != KEY ? combine(px, py, Screen(x, y)) : Screen(x, y);
                ASSERT_EQ(screen[y * 640 + x], want) << x << "," << y;
            }
    }
};

TEST_F(BlendedDraws, TranslucentHalfFullNothingAndClippedToAnOddWidth) {
    EXPECT_EQ(DrawImageTranslucent(30, 40, SLOT, 50, 0, 0, -1, -1, 0), 1);
    ExpectScreen(30, 40, 0, 0, 20, 6, [](int x, int y, uint16_t d) { return HalfPixel(k565, Picture(x, y), d); });
    EXPECT_EQ(DrawImageTranslucent(100, 40, SLOT, 100, 0, 0, -1, -1, 0), 1);
    ExpectScreen(100, 40, 0, 0, 20, 6, [](int x, int y, uint16_t) { return Picture(x, y); });
    EXPECT_EQ(DrawImageTranslucent(200, 40, SLOT, 0, 0, 0, -1, -1, 0), 1);
    ExpectScreen(200, 40, 0, 0, 20, 6, [](int, int, uint16_t d) { return d; });
    // Clipped on the left from 20 to 13 columns: the first column is blended
    // alone. 37 % is alpha 94, where the two forms round differently.
    EXPECT_EQ(DrawImageTranslucent(-7, 10, SLOT, 37, 0, 0, -1, 5, 0), 1);
    ExpectScreen(0, 10, 7, 0, 13, 5, [](int x, int y, uint16_t d) {
        return x == 7 ? AlonePixel(k565, 94, Picture(x, y), d) : PairPixel(k565, 94, Picture(x, y), d);
    });
    EXPECT_EQ(DrawImageTranslucent(700, 10, SLOT, 37, 0, 0, -1, -1, 0), 0);
}

TEST_F(BlendedDraws, ScanlinesAndLowDepthsDrawEveryOtherRow) {
    const auto everyOtherRow = [](int x, int y, uint16_t d) { return y % 2 == 0 ? Picture(x, y) : d; };
    EXPECT_EQ(DrawImageTranslucent(10, 10, SLOT, 50, 0, 0, -1, -1, 1), 1);
    ExpectScreen(10, 10, 0, 0, 20, 6, everyOtherRow);
    {
        const ScopedValue depth(gDisplay.bitDepth, 8);
        EXPECT_EQ(DrawImageTranslucent(60, 10, SLOT, 50, 0, 1, -1, -1, 0), 1);
    }
    ExpectScreen(60, 10, 0, 1, 20, 5, [](int x, int y, uint16_t d) { return y % 2 == 1 ? Picture(x, y) : d; });
    const ScopedValue depth(gDisplay.bitDepth, 32);
    EXPECT_EQ(DrawImageTranslucent(60, 10, SLOT, 50, 0, 0, -1, -1, 0), 0);
}

TEST_F(BlendedDraws, AddRasterOperationsAndPlainFallbacks) {
    EXPECT_EQ(DrawImageAdd(5, 50, SLOT, 0, 0, -1, -1), 1);
    ExpectScreen(5, 50, 0, 0, 20, 6, [](int x, int y, uint16_t d) { return AddPixel(k565, Picture(x, y), d); });
    EXPECT_EQ(DrawImageRop(5, 100, SLOT, R2_NOT, 0, 0, -1, -1), 1);
    ExpectScreen(5, 100, 0, 0, 20, 6, [](int, int, uint16_t d) { return static_cast<uint16_t>(~d); });
    EXPECT_EQ(DrawImageRop(5, 150, SLOT, R2_XORPEN, 2, 1, 9, 4), 1);
    ExpectScreen(5, 150, 2, 1, 7, 3, [](int x, int y, uint16_t d) { return static_cast<uint16_t>(Picture(x, y) ^ d); });
    EXPECT_EQ(DrawImageRop(5, 200, SLOT, R2_NOP, 0, 0, -1, -1), 1);
    ExpectScreen(5, 200, 0, 0, 20, 6, [](int, int, uint16_t d) { return d; });
    // Copying, and any draw at 8 bits, fall back to a plain draw.
    const auto plain = [](int x, int y, uint16_t) { return Picture(x, y); };
    EXPECT_EQ(DrawImageRop(5, 250, SLOT, R2_COPYPEN, 0, 0, -1, -1), 1);
    ExpectScreen(5, 250, 0, 0, 20, 6, plain);
    {
        const ScopedValue depth(gDisplay.bitDepth, 8);
        EXPECT_EQ(DrawImageAdd(5, 300, SLOT, 0, 0, -1, -1), 1);
        EXPECT_EQ(DrawImageRop(5, 350, SLOT, R2_NOT, 0, 0, -1, -1), 1);
    }
    ExpectScreen(5, 300, 0, 0, 20, 6, plain);
    ExpectScreen(5, 350, 0, 0, 20, 6, plain);
}

TEST_F(BlendedDraws, RefusedSlotsAndALostSlot) {
    EXPECT_EQ(DrawImageAdd(0, 0, WORK_SLOT, 0, 0, -1, -1), 0);
    EXPECT_EQ(DrawImageRop(0, 0, 77, R2_NOT, 0, 0, -1, -1), 0);
    auto* surface = static_cast<SoftwareSurface*>(gImageSlots[SLOT].surface);
    surface->MarkLost();
    EXPECT_EQ(DrawImageAdd(5, 50, SLOT, 0, 0, -1, -1), 0);
    EXPECT_EQ(gImageSlots[SLOT].surface->IsLost(), DD_OK) << "restored";
    EXPECT_EQ(BackPixel(6, 51), Screen(6, 51));
}

}  // namespace
