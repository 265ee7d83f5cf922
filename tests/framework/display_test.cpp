// The display on the headless desktop: mode choice, pixel format, clip rectangle,
// colour matching, palette, switching between full screen and window.
#include <gtest/gtest.h>

#include "framework/draw/draw.h"
#include "platform/ddraw/ddraw_objects.h"
#include "tests/framework/display_fixture.h"
#include "tests/support/scoped_value.h"

namespace {

using Display = DisplayTest;

// An 8 x 8 off-screen surface in the given RGB format, or null.
IDirectDrawSurface* SurfaceInFormat(DWORD bits, DWORD red, DWORD green, DWORD blue) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.dwWidth = desc.dwHeight = 8;
    desc.ddpfPixelFormat = DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_RGB, 0, bits, red, green, blue, 0};
    IDirectDrawSurface* surface = nullptr;
    return gDisplay.device->CreateSurface(&desc, &surface, nullptr) == DD_OK ? surface : nullptr;
}

TEST_F(Display, ASixteenBitDesktopStartsFullScreenAnalysesEachPixelFormatAndHasTheDefaultPalette) {
    EXPECT_TRUE(IsFullScreen());
    EXPECT_FALSE(IsModeLocked());
    const DisplayState& d = gDisplay;
    EXPECT_EQ((std::vector<int64_t>{d.screenWidth, d.bitDepth, d.redMask, d.greenMask, d.blueMask, d.redShift,
                                    d.greenShift, d.blueShift, d.halfMask, d.redFromColor, d.greenFromColor,
                                    d.blueFromColor, d.canStretch}),
              (std::vector<int64_t>{640, 16, 31, 63, 31, 11, 5, 0, 0xF7DE, 3, 10, 19, 1}));
    // The full-screen window covers the 640 x 480 mode, so screen and client coordinates agree.
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_EQ((std::vector<int>{gApp.clientRect.left, gApp.clientRect.top, gApp.clientRect.right, gApp.clientRect.bottom}),
              (std::vector<int>{0, 0, 640, 480}));

    // 5-5-5 and 32-bit formats analyse their own way.
    IDirectDrawSurface* surface555 = SurfaceInFormat(16, 0x7C00, 0x03E0, 0x001F);
    ASSERT_NE(surface555, nullptr);
    {
        const ScopedValue back(gDisplay.backBuffer, surface555);
        EXPECT_EQ(AnalysePixelFormat(), 1);
        EXPECT_EQ((std::vector<int64_t>{d.greenMask, d.redShift, d.halfMask, d.greenFromColor}),
                  (std::vector<int64_t>{31, 10, 0x7BDE, 11}));
    }
    surface555->Release();

    const ScopedValue depth(gDisplay.bitDepth, 32);
    ASSERT_EQ(AnalysePixelFormat(), 1);
    EXPECT_EQ((std::vector<int64_t>{d.redMask, d.redShift, d.greenShift, d.halfMask}),
              (std::vector<int64_t>{0xFF, 16, 8, 0xFEFEFE}));

    // The default palette table is the colour list transposed.
    // Table index: list entry 0, 1, 160 (cube n = 151), 16 (cube n = 7), 255, 246, 249.
    const int indices[] = {0, 16, 10, 1, 255, 111, 159};
    std::vector<uint32_t> entries;
    for (int i : indices) entries.push_back(gPaletteTable[i]);
    EXPECT_EQ(entries, (std::vector<uint32_t>{0x000000, 0x000080, 0xA040C0, 0x406040, 0xFFFFFF, 0xF0FCFF, 0x0000FF}));
}

