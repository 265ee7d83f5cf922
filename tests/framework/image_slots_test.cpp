// Image slots: creation, sizes, colour keys, the clipped copies and the
// rebuilding of lost surfaces.
#include <gtest/gtest.h>

#include <vector>

#include "framework/draw/draw.h"
#include "platform/ddraw/ddraw_objects.h"
#include "tests/framework/display_fixture.h"
#include "tests/framework/slot_pictures.h"

namespace {

class ImageSlots : public DisplayTest {
protected:
    // A 16 x 8 slot whose pixel (x, y) is x + 32 y + 1, never 0.
    void MakeNumberedSlot(int slot, int useColorKey = 0) {
        ASSERT_EQ(CreateImage(slot, 16, 8, useColorKey, 0), 1);
        PaintSlot(slot, [](int x, int y) { return x + 32 * y + 1; });
    }
};

TEST(ClipRule, MovesTheSourceWithTheTargetAndClampsToTheSource) {
    int dx = -10, dy = 5, sx1 = 0, sy1 = 0, sx2 = 32, sy2 = 32;
    ClipBlitRect(&dx, &dy, &sx1, &sy1, &sx2, &sy2, 0, 0, 640, 480, 32, 32);
    EXPECT_EQ((std::vector<int>{dx, dy, sx1, sy1, sx2, sy2}), (std::vector<int>{0, 5, 10, 0, 32, 32}));
    // A negative source edge is raised without moving the target.
    dx = 100, dy = 0, sx1 = -5, sy1 = 0, sx2 = 10, sy2 = 4;
    ClipBlitRect(&dx, &dy, &sx1, &sy1, &sx2, &sy2, 0, 0, 640, 480, 32, 32);
    EXPECT_EQ((std::vector<int>{dx, sx1, sx2}), (std::vector<int>{100, 0, 10}));
    dx = 630, dy = 0, sx1 = 0, sy1 = 0, sx2 = 32, sy2 = 32;
    ClipBlitRect(&dx, &dy, &sx1, &sy1, &sx2, &sy2, 0, 0, 640, 480, 32, 32);
    EXPECT_EQ(sx2, 10);
    // Entirely outside: an inverted rectangle is left for the caller to refuse.
    dx = 700, sx1 = 0, sx2 = 32;
    ClipBlitRect(&dx, &dy, &sx1, &sy1, &sx2, &sy2, 0, 0, 640, 480, 32, 32);
    EXPECT_LE(sx2 - sx1, 0);
}

TEST_F(ImageSlots, SizesEmptySlotsAndAFreshKeyedSlot) {
    int w = -1, h = -1;
    EXPECT_EQ((std::vector<int>{GetImageSize(300, &w, &h), GetImageSize(256, &w, &h), GetImageSize(5, &w, &h), w}),
              (std::vector<int>{0, 0, 1, 0}));
    EXPECT_EQ(CreateImage(5, 0, 100, 0, 0), 1);
    EXPECT_EQ((std::vector<int>{GetImageSize(5, &w, &h), h}), (std::vector<int>{1, 100}));
    EXPECT_EQ(gImageSlots[5].surface, nullptr);
    EXPECT_EQ(DrawImage(0, 0, 5, 0, 0, -1, -1), 0);
    EXPECT_EQ(CreateImage(5, -1, 10, 0, 0), 0);
    EXPECT_EQ(CreateImage(WORK_SLOT, 10, 10, 0, 0), 0) << "the work buffer exists already";
    EXPECT_EQ(CreateImage(0x10000 + 6, 8, 8, 0, 0), 1) << "slot numbers are 16-bit";
    EXPECT_NE(gImageSlots[6].surface, nullptr);
    // A fresh black keyed slot draws nothing.
    ASSERT_EQ(CreateImage(7, 8, 8, 1, 0), 1);
    EXPECT_EQ(gImageSlots[7].colorKey, 0u);
    ClearBackBufferTo(0x1234);
    EXPECT_EQ(DrawImage(10, 10, 7, 0, 0, -1, -1), 1);
    EXPECT_EQ(BackPixel(12, 12), 0x1234);
}

TEST_F(ImageSlots, DrawImageClipsAsTheRuleSaysAndCopiesReadTheTargetKeyAgain) {
    MakeNumberedSlot(8);
    ClearBackBufferTo(0);
    EXPECT_EQ(DrawImage(-10, 0, 8, 0, 0, -1, -1), 1);  // source column 10 lands at x = 0
    EXPECT_EQ(BackPixels({{0, 0}, {5, 0}, {6, 0}}), (Pixels{11, 16, 0}));
    ClearBackBufferTo(0);
    EXPECT_EQ(DrawImage(100, 0, 8, -5, 0, 10, -1), 1);  // left edge raised to 0, target not shifted
    EXPECT_EQ(BackPixels({{100, 0}, {109, 0}, {110, 0}}), (Pixels{1, 10, 0}));
    ClearBackBufferTo(0);
    EXPECT_EQ(DrawImage(630, 470, 8, 0, 0, -1, -1), 1);
    EXPECT_EQ(BackPixel(639, 477), 9 + 32 * 7 + 1);
    EXPECT_EQ(DrawImage(640, 0, 8, 0, 0, -1, -1), 0);
    EXPECT_EQ(DrawImage(0, -8, 8, 0, 0, -1, -1), 0);
    ClearBackBufferTo(0);
    EXPECT_EQ(DrawImage(0, 0, 8, 4, 2, -1, 5), 1);  // full width from column 4, rows 2..4
    EXPECT_EQ(BackPixels({{0, 0}, {11, 2}, {12, 0}, {0, 3}}), (Pixels{4 + 64 + 1, 15 + 4 * 32 + 1, 0, 0}));
    SetClipRect(10, 10, 20, 20);
    ClearBackBufferTo(0);
    EXPECT_EQ(DrawImage(5, 5, 8, 0, 0, -1, -1), 1);
    EXPECT_EQ(BackPixels({{10, 10}, {9, 10}}), (Pixels{5 + 5 * 32 + 1, 0}));

    // Copies read the target's key again, even for an empty rectangle.
    MakeNumberedSlot(9);
    ASSERT_EQ(CreateImage(10, 8, 8, 0, 0), 1);
    EXPECT_EQ(CopyImage(10, 0, 0, 4, 4, 9, 2, 0), 1);
    EXPECT_EQ(gImageSlots[10].colorKey, 3u);
    PaintSlot(10, [](int, int) { return 0x5555; });
    EXPECT_EQ(CopyImage(10, 0, 0, 0, 0, 9, 0, 0), 1);
    EXPECT_EQ(gImageSlots[10].colorKey, 0x5555u);
    EXPECT_EQ((std::vector<int>{CopyImage(256, 0, 0, 1, 1, 9, 0, 0), CopyImage(10, 0, 0, 1, 1, 11, 0, 0)}), (std::vector<int>{0, 0}));

    // Copying the screen takes all of it for -1, only its 640 columns.
    ClearBackBufferTo(0x0F0F);
    ASSERT_EQ(CreateImage(12, 700, 2, 0, 0), 1);
    EXPECT_EQ(CopyScreenToImage(12, 0, 0, 0, 0, -1, 7), 1);
    const std::vector<uint16_t> copied = SlotPixels(12);
    EXPECT_EQ((Pixels{copied[639], copied[640]}), (Pixels{0x0F0F, 0}));
    EXPECT_EQ(gImageSlots[12].colorKey, 0x0F0Fu);
    EXPECT_EQ(CopyScreenToImage(13, 0, 0, 0, 0, -1, -1), 0);
}

int gRestoredSlot = -1;

// 2 x 1 pixels, 24 bits: magenta then green.
std::vector<uint8_t> TwoColourBmp() {
    std::vector<uint8_t> bytes = {'B', 'M'};
    for (uint32_t v : {62, 0, 54, 40, 2, 1, 1 | (24 << 16), 0, 8, 0, 0, 0, 0})  // file size .. colours used
        for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<uint8_t>(v >> (8 * b)));
    for (uint8_t b : {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0x00}) bytes.push_back(b);  // BGR BGR pad
    return bytes;
}

