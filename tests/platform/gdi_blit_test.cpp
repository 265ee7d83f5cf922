// BitBlt and StretchBlt between pixel formats, clipping, and single pixels
// in the formats the display uses.
#include <gtest/gtest.h>

#include "tests/platform/gdi_test_support.h"

namespace {

// A DIB section of the given depth, selected into its own memory context.
struct DibInContext {
    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
    HGDIOBJ old = nullptr;
    void* bits = nullptr;
    DibInContext(int width, int height, int bitsPerPixel, const std::vector<RGBQUAD>& colors = {}) {
        std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
        auto* header = reinterpret_cast<BITMAPINFO*>(info.data());
        header->bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, static_cast<WORD>(bitsPerPixel), BI_RGB,
                             0, 0, 0, static_cast<DWORD>(colors.size()), 0};
        std::copy(colors.begin(), colors.end(), header->bmiColors);
        bitmap = CreateDIBSection(nullptr, header, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bitmap);
    }
    ~DibInContext() {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
};

// 8-bit palette bitmaps into 5-6-5, 24-bit into 5-5-5, 16-bit into 8-bit
// surfaces by the nearest palette colour.
TEST(Blit, ConvertsBetweenFormatsClipsStretchesMirrorsAndReadsTheOriginalOfAnOverlap) {
    DibInContext source(3, 2, 8, {{0, 0, 255, 0}, {0x56, 0x34, 0x12, 0}, {255, 255, 255, 0}});
    auto* rows = static_cast<uint8_t*>(source.bits);  // bottom row first, 4 bytes per row
    rows[4] = 0, rows[5] = 1, rows[6] = 2;                // top row
    rows[0] = 2, rows[1] = 2, rows[2] = 1;
    Canvas surface(4, 3, PIXEL_FORMAT_565);
    EXPECT_TRUE(BitBlt(surface.dc, 1, 1, 3, 2, source.dc, 0, 0, SRCCOPY));
    // 0x11AA: 0x12 >> 3, 0x34 >> 2, 0x56 >> 3.
    EXPECT_EQ((std::vector<uint32_t>{surface.Raw(1, 1), surface.Raw(2, 1), surface.Raw(3, 1), surface.Raw(3, 2), surface.Raw(0, 0)}),
              (std::vector<uint32_t>{0xF800, 0x11AA, 0xFFFF, 0x11AA, 0}));
    DibInContext trueColour(2, 1, 24);
    const uint8_t pixels[6] = {0x56, 0x34, 0x12, 0xFF, 0x00, 0x80};  // blue, green, red each
    std::copy(pixels, pixels + 6, static_cast<uint8_t*>(trueColour.bits));
    Canvas fifteen(2, 1, PIXEL_FORMAT_555);
    EXPECT_TRUE(BitBlt(fifteen.dc, 0, 0, 2, 1, trueColour.dc, 0, 0, SRCCOPY));
    EXPECT_EQ((std::vector<uint32_t>{fifteen.Raw(0, 0), fifteen.Raw(1, 0)}),
              (std::vector<uint32_t>{0x12u >> 3 << 10 | 0x34u >> 3 << 5 | 0x56u >> 3, 0x80u >> 3 << 10 | 0x1Fu}));
    PaletteEntryRGB palette[256] = {};
    palette[10] = {250, 0, 0, 0};
    palette[20] = {0, 0, 240, 0};
    palette[30] = {128, 128, 128, 0};
    Canvas sixteen(3, 1, PIXEL_FORMAT_565);
    SetPixelV(sixteen.dc, 0, 0, RGB(255, 16, 0));
    SetPixelV(sixteen.dc, 1, 0, RGB(0, 8, 200));
    SetPixelV(sixteen.dc, 2, 0, RGB(140, 120, 130));
    Canvas target(3, 1, PIXEL_FORMAT_INDEXED8, palette);
    EXPECT_TRUE(BitBlt(target.dc, 0, 0, 3, 1, sixteen.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(target.bytes, (std::vector<uint8_t>{10, 20, 30}));
    // Blits are clipped to the region and the target.
    Canvas white(20, 20, PIXEL_FORMAT_565), clipped(8, 8, PIXEL_FORMAT_565);
    std::fill(white.bytes.begin(), white.bytes.end(), 0xFF);
    EXPECT_EQ(ClipTo(clipped.dc, 2, 3, 5, 7), SIMPLEREGION);
    EXPECT_TRUE(BitBlt(clipped.dc, -4, -4, 20, 20, white.dc, 0, 0, SRCCOPY));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(clipped.Raw(x, y), (x >= 2 && x < 5 && y >= 3 && y < 7) ? 0xFFFFu : 0u) << x << "," << y;
    SelectClipRgn(clipped.dc, nullptr);
    EXPECT_TRUE(BitBlt(clipped.dc, 6, 6, 4, 4, white.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(clipped.Raw(7, 7), 0xFFFFu);
    EXPECT_EQ(clipped.Raw(5, 7), 0u);
    // Stretches scale by the nearest pixel and mirror negative sizes.
    Canvas pair(2, 1, PIXEL_FORMAT_8888), stretched(4, 2, PIXEL_FORMAT_8888);
    SetPixelV(pair.dc, 0, 0, RGB(1, 2, 3));
    SetPixelV(pair.dc, 1, 0, RGB(4, 5, 6));
    EXPECT_TRUE(StretchBlt(stretched.dc, 0, 0, 4, 2, pair.dc, 0, 0, 2, 1, SRCCOPY));
    const COLORREF doubled[4] = {RGB(1, 2, 3), RGB(1, 2, 3), RGB(4, 5, 6), RGB(4, 5, 6)};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(GetPixel(stretched.dc, x, y), doubled[x]);
    EXPECT_TRUE(StretchBlt(stretched.dc, 4, 0, -4, 1, pair.dc, 0, 0, 2, 1, SRCCOPY));
    for (int x = 0; x < 4; ++x) EXPECT_EQ(GetPixel(stretched.dc, x, 0), doubled[3 - x]);
    // An overlapping copy within one surface reads the original pixels.
    Canvas row(5, 1, PIXEL_FORMAT_INDEXED8);
    row.bytes = {1, 2, 3, 4, 5};
    EXPECT_TRUE(BitBlt(row.dc, 1, 0, 4, 1, row.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(row.bytes, (std::vector<uint8_t>{1, 1, 2, 3, 4}));
}

// SetPixel answers with the colour as it reads back: 5-bit channels widen as
// (v << 3) | (v >> 2), 6-bit ones as (v << 2) | (v >> 4).
TEST(Pixels, RoundTripsAt565And555And32BitsWithinTheClipRegion) {
    struct Case { PixelFormat format; uint32_t raw; COLORREF readBack; };
    const COLORREF color = RGB(0x12, 0x34, 0x56);
    const Case cases[] = {
        {PIXEL_FORMAT_565, 0x11AA, RGB(0x10, 0x34, 0x52)},
        {PIXEL_FORMAT_555, (0x02 << 10) | (0x06 << 5) | 0x0A, RGB(0x10, 0x31, 0x52)},
        {PIXEL_FORMAT_8888, 0x123456, color},
    };
    for (const Case& c : cases) {
        Canvas surface(2, 2, c.format);
        const HDC dc = surface.dc;
        EXPECT_EQ(SetPixel(dc, 1, 1, color), c.readBack);
        EXPECT_EQ(surface.Raw(1, 1), c.raw);
        EXPECT_EQ(GetPixel(dc, 1, 1), c.readBack);
        EXPECT_EQ(SetPixel(dc, 0, 0, c.readBack), c.readBack) << "a read-back colour is stable";
        EXPECT_EQ(SetPixel(dc, 0, 0, RGB(255, 255, 255)), RGB(255, 255, 255));
        EXPECT_EQ(SetPixel(dc, 2, 0, color), CLR_INVALID);
        EXPECT_EQ(GetPixel(dc, -1, 0), CLR_INVALID);
    }
    // A clip region limits pixel access.
    Canvas surface(4, 4, PIXEL_FORMAT_565);
    ClipTo(surface.dc, 1, 1, 3, 3);
    EXPECT_FALSE(SetPixelV(surface.dc, 0, 0, RGB(255, 0, 0)));
    EXPECT_TRUE(SetPixelV(surface.dc, 2, 2, RGB(255, 0, 0)));
    EXPECT_EQ(surface.Raw(0, 0), 0u);
    EXPECT_EQ(surface.Raw(2, 2), 0xF800u);
}

}  // namespace
