// Screenshots: the .bmp headers at 16 and 8 bits per pixel, and a screenshot
// read back by ImageMagick, which must find the picture the right way up.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/image/image.h"
#include "tests/framework/display_fixture.h"
#include "tests/framework/slot_pictures.h"
#include "tests/support/scoped_value.h"

namespace {

uint32_t Field(const std::vector<uint8_t>& bytes, size_t offset, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes.at(offset + i);
    return value;
}

// A command's standard output.
std::string CommandOutput(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof(buffer), pipe)) > 0;) output.append(buffer, n);
    pclose(pipe);
    return output;
}

class ScreenBitmap : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        path_ = TempPath("screen.bmp");
    }
    void TearDown() override {
        std::filesystem::remove(path_);
        DisplayTest::TearDown();
    }
    std::string path_;
};

TEST_F(ScreenBitmap, SixteenAndEightBitHeadersThePaletteAsColourTableAndFilesThatCannotBeWritten) {
    ASSERT_EQ(SaveScreenBitmap(path_.c_str()), 1);
    const std::vector<uint8_t> file = ReadBytes(path_);
    ASSERT_EQ(file.size(), 614454u);
    // "BM", size, reserved, pixel offset, header size, width, height (positive:
    // bottom row first), planes, bits, then compression .. important colours all 0.
    std::vector<uint32_t> fields{Field(file, 0, 2), Field(file, 2, 4), Field(file, 6, 4), Field(file, 10, 4),
                                 Field(file, 14, 4), Field(file, 18, 4), Field(file, 22, 4), Field(file, 26, 2),
                                 Field(file, 28, 2)};
    for (size_t offset = 30; offset < 54; offset += 4) fields.push_back(Field(file, offset, 4));
    EXPECT_EQ(fields, (std::vector<uint32_t>{0x4D42, 614454, 0, 54, 40, 640, 480, 1, 16, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(SaveScreenBitmap("/nonexistent-directory/screen.bmp"), 0);
    EXPECT_EQ(SaveScreenBitmap(""), 0);
    EXPECT_EQ(SaveScreenBitmap("/dev/full"), 0) << "opens, but every write finds the disk full";

    // An 8-bit back buffer with a palette of its own stands in for the screen.
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.dwWidth = 640, desc.dwHeight = 480;
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc.ddpfPixelFormat.dwFlags = DDPF_PALETTEINDEXED8;
    IDirectDrawSurface* indexed = nullptr;
    ASSERT_EQ(gDisplay.device->CreateSurface(&desc, &indexed, nullptr), DD_OK);
    PALETTEENTRY entries[256];
    for (int i = 0; i < 256; ++i)
        entries[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7), 0};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(gDisplay.device->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr), DD_OK);
    indexed->SetPalette(palette);
    int written = 0;
    {
        const ScopedValue screen(gDisplay.backBuffer, indexed);
        written = SaveScreenBitmap(path_.c_str());
    }
    indexed->Release();
    palette->Release();

    ASSERT_EQ(written, 1);
    const std::vector<uint8_t> indexedFile = ReadBytes(path_);
    ASSERT_EQ(indexedFile.size(), 1078u + 640u * 480u);
    EXPECT_EQ((std::vector<uint32_t>{Field(indexedFile, 10, 4), Field(indexedFile, 28, 2)}), (std::vector<uint32_t>{1078, 8}));
    for (int i = 0; i < 256; ++i) {
        // Blue, green, red, 0.
        const std::vector<int> entry(indexedFile.begin() + 54 + 4 * i, indexedFile.begin() + 58 + 4 * i);
        EXPECT_EQ(entry, (std::vector<int>{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0})) << i;
    }
    EXPECT_EQ(CommandOutput("identify -format '%m %w %h' '" + path_ + "'"), "BMP3 640 480");
}

TEST_F(ScreenBitmap, ImageMagickReadsTheScreenTheRightWayUp) {
    // Red above, blue below, a green square at the top-left corner.
    ClearBackBufferTo(0xF800);
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0x001F;
    RECT lower{0, 240, 640, 480};
    gDisplay.backBuffer->Blt(&lower, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    fx.dwFillColor = 0x07E0;
    RECT corner{0, 0, 8, 8};
    gDisplay.backBuffer->Blt(&corner, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    ASSERT_EQ(SaveScreenBitmap(path_.c_str()), 1);

    EXPECT_EQ(CommandOutput("identify -format '%m %w %h' '" + path_ + "'"), "BMP3 640 480");
    const std::string rgb = CommandOutput("convert '" + path_ + "' -depth 8 rgb:-");
    ASSERT_EQ(rgb.size(), 640u * 480u * 3u);
    const auto pixel = [&rgb](int x, int y) {
        const size_t at = (static_cast<size_t>(y) * 640 + x) * 3;
        return std::vector<int>{static_cast<uint8_t>(rgb[at]), static_cast<uint8_t>(rgb[at + 1]),
                                static_cast<uint8_t>(rgb[at + 2])};
    };
    using Rgbs = std::vector<std::vector<int>>;
    EXPECT_EQ((Rgbs{pixel(3, 3), pixel(100, 100), pixel(639, 239), pixel(0, 240), pixel(639, 479)}),
              (Rgbs{{0, 255, 0}, {255, 0, 0}, {255, 0, 0}, {0, 0, 255}, {0, 0, 255}}));
}

}  // namespace
