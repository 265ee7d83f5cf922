// DirectDraw device and surfaces on the headless platform: locks, blits and
// their clipping, losses and restore, flipping chains.
#include <vector>

#include "platform/ddraw/ddraw_objects.h"
#include "platform/win/backend.h"
#include "tests/platform/ddraw_test_support.h"

namespace {

TEST_F(DirectDrawTest, OneSoftwareDeviceAccountsVideoMemoryAndLocksAreExclusiveAndPaired) {
    std::vector<std::string> descriptions;
    auto collect = [](GUID*, const char* description, const char*, void* context) -> BOOL {
        static_cast<std::vector<std::string>*>(context)->push_back(description);
        return DDENUMRET_OK;
    };
    ASSERT_EQ(DirectDrawEnumerateA(collect, &descriptions), DD_OK);
    EXPECT_EQ(descriptions, std::vector<std::string>{"Korven software renderer"});
    DDCAPS caps{};
    caps.dwSize = sizeof caps;
    ASSERT_EQ(device_->GetCaps(&caps, nullptr), DD_OK);
    EXPECT_EQ(caps.dwCaps & (DDCAPS_BLTSTRETCH | DDCAPS_3D), static_cast<DWORD>(DDCAPS_BLTSTRETCH | DDCAPS_3D));
    EXPECT_EQ(caps.dwVidMemTotal, 64u << 20);
    const DWORD freeBefore = caps.dwVidMemFree;
    IDirectDrawSurface* video = NewSurface(100, 10, PIXEL_FORMAT_565, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY);
    IDirectDrawSurface* system = NewSurface(100, 10);
    ASSERT_EQ(device_->GetCaps(&caps, nullptr), DD_OK);
    EXPECT_EQ(freeBefore - caps.dwVidMemFree, 208u * 10);  // 200 bytes a row, padded to 16
    for (IDirectDrawSurface* s : {video, system}) s->Release();
    ASSERT_EQ(device_->GetCaps(&caps, nullptr), DD_OK);
    EXPECT_EQ(caps.dwVidMemFree, freeBefore);
    // A lock is exclusive and pairs with an unlock.
    IDirectDrawSurface* surface = NewSurface(33, 7);
    IDirectDrawSurface* other = NewSurface(33, 7);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    const RECT part{4, 2, 10, 5};
    ASSERT_EQ(surface->Lock(&part, &desc, 0, nullptr), DD_OK);
    EXPECT_GE(desc.lPitch, 66);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, 0xF800u);
    static_cast<uint16_t*>(desc.lpSurface)[0] = 0xBEEF;  // pixel (4, 2)
    DDSURFACEDESC again{};
    again.dwSize = sizeof again;
    EXPECT_EQ(surface->Lock(nullptr, &again, 0, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(other->BltFast(0, 0, surface, nullptr, 0), DDERR_SURFACEBUSY);
    EXPECT_EQ(Fill(surface, nullptr, 0), DDERR_SURFACEBUSY);
    EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
    EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
    EXPECT_EQ(PixelAt(surface, 4, 2), 0xBEEFu);
    const RECT outside{30, 0, 34, 1};
    EXPECT_EQ(surface->Lock(&outside, &desc, 0, nullptr), DDERR_INVALIDRECT);
    for (IDirectDrawSurface* s : {surface, other}) s->Release();
}

TEST_F(DirectDrawTest, FillsBltsAndStretchesClipToTheTargetButBltFastDoesNotAndOverlapsReadTheOriginal) {
    IDirectDrawSurface* target = NewSurface(20, 20);
    ASSERT_EQ(Fill(target, nullptr, 0x1111), DD_OK);
    const RECT corner{-5, -5, 3, 4};
    ASSERT_EQ(Fill(target, &corner, 0x2222), DD_OK);
    EXPECT_EQ(PixelsAt(target, {{0, 0}, {2, 3}, {3, 3}, {2, 4}}), (Values{0x2222, 0x2222, 0x1111, 0x1111}));
    const RECT beyond{25, 0, 30, 5};
    EXPECT_EQ(Fill(target, &beyond, 0x3333), DD_OK);
    // A 16 x 16 source whose pixels name their position, drawn half outside.
    IDirectDrawSurface* source = NewSurface(16, 16);
    Paint(source, [](int x, int y) { return static_cast<uint32_t>(y * 16 + x); });
    const RECT to{-4, 10, 12, 26};
    ASSERT_EQ(target->Blt(&to, source, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    // Source (4, 0) and (15, 9), then two outside.
    EXPECT_EQ(PixelsAt(target, {{0, 10}, {11, 19}, {12, 10}, {0, 9}}), (Values{4, 9 * 16 + 15, 0x1111, 0x1111}));
    const RECT badSource{0, 0, 17, 16};
    EXPECT_EQ(target->Blt(nullptr, source, &badSource, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    for (IDirectDrawSurface* s : {source, target}) s->Release();
    // A stretch clipped at the target's edge samples as the unclipped stretch does.
    IDirectDrawSurface* small = NewSurface(3, 2);
    Paint(small, [](int x, int y) { return static_cast<uint32_t>(1 + y * 3 + x); });
    IDirectDrawSurface* whole = NewSurface(7, 5);
    IDirectDrawSurface* clipped = NewSurface(5, 5);
    const RECT everywhere{0, 0, 7, 5}, shifted{-2, 0, 5, 5};
    ASSERT_EQ(whole->Blt(&everywhere, small, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    ASSERT_EQ(clipped->Blt(&shifted, small, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(PixelsAt(whole, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}}), (Values{1, 1, 2, 2, 2, 3, 3}));
    EXPECT_EQ(PixelsAt(whole, {{0, 1}, {0, 2}}), (Values{1, 4}));  // rows 0 and 1 of 5 sample source row 0
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(PixelAt(clipped, x, y), PixelAt(whole, x + 2, y)) << x << "," << y;
    for (IDirectDrawSurface* s : {small, whole, clipped}) s->Release();
    // BltFast does not clip, and honours the source key.
    IDirectDrawSurface* keyed = NewSurface(10, 10);
    IDirectDrawSurface* tile = NewSurface(4, 4);
    ASSERT_EQ(Fill(keyed, nullptr, 0x1111), DD_OK);
    Paint(tile, [](int x, int) { return x == 1 ? 0xF81Fu : 0x07E0u; });
    EXPECT_EQ(keyed->BltFast(7, 0, tile, nullptr, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
    EXPECT_EQ(keyed->BltFast(0xFFFFFFFF, 0, tile, nullptr, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
    EXPECT_EQ(PixelAt(keyed, 7, 0), 0x1111u);
    EXPECT_EQ(keyed->BltFast(0, 0, tile, nullptr, DDBLTFAST_SRCCOLORKEY), DDERR_NOCOLORKEY);
    DDCOLORKEY key{0xF81F, 0xF81F};
    ASSERT_EQ(tile->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    const RECT part{0, 0, 3, 4};
    ASSERT_EQ(keyed->BltFast(7, 6, tile, &part, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT), DD_OK);
    EXPECT_EQ(PixelsAt(keyed, {{7, 6}, {8, 6}, {9, 9}}), (Values{0x07E0, 0x1111, 0x07E0}));  // key pixel left out
    for (IDirectDrawSurface* s : {tile, keyed}) s->Release();
    // Overlapping blits on one surface read the original pixels.
    IDirectDrawSurface* surface = NewSurface(40, 4);
    IDirectDrawSurface* expected = NewSurface(40, 4);
    auto pattern = [](int x, int y) { return static_cast<uint32_t>(x % 5 == 0 ? 0xF81F : 100 + x + 40 * y); };
    Paint(surface, pattern);
    Paint(expected, pattern);
    surface->SetColorKey(DDCKEY_SRCBLT, &key);
    const RECT from{0, 0, 30, 3};
    ASSERT_EQ(surface->BltFast(3, 1, surface, &from, DDBLTFAST_SRCCOLORKEY), DD_OK);
    for (int y = 1; y < 4; ++y) {
        for (int x = 3; x < 33; ++x) {
            const uint32_t original = pattern(x - 3, y - 1);
            const uint32_t want = original == 0xF81F ? pattern(x, y) : original;
            ASSERT_EQ(PixelAt(surface, x, y), want) << x << "," << y;
        }
    }
    ASSERT_EQ(expected->BltFast(2, 0, expected, &from, 0), DD_OK);  // plain copy to the right
    EXPECT_EQ(PixelAt(expected, 31, 2), pattern(29, 2));
    for (IDirectDrawSurface* s : {surface, expected}) s->Release();
}

TEST_F(DirectDrawTest, ModeChangesKeepPixelsAndLostOrScriptedLostSurfacesComeBackBlack) {
    HWND window = OpenMainWindow(0, 0, 320, 240);
    IDirectDrawSurface* image = NewSurface(8, 8);
    IDirectDrawSurface* target = NewSurface(8, 8);
    ASSERT_EQ(Fill(image, nullptr, 0x1234), DD_OK);
    EXPECT_EQ(device_->SetDisplayMode(320, 240, 16), DDERR_NOEXCLUSIVEMODE);
    // Full screen, its mode and back to the desktop: nothing is lost.
    ASSERT_EQ(device_->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(device_->SetDisplayMode(320, 240, 16), DD_OK);
    ASSERT_EQ(device_->RestoreDisplayMode(), DD_OK);
    ASSERT_EQ(device_->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(image->IsLost(), DD_OK);
    EXPECT_EQ(PixelAt(image, 3, 3), 0x1234u);
    MarkAllSurfacesLost();
    EXPECT_EQ(image->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(target->BltFast(0, 0, image, nullptr, 0), DDERR_SURFACELOST);
    EXPECT_EQ(target->Blt(nullptr, image, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    EXPECT_EQ(image->Lock(nullptr, &desc, 0, nullptr), DDERR_SURFACELOST);
    HDC dc = nullptr;
    EXPECT_EQ(image->GetDC(&dc), DDERR_SURFACELOST);
    ASSERT_EQ(image->Restore(), DD_OK);
    EXPECT_EQ(image->IsLost(), DD_OK);
    EXPECT_EQ(PixelAt(image, 3, 3), 0u);
    IDirectDrawSurface* fresh = NewSurface(8, 8);
    EXPECT_EQ(fresh->IsLost(), DD_OK);
    for (IDirectDrawSurface* s : {image, target, fresh}) s->Release();
    DestroyWindow(window);
    // A scripted loss on frame 2 marks every surface.
    Close();
    Open("2 lose-surfaces\n");
    IDirectDrawSurface* a = NewSurface(4, 4);
    IDirectDrawSurface* b = NewSurface(4, 4, PIXEL_FORMAT_8888);
    for (int frame = 0; frame < 2; ++frame) {
        Backend().pollEvents();
        Backend().queueDrained();
        EXPECT_EQ(a->IsLost(), DD_OK);
    }
    Backend().pollEvents();  // frame 2
    EXPECT_EQ(a->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(b->IsLost(), DDERR_SURFACELOST);
    for (IDirectDrawSurface* s : {a, b}) s->Release();
}

TEST_F(DirectDrawTest, FlippingChainRotatesPixelsAndRestoresAsOne) {
    HWND window = OpenMainWindow(0, 0, 64, 48);
    IDirectDrawSurface* back = nullptr;
    IDirectDrawSurface* front = FlipChain(window, 64, 48, 16, 2, &back);
    ASSERT_TRUE(front && back);
    DDSCAPS flipCaps{DDSCAPS_FLIP};
    IDirectDrawSurface* third = nullptr;
    ASSERT_EQ(back->GetAttachedSurface(&flipCaps, &third), DD_OK);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(front->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, 64u);
    EXPECT_EQ(desc.dwBackBufferCount, 2u);
    Fill(front, nullptr, 1);
    Fill(back, nullptr, 2);
    Fill(third, nullptr, 3);
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ((Values{PixelAt(front, 0, 0), PixelAt(back, 0, 0), PixelAt(third, 0, 0)}), (Values{2, 3, 1}));
    EXPECT_EQ(back->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
    ASSERT_EQ(device_->FlipToGDISurface(), DD_OK);
    EXPECT_EQ(PixelAt(front, 0, 0), 1u);
    MarkAllSurfacesLost();
    EXPECT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACELOST);
    ASSERT_EQ(back->Restore(), DD_OK);
    for (IDirectDrawSurface* s : {front, back, third}) EXPECT_EQ(s->IsLost(), DD_OK);
    // The chain goes with its front; a back buffer still held stays usable.
    third->Release();
    EXPECT_EQ(front->Release(), 0u);
    EXPECT_EQ(Fill(back, nullptr, 5), DD_OK);
    EXPECT_EQ(back->Release(), 0u);
    DestroyWindow(window);
}

}  // namespace
