// Lines, rectangles, ellipses, fills and inversion: GDI's pixel rules
// checked against ideal geometry, every mix mode against its truth table,
// clipping, and one fixed scene per pixel format against committed hashes.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <utility>

#include "tests/platform/gdi_test_support.h"

namespace {

struct RasterCanvas : Canvas {
    using Canvas::Canvas;

    // Pen and brush of their own for the scope of the drawing.
    void WithPenAndBrush(HGDIOBJ pen, HGDIOBJ brush, const std::function<void()>& draw) {
        HGDIOBJ oldPen = SelectObject(dc, pen);
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        draw();
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
    }
    void Line(int x0, int y0, int x1, int y1) {
        MoveToEx(dc, x0, y0, nullptr);
        LineTo(dc, x1, y1);
    }
    std::set<std::pair<int, int>> Lit() const {
        std::set<std::pair<int, int>> lit;
        for (int y = 0; y < buffer.height; ++y)
            for (int x = 0; x < buffer.width; ++x)
                if (Raw(x, y)) lit.insert({x, y});
        return lit;
    }
    void Randomise(uint32_t seed) {
        std::mt19937 random(seed);
        for (auto& byte : bytes) byte = static_cast<uint8_t>(random());
    }
};

// The pixels of an ideal line from (x0, y0) towards (x1, y1), end left out:
// one per step of the longer axis, the nearest to the exact line, and of two
// equally near the upper or the left one.
std::set<std::pair<int, int>> IdealLine(int x0, int y0, int x1, int y1) {
    std::set<std::pair<int, int>> pixels;
    const int dx = x1 - x0, dy = y1 - y0;
    const int steps = std::max(std::abs(dx), std::abs(dy));
    for (int i = 0; i < steps; ++i) {
        const double x = x0 + static_cast<double>(dx) * i / steps, y = y0 + static_cast<double>(dy) * i / steps;
        pixels.insert({static_cast<int>(std::ceil(x - 0.5)), static_cast<int>(std::ceil(y - 0.5))});
    }
    return pixels;
}

// Lines from (30, 30) into every octant, and lines reaching far past a clip
// region, which keeps every pixel where the whole line puts it.
TEST(Lines, EveryOctantLightsTheIdealPixelsClippedOrNotAndWiderPensCoverTheBand) {
    std::vector<std::array<int, 4>> lines;
    for (auto [ex, ey] : {std::pair{20, 0}, {20, 7}, {20, 10}, {13, 20}, {0, 20}, {-7, 20}, {-20, 10}, {-20, 3},
                          {-20, 0}, {-20, -9}, {-10, -20}, {-1, -20}, {0, -20}, {6, -20}, {20, -20}, {20, -10}, {3, 2},
                          {-2, 3}})
        lines.push_back({30, 30, 30 + ex, 30 + ey});
    const size_t unclipped = lines.size();
    lines.insert(lines.end(), {{-100000, -3000, 100000, 4001}, {5, -70000, 20, 90000}, {63, 0, 0, 17}, {-7, 40, 70, -3},
                               {50, 50, -20, 50}, {10, 90, 10, -90}, {-30, -31, 90, 89}, {100, 33, -100, 34}});
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto [x0, y0, x1, y1] = lines[i];
        const RECT clip = i < unclipped ? RECT{0, 0, 64, 64} : RECT{3, 5, 41, 33};
        RasterCanvas canvas(64, 64, PIXEL_FORMAT_8888);
        if (i >= unclipped) ClipTo(canvas.dc, clip.left, clip.top, clip.right, clip.bottom);
        canvas.WithPenAndBrush(GetStockObject(WHITE_PEN), GetStockObject(NULL_BRUSH),
                               [&] { canvas.Line(x0, y0, x1, y1); });
        std::set<std::pair<int, int>> expected;
        for (auto p : IdealLine(x0, y0, x1, y1))
            if (p.first >= clip.left && p.first < clip.right && p.second >= clip.top && p.second < clip.bottom)
                expected.insert(p);
        EXPECT_EQ(canvas.Lit(), expected) << x0 << "," << y0 << " to " << x1 << "," << y1;
        if (i < unclipped) { EXPECT_EQ(canvas.Raw(x1, y1), 0u) << "the end is left out"; }
    }
    // Pen widths 0 and 1 draw one pixel wide; wider pens cover the band.
    for (int width : {0, 1, 5}) {
        RasterCanvas canvas(40, 40, PIXEL_FORMAT_8888);
        HPEN pen = CreatePen(PS_SOLID, width, RGB(255, 255, 255));
        canvas.WithPenAndBrush(pen, GetStockObject(NULL_BRUSH), [&] { canvas.Line(5, 20, 30, 20); });
        DeleteObject(pen);
        if (width <= 1) {
            EXPECT_EQ(canvas.Lit(), IdealLine(5, 20, 30, 20));
            continue;
        }
        // Centres within 2.5 of the segment: rows 18..22, round ends reaching 2.5 beyond.
        std::set<std::pair<int, int>> band;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const double along = std::clamp(x, 5, 30);
                if (std::hypot(x - along, y - 20.0) <= 2.5) band.insert({x, y});
            }
        EXPECT_EQ(canvas.Lit(), band);
    }
}