TEST_F(ImageSlots, LoadingRefusesBadSlotsAndLostSlotsAreReloadedOrComeBackBlackForTheCallback) {
    EXPECT_EQ((std::vector<int>{LoadBitmapImage(256, "x.bmp", 0), LoadBitmapImage(3, "/nonexistent/file.bmp", 0)}),
              (std::vector<int>{0, 0}));
    EXPECT_STREQ(gImageSlots[3].fileName, "/nonexistent/file.bmp");
    EXPECT_EQ(gImageSlots[3].surface, nullptr);
    EXPECT_EQ(LoadBitmapImage(3, "NOSUCHRESOURCE", 0), 0);
    EXPECT_EQ(LoadBitmapImage(3, (std::string(300, 'a') + ".bmp").c_str(), 0), 0);

    TempFiles files;
    const std::string path = files.Write("two.bmp", TwoColourBmp());
    ASSERT_EQ(LoadBitmapImage(14, path.c_str(), 1), 1);
    EXPECT_EQ(gImageSlots[14].colorKey, 0xF81Fu) << "magenta in the top-left corner";
    ClearBackBufferTo(0x1111);
    EXPECT_EQ(DrawImage(0, 0, 14, 0, 0, -1, -1), 1);
    EXPECT_EQ(BackPixels({{0, 0}, {1, 0}}), (Pixels{0x1111, 0x07E0}));
    MarkAllSurfacesLost();
    gDisplay.primary->Restore();
    ClearBackBufferTo(0x1111);
    EXPECT_EQ(DrawImage(0, 0, 14, 0, 0, -1, -1), 1) << "the draw that finds the loss restores the slot";
    EXPECT_EQ(BackPixel(1, 0), 0x1111) << "and is not repeated";
    EXPECT_EQ(DrawImage(0, 0, 14, 0, 0, -1, -1), 1);
    EXPECT_EQ(BackPixels({{0, 0}, {1, 0}}), (Pixels{0x1111, 0x07E0}));

    // A lost created slot comes back black and the callback redraws it.
    SetImageVideoMemory(1);
    ASSERT_EQ(CreateImage(15, 4, 4, 0, RGB(255, 255, 255)), 1);
    SetImageVideoMemory(0);
    SetImageRestoreProc([](uint16_t slot) { gRestoredSlot = slot; });
    MarkAllSurfacesLost();
    gDisplay.primary->Restore();
    RestoreImage(15);
    EXPECT_EQ(gRestoredSlot, 15);
    EXPECT_EQ(gImageSlots[15].width, 4);
    EXPECT_EQ(gImageSlots[15].videoMemory, 1) << "rebuilt in the kind of memory it had";
    EXPECT_EQ(gImageVideoMemory, 0);
    EXPECT_EQ(SlotPixels(15), std::vector<uint16_t>(16, 0));
}

}  // namespace
