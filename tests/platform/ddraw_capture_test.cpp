// What reaches the desktop: the primary surface presented on the headless
// backend and captured as PNG, the PNG files themselves, and GDI drawing on
// surfaces.
#include <random>

#include "platform/gdi/gdi.h"
#include "platform/win/backend.h"
#include "platform/win/headless/png_image.h"
#include "tests/platform/ddraw_test_support.h"

namespace {

// The red, green, blue bytes of pixel (x, y).
std::vector<int> RgbAt(const RgbImage& image, int x, int y) {
    const uint8_t* p = &image.rgb[(static_cast<size_t>(y) * image.width + x) * 3];
    return {p[0], p[1], p[2]};
}

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(DirectDrawTest, PngFilesReadBackAsWrittenAndGdiDrawsIntoSurfacesHoldingThemBusy) {
    std::mt19937 random(7);
    RgbImage image;
    image.width = 37;
    image.height = 11;
    for (int i = 0; i < 37 * 11 * 3; ++i) image.rgb.push_back(static_cast<uint8_t>(random() % 7 * 40));
    std::string error;
    ASSERT_TRUE(WritePng((captureDir_ / "a.png").string(), image, &error)) << error;
    ASSERT_TRUE(WritePng((captureDir_ / "b.png").string(), image, &error)) << error;
    EXPECT_EQ(FileBytes(captureDir_ / "a.png"), FileBytes(captureDir_ / "b.png"));
    RgbImage back;
    ASSERT_TRUE(ReadPng((captureDir_ / "a.png").string(), &back, &error)) << error;
    EXPECT_EQ(back.width, 37);
    EXPECT_EQ(back.height, 11);
    EXPECT_EQ(back.rgb, image.rgb);
    // A damaged file is refused with a reason, never read past its end.
    std::string bytes = FileBytes(captureDir_ / "a.png");
    std::ofstream(captureDir_ / "short.png", std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    EXPECT_FALSE(ReadPng((captureDir_ / "short.png").string(), &back, &error));
    bytes[bytes.find("IHDR") + 4 + 13] ^= 0x55;  // the header's CRC
    std::ofstream(captureDir_ / "flipped.png", std::ios::binary) << bytes;
    EXPECT_FALSE(ReadPng((captureDir_ / "flipped.png").string(), &back, &error));
    EXPECT_NE(error.find("CRC"), std::string::npos) << error;
    // A GDI context draws into a surface and holds it busy.
    IDirectDrawSurface* surface = NewSurface(8, 8);
    HDC dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    SetPixel(dc, 2, 3, RGB(255, 0, 0));
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    EXPECT_EQ(surface->Lock(nullptr, &desc, 0, nullptr), DDERR_SURFACEBUSY);
    HDC second = nullptr;
    EXPECT_EQ(surface->GetDC(&second), DDERR_SURFACEBUSY);
    ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(PixelAt(surface, 2, 3), 0xF800u);
    surface->Release();
}

TEST_F(DirectDrawTest, EightBitFramesShowThroughThePrimaryPalette) {
    Close();
    Open("0 capture frame.png\n");
    HWND window = OpenMainWindow(0, 0, 32, 16);
    IDirectDrawSurface* back = nullptr;
    IDirectDrawSurface* front = FlipChain(window, 32, 16, 8, 1, &back, DDSCL_ALLOWMODEX | DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
    ASSERT_TRUE(front && back);
    PALETTEENTRY entries[256] = {};
    entries[1] = {200, 10, 20, 0};
    entries[2] = {0, 255, 128, 0};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(device_->CreatePalette(DDPCAPS_8BIT, entries, &palette, nullptr), DD_OK);
    ASSERT_EQ(front->SetPalette(palette), DD_OK);
    const RECT left{0, 0, 16, 16}, right{16, 0, 32, 16};
    Fill(back, &left, 1);
    Fill(back, &right, 2);
    Backend().pollEvents();  // frame 0 asks for the capture
    ASSERT_EQ(front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    RgbImage frame;
    std::string error;
    ASSERT_TRUE(ReadPng((captureDir_ / "frame.png").string(), &frame, &error)) << error;
    EXPECT_EQ(frame.width, 32);
    EXPECT_EQ(RgbAt(frame, 3, 5), (std::vector<int>{200, 10, 20}));
    EXPECT_EQ(RgbAt(frame, 31, 15), (std::vector<int>{0, 255, 128}));
    palette->Release();
    back->Release();
    front->Release();
    DestroyWindow(window);
}

TEST_F(DirectDrawTest, WindowedPrimaryTakesDesktopCoordinatesThroughItsClipper) {
    Close();
    Open("0 capture window.png\n");
    HWND window = OpenMainWindow(100, 50, 40, 30);
    ASSERT_EQ(device_->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface* primary = nullptr;
    ASSERT_EQ(device_->CreateSurface(&desc, &primary, nullptr), DD_OK);
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(device_->CreateClipper(0, &clipper, nullptr), DD_OK);
    ASSERT_EQ(clipper->SetHWnd(0, window), DD_OK);
    ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
    ASSERT_EQ(primary->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, 40u);  // the client area
    EXPECT_EQ(desc.dwHeight, 30u);
    // A back buffer of the client's size, half the height, shown stretched.
    IDirectDrawSurface* back = NewSurface(40, 15);
    Paint(back, [](int x, int) { return x < 20 ? 0xF800u : 0x001Fu; });
    Backend().pollEvents();
    const RECT client{100, 50, 140, 80};
    ASSERT_EQ(primary->Blt(&client, back, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    RgbImage frame;
    std::string error;
    ASSERT_TRUE(ReadPng((captureDir_ / "window.png").string(), &frame, &error)) << error;
    EXPECT_EQ(RgbAt(frame, 0, 0), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(RgbAt(frame, 39, 29), (std::vector<int>{0, 0, 255}));
    // Parts beyond the client area are cut off.
    const RECT overhang{130, 70, 150, 90};
    ASSERT_EQ(Fill(primary, &overhang, 0x07E0), DD_OK);
    EXPECT_EQ(PixelsAt(primary, {{39, 29}, {29, 19}}), (Values{0x07E0, 0x001F}));
    clipper->Release();
    back->Release();
    primary->Release();
    DestroyWindow(window);
}

}  // namespace