// The 16 mix modes, written from their names: P the pen, D the target.
uint32_t ByName(int rop2, uint32_t p, uint32_t d) {
    switch (rop2) {
    case R2_BLACK: return 0;                case R2_NOTMERGEPEN: return ~(p | d); case R2_MASKNOTPEN: return ~p & d;
    case R2_NOTCOPYPEN: return ~p;          case R2_MASKPENNOT: return p & ~d;    case R2_NOT: return ~d;
    case R2_XORPEN: return p ^ d;           case R2_NOTMASKPEN: return ~(p & d);  case R2_MASKPEN: return p & d;
    case R2_NOTXORPEN: return ~(p ^ d);     case R2_NOP: return d;                case R2_MERGENOTPEN: return ~p | d;
    case R2_COPYPEN: return p;              case R2_MERGEPENNOT: return p | ~d;   case R2_MERGEPEN: return p | d;
    default: return ~0u;  // R2_WHITE
    }
}

TEST(MixModes, EveryModeFollowsItsTruthTableAndXorTwiceRestoresLinesRectanglesAndEllipses) {
    // RGB(0xA8, 0x54, 0xF0) in 5-6-5: red 21, green 21, blue 30.
    const COLORREF color = RGB(0xA8, 0x54, 0xF0);
    const uint32_t pen = (21u << 11) | (21u << 5) | 30u;
    for (int rop2 = R2_BLACK; rop2 <= R2_WHITE; ++rop2) {
        RasterCanvas canvas(40, 3, PIXEL_FORMAT_565);
        canvas.Randomise(static_cast<uint32_t>(rop2));
        const OwnedPixels before = canvas;
        SetROP2(canvas.dc, rop2);
        HPEN linePen = CreatePen(PS_SOLID, 0, color);
        HBRUSH brush = CreateSolidBrush(color);
        canvas.WithPenAndBrush(linePen, brush, [&] {
            canvas.Line(0, 0, 40, 0);         // a line along row 0
            Rectangle(canvas.dc, 0, 1, 40, 3);  // a filled box over rows 1 and 2
        });
        for (HGDIOBJ object : {linePen, brush}) DeleteObject(object);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(canvas.Raw(x, y), ByName(rop2, pen, before.Raw(x, y)) & 0xFFFF)
                    << "mode " << rop2 << " at (" << x << ", " << y << ")";
    }
    // XOR twice restores lines, rectangles and ellipses in every format.
    for (PixelFormat format : {PIXEL_FORMAT_INDEXED8, PIXEL_FORMAT_565, PIXEL_FORMAT_888, PIXEL_FORMAT_8888}) {
        RasterCanvas canvas(70, 50, format);
        canvas.Randomise(7);
        const std::vector<uint8_t> before = canvas.bytes;
        SetROP2(canvas.dc, R2_XORPEN);
        HPEN pen = CreatePen(PS_SOLID, 0, RGB(200, 30, 90));
        HBRUSH brush = CreateSolidBrush(RGB(10, 220, 140));
        for (int pass = 0; pass < 2; ++pass)
            canvas.WithPenAndBrush(pen, brush, [&] {
                canvas.Line(-5, 3, 80, 47);
                canvas.Line(60, 0, 2, 49);
                Rectangle(canvas.dc, 4, 4, 5, 30);  // one column: the sides meet
                Rectangle(canvas.dc, 10, 8, 66, 9);
                Rectangle(canvas.dc, 20, 12, 64, 45);
                Ellipse(canvas.dc, -10, 2, 31, 47);
                Ellipse(canvas.dc, 40, 20, 43, 21);
                RECT r{30, 5, 60, 25};
                InvertRect(canvas.dc, &r);
            });
        for (HGDIOBJ object : {pen, brush}) DeleteObject(object);
        EXPECT_EQ(canvas.bytes, before) << format.bitsPerPixel << " bits per pixel";
    }
}

