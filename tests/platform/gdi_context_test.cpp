// Device contexts and objects: the stock bitmap of a new memory context,
// selection rules, the display's answers, DIB reading and colour tables.
#include <gtest/gtest.h>

#include <vector>

#include "platform/win/platform.h"
#include "platform/win/resources.h"
#include "tests/platform/gdi_test_support.h"

namespace {

// The headless platform open with a chosen desktop depth, for one scope.
struct HeadlessDesktop {
    explicit HeadlessDesktop(int depth) {
        PlatformOptions options;
        options.backend = "headless";
        options.desktopDepth = depth;
        std::string error;
        EXPECT_TRUE(PlatformOpen(options, &error)) << error;
    }
    ~HeadlessDesktop() { PlatformClose(); }
};

TEST(Contexts, MemoryContextsTheDisplayDibsResourceBitmapsAndIconsFollowTheRules) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = LoadBitmapA(nullptr, "GDI_SAMPLE");
    ASSERT_NE(bitmap, nullptr);
    HGDIOBJ stock = SelectObject(dc, bitmap);
    BITMAP info{};
    ASSERT_EQ(GetObjectA(stock, sizeof info, &info), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ((std::vector<int>{info.bmWidth, info.bmHeight, info.bmBitsPixel, info.bmPlanes}), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_FALSE(DeleteObject(stock)) << "the stock bitmap stays";
    EXPECT_EQ(SetROP2(dc, R2_XORPEN), R2_COPYPEN) << "the mix mode starts as copy-pen";
    EXPECT_EQ(SetROP2(dc, R2_NOT), R2_XORPEN);
    HDC other = CreateCompatibleDC(dc);
    EXPECT_EQ(SelectObject(other, bitmap), nullptr) << "a bitmap lives in one context at a time";
    EXPECT_FALSE(DeleteObject(bitmap)) << "a selected bitmap cannot be deleted";
    EXPECT_EQ(SelectObject(dc, stock), bitmap);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap)) << "a stale handle is refused";
    EXPECT_TRUE(DeleteDC(other));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    // The display reports the desktop depth.
    for (int depth : {8, 16, 32}) {
        const HeadlessDesktop desktop(depth);
        HDC screen = GetDC(nullptr);
        EXPECT_EQ((std::vector<int>{GetDeviceCaps(screen, BITSPIXEL), GetDeviceCaps(screen, PLANES)}),
                  (std::vector<int>{depth, 1}));
        ReleaseDC(nullptr, screen);
    }
    // The system palette holds the twenty static colours.
    HDC screen = GetDC(nullptr);
    PALETTEENTRY entries[256];
    ASSERT_EQ(GetSystemPaletteEntries(screen, 0, 256, entries), 256u);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> colours;
    for (int i : {1, 9, 10, 245, 246, 249, 255}) colours.push_back(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue));
    EXPECT_EQ(colours, (std::vector<COLORREF>{0x000080, 0xF0CCA8, 0, 0, 0xF0FCFF, 0x0000FF, 0xFFFFFF}));
    for (const PALETTEENTRY& e : entries) EXPECT_EQ(e.peFlags, 0);
    // DIBs read back in another depth and through their colour table.
    std::vector<uint8_t> storage(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* dib = reinterpret_cast<BITMAPINFO*>(storage.data());
    dib->bmiHeader = {sizeof(BITMAPINFOHEADER), 2, -2, 1, 8, BI_RGB, 0, 0, 0, 2, 0};
    dib->bmiColors[0] = {0x30, 0x20, 0x10, 0};
    dib->bmiColors[1] = {0xFF, 0xFF, 0xFF, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, dib, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    const uint8_t indices[8] = {0, 1, 0, 0, 1, 1, 0, 0};  // two top-down rows of 4 bytes
    std::copy(indices, indices + 8, static_cast<uint8_t*>(bits));
    dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, section);
    RGBQUAD table[4] = {};
    EXPECT_EQ(GetDIBColorTable(dc, 0, 4, table), 2u);
    EXPECT_EQ(table[0].rgbRed, 0x10);
    EXPECT_EQ(table[1].rgbBlue, 0xFF);
    BITMAPINFO request{};
    request.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    uint8_t rgb[16] = {};  // bottom-up rows of 8 bytes
    SelectObject(dc, old);
    EXPECT_EQ(GetDIBits(dc, section, 0, 2, rgb, &request, DIB_RGB_COLORS), 2);
    const uint8_t expected[16] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0,  // bottom row: 1, 1
                                  0x30, 0x20, 0x10, 0xFF, 0xFF, 0xFF, 0, 0};
    EXPECT_TRUE(std::equal(rgb, rgb + 16, expected));
    // A bitmap compatible with a 16-bit display, made from the same pixels.
    const HeadlessDesktop desktop(16);
    screen = GetDC(nullptr);
    HBITMAP compatible = CreateDIBitmap(screen, &dib->bmiHeader, CBM_INIT, bits, dib, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(compatible, nullptr);
    BITMAP described{};
    GetObjectA(compatible, sizeof described, &described);
    EXPECT_EQ(described.bmBitsPixel, 16);
    SelectObject(dc, compatible);
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0x10, 0x20, 0x31)) << "5-6-5 widens 0x30's top five bits";
    SelectObject(dc, old);
    DeleteObject(compatible);
    DeleteObject(section);
    // Resource bitmaps are found by name without regard to case.
    ASSERT_NE(FindResource("gdi_sample", "bitmap"), nullptr);
    EXPECT_EQ(FindResource("GDI_SAMPLE", "WAVE"), nullptr);
    EXPECT_EQ(LoadBitmapA(nullptr, "NO_SUCH_BITMAP"), nullptr);
    auto* sample = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), "Gdi_Sample", IMAGE_BITMAP, 0, 0,
                                                   LR_CREATEDIBSECTION));
    ASSERT_NE(sample, nullptr);
    SelectObject(dc, sample);
    EXPECT_EQ((std::vector<COLORREF>{GetPixel(dc, 0, 0), GetPixel(dc, 2, 0), GetPixel(dc, 0, 1)}),
              (std::vector<COLORREF>{RGB(255, 0, 0), RGB(0, 0, 255), RGB(18, 52, 86)}));
    SelectObject(dc, old);
    DeleteObject(sample);
    // Icons come from icon resources with their corner colour transparent.
    EXPECT_EQ(LoadIconA(nullptr, IDI_APPLICATION), nullptr) << "the standard icon is the desktop's";
    EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), "GDI_SAMPLE"), nullptr) << "a bitmap is not an icon";
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), "GDI_ICON");
    ASSERT_NE(icon, nullptr);
    int width = 0, height = 0;
    std::vector<uint32_t> argb;
    ASSERT_TRUE(GetIconPixels(icon, &width, &height, &argb));
    SelectObject(dc, static_cast<HBITMAP>(icon));
    ASSERT_EQ(argb.size(), static_cast<size_t>(width * height));
    const COLORREF corner = GetPixel(dc, 0, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            const uint32_t want = c == corner ? 0 : 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
            ASSERT_EQ(argb[y * width + x], want) << x << "," << y;
        }
    EXPECT_EQ(argb[0], 0u);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(static_cast<HBITMAP>(icon));
}

}  // namespace