TEST_F(Display, AThirtyTwoBitDesktopLocksFullScreenAtSixteenBits) {
    TearDown();
    PlatformOptions options;
    options.desktopDepth = 32;
    StartDisplay(options);
    EXPECT_TRUE(IsFullScreen());
    EXPECT_TRUE(IsModeLocked());
    EXPECT_EQ(gDisplay.bitDepth, 16);
    // Alt+Enter does nothing on a locked mode.
    SendMessageA(gApp.hWnd, WM_SYSKEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(IsFullScreen());
}

TEST_F(Display, ClipRectanglesAreBoundToTheScreenAndMatchColorGivesThePixelGdiWrites) {
    const auto clip = [] { return std::vector<int>{gDisplay.clipLeft, gDisplay.clipTop, gDisplay.clipRight, gDisplay.clipBottom}; };
    SetClipRect(-5, 10, 700, 20);
    EXPECT_EQ(clip(), (std::vector<int>{0, 10, 640, 20}));
    EXPECT_NE(gDisplay.clipRegion, nullptr);
    SetClipRect(100, 50, 80, 60);
    EXPECT_EQ(clip(), (std::vector<int>{0, 50, 80, 60}));
    SetClipRect(0, 0, 0, 0);
    EXPECT_EQ(clip(), (std::vector<int>{0, 0, 640, 480}));
    EXPECT_EQ(gDisplay.clipRegion, nullptr);

    // MatchColor gives the pixel GDI writes and leaves the surface alone.
    IDirectDrawSurface* surface32 = SurfaceInFormat(32, 0xFF0000, 0x00FF00, 0x0000FF);
    ASSERT_NE(surface32, nullptr);
    {
        const ScopedValue depth(gDisplay.bitDepth, 32);  // all 32 bits are kept
        EXPECT_EQ(MatchColor(surface32, RGB(0x12, 0x34, 0x56)), 0x123456u);
        EXPECT_EQ(MatchColor(surface32, RGB(255, 255, 255)), 0xFFFFFFu);
    }
    surface32->Release();
    ASSERT_EQ(CreateImage(3, 4, 4, 0, RGB(1, 2, 3)), 1);
    IDirectDrawSurface* surface = gImageSlots[3].surface;
    const uint32_t before = MatchColor(surface, 0xFFFFFFFF);
    EXPECT_EQ(MatchColor(surface, RGB(255, 0, 0)), 0xF800u);
    EXPECT_EQ(MatchColor(surface, RGB(0, 255, 0)), 0x07E0u);
    EXPECT_EQ(MatchColor(surface, RGB(0, 0, 255)), 0x001Fu);
    EXPECT_EQ(MatchColor(surface, RGB(0x84, 0x86, 0x88)), (0x84u >> 3 << 11) | (0x86u >> 2 << 5) | (0x88u >> 3));
    EXPECT_EQ(MatchColor(surface, 0xFFFFFFFF), before) << "the first pixel is put back";
}

TEST_F(Display, AltEnterSwitchesToAWindowAndBackKeepingTheSlotsPicturesAndThePresentRestoresLostSurfaces) {
    ASSERT_EQ(CreateImage(4, 16, 16, 0, RGB(255, 255, 255)), 1);
    SendMessageA(gApp.hWnd, WM_SYSKEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(IsFullScreen());
    EXPECT_TRUE(IsDisplayReady());
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(gApp.hWnd, GWL_STYLE)), 0x90CA0000u);
    EXPECT_NE(gDisplay.clipper, nullptr);
    // The window is centred on the 800 x 600 headless desktop.
    EXPECT_EQ((std::vector<int>{gApp.clientRect.left, gApp.clientRect.bottom}), (std::vector<int>{80, 540}));
    EXPECT_EQ(gImageSlots[4].surface->IsLost(), DD_OK);
    EXPECT_EQ(DrawImage(0, 0, 4, 0, 0, -1, -1), 1);
    EXPECT_EQ(BackPixel(3, 3), 0xFFFF);

    SendMessageA(gApp.hWnd, WM_SYSKEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(IsFullScreen());
    EXPECT_EQ(gDisplay.clipper, nullptr);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(gApp.hWnd, GWL_STYLE)), 0x90000000u);

    // Lost screen surfaces are restored by the present.
    MarkAllSurfacesLost();
    EXPECT_EQ(gDisplay.primary->IsLost(), DDERR_SURFACELOST);
    PresentFrame();
    EXPECT_EQ(gDisplay.primary->IsLost(), DD_OK);
    EXPECT_EQ(gDisplay.backBuffer->IsLost(), DD_OK) << "full screen restores the whole chain";
    // In a window the back buffer is a surface of its own, restored all the same.
    ToggleFullScreen();
    MarkAllSurfacesLost();
    PresentFrame();
    EXPECT_EQ(gDisplay.primary->IsLost(), DD_OK);
    EXPECT_EQ(gDisplay.backBuffer->IsLost(), DD_OK);
}

TEST_F(Display, InactiveNotMinimisedAndSystemKeysLeaveTheWindowAloneAndTheMenuLoopSuspendsPresenting) {
    SendMessageA(gApp.hWnd, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(gApp.active, 0);
    SendMessageA(gApp.hWnd, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    EXPECT_EQ(gApp.active, 1);
    SendMessageA(gApp.hWnd, WM_SIZE, SIZE_MAXIMIZED, 0);
    EXPECT_EQ(gApp.active, 1);
    EXPECT_EQ(SendMessageA(gApp.hWnd, WM_SYSKEYDOWN, VK_F1 + 3, 0), 0);  // Alt+F4
    EXPECT_TRUE(IsWindow(gApp.hWnd));
    EXPECT_EQ(SendMessageA(gApp.hWnd, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 1);
    SendMessageA(gApp.hWnd, WM_ENTERMENULOOP, 0, 0);
    EXPECT_EQ(IsPresentSuspended(), 1);
    SendMessageA(gApp.hWnd, WM_EXITMENULOOP, 0, 0);
    EXPECT_EQ(IsPresentSuspended(), 0);
    SendMessageA(gApp.hWnd, WM_ENTERMENULOOP, 0, 0);
    SendMessageA(gApp.hWnd, WM_NCLBUTTONUP, 0, 0);
    EXPECT_EQ(IsPresentSuspended(), 0);
}

}  // namespace