TEST(Rectangles, OutlineInteriorExcludedEdgesNullPenFillsAndFillsCutByTheClipRegionAndTheSurface) {
    RasterCanvas canvas(12, 10, PIXEL_FORMAT_8888), unpenned(12, 10, PIXEL_FORMAT_8888);
    HPEN pen = CreatePen(PS_SOLID, 0, RGB(0, 0, 255));
    HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
    canvas.WithPenAndBrush(pen, brush, [&] { Rectangle(canvas.dc, 9, 7, 2, 1); });  // given backwards
    unpenned.WithPenAndBrush(GetStockObject(NULL_PEN), brush, [&] { Rectangle(unpenned.dc, 2, 1, 9, 7); });
    for (HGDIOBJ object : {pen, brush}) DeleteObject(object);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool inside = x >= 2 && x < 9 && y >= 1 && y < 7;
            const bool edge = x == 2 || x == 8 || y == 1 || y == 6;
            EXPECT_EQ(canvas.Raw(x, y), !inside ? 0u : edge ? 0xFFu : 0xFF00u) << x << ", " << y;
            EXPECT_EQ(unpenned.Raw(x, y), x >= 2 && x < 8 && y >= 1 && y < 6 ? 0xFF00u : 0u) << x << ", " << y;
        }
    // Fills are cut by the clip region and the surface.
    for (PixelFormat format : {PIXEL_FORMAT_INDEXED8, PIXEL_FORMAT_555, PIXEL_FORMAT_888, PIXEL_FORMAT_8888}) {
        RasterCanvas canvas(30, 20, format);
        ClipTo(canvas.dc, -50, 4, 25, 100);  // reaches past three surface edges
        HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
        RECT everywhere{-1000, -1000, 1000, 1000};
        EXPECT_TRUE(FillRect(canvas.dc, &everywhere, brush));
        canvas.WithPenAndBrush(GetStockObject(WHITE_PEN), brush, [&] { Rectangle(canvas.dc, -9, -9, 90, 90); });
        DeleteObject(brush);
        std::set<std::pair<int, int>> expected;
        for (int y = 4; y < 20; ++y)
            for (int x = 0; x < 25; ++x) expected.insert({x, y});
        EXPECT_EQ(canvas.Lit(), expected) << format.bitsPerPixel << " bits per pixel";
    }
}

// Pixel values of an ellipse drawn into a 32-bit canvas: pen 1, brush 2.
std::vector<uint32_t> EllipsePixels(RasterCanvas& canvas, HGDIOBJ pen, HGDIOBJ brush, const RECT& box) {
    std::fill(canvas.bytes.begin(), canvas.bytes.end(), 0);
    canvas.WithPenAndBrush(pen, brush, [&] { Ellipse(canvas.dc, box.left, box.top, box.right, box.bottom); });
    std::vector<uint32_t> values;
    for (int y = 0; y < canvas.buffer.height; ++y)
        for (int x = 0; x < canvas.buffer.width; ++x) values.push_back(canvas.Raw(x, y));
    return values;
}

TEST(Ellipses, AreFourFoldSymmetricWithinTheirBoxWithClosedOutlinesAndObjectsSelectAndDeleteByTheRules) {
    RasterCanvas canvas(40, 40, PIXEL_FORMAT_8888);
    HPEN pen = CreatePen(PS_SOLID, 0, RGB(0, 0, 1));  // raw 1 in 32 bits
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 2));
    for (int w = 1; w <= 21; w += 2)
        for (int h = 1; h <= 24; h += 3) {
            const RECT box{3 + w % 5, 2 + h % 3, 3 + w % 5 + w, 2 + h % 3 + h};
            const std::vector<uint32_t> filled = EllipsePixels(canvas, pen, brush, box);
            const std::vector<uint32_t> outline = EllipsePixels(canvas, pen, GetStockObject(NULL_BRUSH), box);
            const auto at = [&](const std::vector<uint32_t>& v, int x, int y) { return v[y * 40 + x]; };
            bool touches[4] = {};
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x) {
                    const uint32_t v = at(filled, x, y);
                    const bool inBox = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
                    ASSERT_TRUE(inBox || v == 0) << w << "x" << h << " at " << x << ", " << y;
                    if (!inBox) continue;
                    const int mx = box.left + box.right - 1 - x, my = box.top + box.bottom - 1 - y;
                    ASSERT_EQ(v, at(filled, mx, y)) << w << "x" << h << " mirrored across at " << x << ", " << y;
                    ASSERT_EQ(v, at(filled, x, my)) << w << "x" << h << " mirrored down at " << x << ", " << y;
                    ASSERT_EQ(at(outline, x, y), v == 1 ? 1u : 0u) << "outline alone differs at " << x << ", " << y;
                    if (v == 2) {  // interior: never next to the outside
                        ASSERT_TRUE(at(filled, x - 1, y) && at(filled, x + 1, y) && at(filled, x, y - 1) &&
                                    at(filled, x, y + 1));
                    }
                    if (v) {
                        touches[0] |= x == box.left, touches[1] |= x == box.right - 1;
                        touches[2] |= y == box.top, touches[3] |= y == box.bottom - 1;
                    }
                }
            EXPECT_TRUE(touches[0] && touches[1] && touches[2] && touches[3]) << w << "x" << h;
        }
    for (HGDIOBJ object : {pen, brush}) DeleteObject(object);
    // Objects: selection returns the previous one, stock objects stay, FillRect ignores the mix mode.
    RasterCanvas small(8, 4, PIXEL_FORMAT_565);
    HPEN stale = CreatePen(PS_SOLID, 0, 0);
    EXPECT_EQ(SelectObject(small.dc, stale), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(small.dc, GetStockObject(NULL_BRUSH)), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(small.dc, GetStockObject(WHITE_PEN)), stale);
    EXPECT_TRUE(DeleteObject(stale));
    EXPECT_FALSE(DeleteObject(GetStockObject(NULL_BRUSH)));
    RECT all{0, 0, 8, 4};
    EXPECT_EQ(FillRect(small.dc, &all, stale), 0) << "a deleted handle is refused as a brush";
    // The current position follows LineTo, and a null pen draws nothing.
    POINT previous{};
    MoveToEx(small.dc, 2, 3, nullptr);
    small.WithPenAndBrush(GetStockObject(NULL_PEN), GetStockObject(NULL_BRUSH), [&] { LineTo(small.dc, 7, 3); });
    MoveToEx(small.dc, 0, 0, &previous);
    EXPECT_EQ((std::pair{previous.x, previous.y}), (std::pair<LONG, LONG>{7, 3}));
    EXPECT_TRUE(small.Lit().empty());
    // FillRect ignores the mix mode; InvertRect flips every bit.
    SetROP2(small.dc, R2_NOP);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT left{0, 0, 4, 4}, right{8, 4, 4, 0};
    FillRect(small.dc, &left, red);
    DeleteObject(red);
    InvertRect(small.dc, &right);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(small.Raw(x, 3), x < 4 ? 0xF800u : 0xFFFFu) << x;
}

// One scene with every operation, a few mix modes and clipping.
void DrawScene(HDC dc) {
    HPEN pen = CreatePen(PS_SOLID, 0, RGB(250, 128, 12));
    HPEN wide = CreatePen(PS_SOLID, 4, RGB(12, 200, 250));
    HBRUSH brush = CreateSolidBrush(RGB(40, 90, 200));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    RECT fill{2, 2, 60, 30};
    FillRect(dc, &fill, brush);
    for (int i = 0; i < 16; ++i) {
        MoveToEx(dc, 40, 30, nullptr);
        LineTo(dc, 40 + static_cast<int>(35 * std::cos(i * 0.4)), 30 + static_cast<int>(28 * std::sin(i * 0.4)));
    }
    Rectangle(dc, 5, 35, 30, 58);
    Ellipse(dc, 33, 33, 77, 59);
    SetROP2(dc, R2_XORPEN);
    Ellipse(dc, 50, 5, 75, 40);
    SetROP2(dc, R2_MERGENOTPEN);
    Rectangle(dc, 10, 10, 70, 20);
    SetROP2(dc, R2_COPYPEN);
    SelectObject(dc, wide);
    MoveToEx(dc, 3, 55, nullptr);
    LineTo(dc, 76, 40);
    ClipTo(dc, 20, 0, 60, 45);
    RECT invert{0, 25, 80, 50};
    InvertRect(dc, &invert);
    SelectClipRgn(dc, nullptr);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    for (HGDIOBJ object : {brush, wide, pen}) DeleteObject(object);
}

uint64_t Fnv1a(const std::vector<uint8_t>& bytes) {
    uint64_t hash = 0xCBF29CE484222325ull;
    for (uint8_t b : bytes) hash = (hash ^ b) * 0x100000001B3ull;
    return hash;
}

// The hashes were taken from a picture looked at and found right; a change
// in any pixel rule shows here first.
TEST(Scene, EachPixelFormatDrawsTheCommittedPicture) {
    const std::pair<PixelFormat, uint64_t> cases[] = {
        {PIXEL_FORMAT_INDEXED8, 18377999217876095864ull}, {PIXEL_FORMAT_565, 3107051728150825901ull},
        {PIXEL_FORMAT_555, 1628603571051878363ull},       {PIXEL_FORMAT_888, 3860443507082149759ull},
        {PIXEL_FORMAT_8888, 6154934411003346779ull},
    };
    std::vector<std::unique_ptr<RasterCanvas>> canvases;
    for (auto [format, expected] : cases) {
        RasterCanvas& canvas = *canvases.emplace_back(std::make_unique<RasterCanvas>(80, 60, format));
        DrawScene(canvas.dc);
        EXPECT_EQ(Fnv1a(canvas.bytes), expected) << format.bitsPerPixel << " bits per pixel, mask "
                                                         << std::hex << format.redMask;
    }
    // Twenty-four and thirty-two bit pixels show the same colours.
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(GetPixel(canvases[3]->dc, x, y), GetPixel(canvases[4]->dc, x, y)) << x << ", " << y;
}

}  // namespace
