// Text on a headless 16-bit display: PrintText's centring, buffer and background,
// the frame-rate readout, and text drawn into image slots.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/app/frame_pacing.h"
#include "framework/draw/gdi_draw.h"
#include "tests/framework/display_fixture.h"
#include "tests/framework/slot_pictures.h"
#include "tests/support/same_values.h"

namespace {

constexpr uint32_t WHITE = RGB(255, 255, 255);

// A colour as a 5-6-5 pixel: each channel's top bits.
uint16_t To565(int red, int green, int blue) {
    return static_cast<uint16_t>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

class PrintTextTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        SetTextFont(8, 16, WHITE, "標準ゴシック");
        SetTextBackground(TRANSPARENT, 0);
        SetTextCentered(0);
    }
    // The back buffer after clearing it and running draw.
    template <typename F>
    std::vector<uint16_t> Drawn(F draw) {
        ClearBackBufferTo(0);
        draw();
        return Screen();
    }
};

TEST_F(PrintTextTest, CentringReplacesXByTheMiddleOfTheScreenWidthAndTextIsCutToTheBuffer) {
    // Single-byte characters are 8 pixels wide in this font.
    for (const std::string& text : {std::string("Centre 42"), std::string("odd"), std::string(101, 'W')}) {
        const int middle = (640 - 8 * static_cast<int>(text.size())) / 2;
        SetTextCentered(1);
        const auto centred = Drawn([&] { PrintText(5, 100, "%s", text.c_str()); });
        SetTextCentered(0);
        EXPECT_EQ(centred, Drawn([&] { PrintText(middle, 100, "%s", text.c_str()); })) << text;
    }
    // A narrower clip rectangle cuts the line but does not move it.
    SetTextCentered(1);
    const auto whole = Drawn([] { PrintText(0, 50, "clipped but still centred"); });
    SetClipRect(0, 0, 320, 480);
    const auto clipped = Drawn([] { PrintText(0, 50, "clipped but still centred"); });
    for (int y = 48; y < 70; ++y)
        for (int x = 0; x < 640; ++x)
            ASSERT_EQ(clipped[y * 640 + x], x < 320 ? whole[y * 640 + x] : 0) << x << "," << y;

    // Formatted text is cut to the buffer. Centring shifts the line by half
    // its width, so the visible part shows how many characters were kept.
    SetClipRect(0, 0, 0, 0);
    std::string digits;
    for (int i = 0; i < 3000; ++i) digits += static_cast<char>('0' + i % 10);
    const auto cut = Drawn([&] { PrintText(0, 200, "%s", digits.c_str()); });
    const auto kept = PRINT_TEXT_BUFFER_SIZE - 1;
    EXPECT_EQ(cut, Drawn([&] { PrintText(0, 200, "%s", digits.substr(0, kept).c_str()); }));
    EXPECT_NE(cut, Drawn([&] { PrintText(0, 200, "%s", digits.substr(0, kept - 1).c_str()); }));
}

TEST_F(PrintTextTest, BackgroundBoxLineFeedsAndAFrameRateReadoutThatIsNeverCentred) {
    // Mode 0 leaves the context's own mode, which is opaque.
    for (int mode : {0, OPAQUE}) {
        SetTextBackground(mode, RGB(0, 0, 255));
        const auto screen = Drawn([] { PrintText(10, 20, "Ab\nCd"); });
        for (int y = 18; y < 56; ++y)
            for (int x = 8; x < 30; ++x) {
                const uint16_t p = screen[y * 640 + x];
                const bool inBox = x >= 10 && x < 26 && y >= 20 && y < 52;
                ASSERT_TRUE(inBox ? (p == 0x001F || p == 0xFFFF) : p == 0) << x << "," << y << " mode " << mode;
            }
    }
    SetTextBackground(TRANSPARENT, RGB(0, 0, 255));
    for (uint16_t p : Drawn([] { PrintText(10, 20, "Ab\nCd"); })) ASSERT_TRUE(p == 0 || p == 0xFFFF);

    // The frame-rate readout is never centred.
    gApp.measuredFrameRate = 59.94f;
    SetTextCentered(1);
    const auto screen = Drawn([] { EXPECT_FLOAT_EQ(DrawFrameRate(3, 4), 59.94f); });
    EXPECT_EQ(gApp.textCentered, 1) << "the centring setting comes back";
    SetTextCentered(0);
    EXPECT_EQ(screen, Drawn([] { PrintText(3, 4, "59.9"); }));
}

class TextToImageTest : public PrintTextTest {
protected:
    static constexpr int SLOT = 7;
    static constexpr uint16_t FILL = 0x1234;

    void SetUp() override {
        PrintTextTest::SetUp();
        SetTextFont(8, 16, RGB(255, 200, 40), "標準ゴシック");
        SetTextBackground(OPAQUE, RGB(0, 0, 96));
        ASSERT_EQ(CreateImage(SLOT, 64, 64, 0, 0), 1);
        PaintSlot(SLOT, [](int, int) { return FILL; });
    }

    // A glyph's upright grey bitmap and metrics in the framework's font.
    struct Glyph {
        GLYPHMETRICS metrics{};
        std::vector<uint8_t> levels;
        int pitch = 0;
    };
    static Glyph Outline(UINT code, int* ascent = nullptr) {
        static constexpr MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
        Glyph glyph;
        HDC dc = GetImageDC(SLOT);
        HFONT font = CreateTextFont();
        HGDIOBJ previous = SelectObject(dc, font);
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        if (ascent) *ascent = tm.tmAscent;
        const DWORD size = GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &glyph.metrics, 0, nullptr, &identity);
        glyph.levels.resize(size);
        GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &glyph.metrics, size, glyph.levels.data(), &identity);
        glyph.pitch = (glyph.metrics.gmBlackBoxX + 3) / 4 * 4;
        SelectObject(dc, previous);
        DeleteObject(font);
        ReleaseImageDC(SLOT, dc);
        return glyph;
    }

    // Puts the glyph's box into expected with its top-left at (x, y), each
    // level blended by its own formula.
    static void Expect(std::vector<uint16_t>& expected, const Glyph& glyph, int x, int y) {
        const int text[3] = {255, 200, 40}, back[3] = {0, 0, 96};
        for (UINT row = 0; row < glyph.metrics.gmBlackBoxY; ++row)
            for (UINT column = 0; column < glyph.metrics.gmBlackBoxX; ++column) {
                const int level = glyph.levels[row * glyph.pitch + column];
                int c[3];
                for (int k = 0; k < 3; ++k) c[k] = (64 * back[k] + (text[k] - back[k]) * level) / 64;
                const int px = x + static_cast<int>(column), py = y + static_cast<int>(row);
                if (px >= 0 && px < 64 && py >= 0 && py < 64) expected[py * 64 + px] = To565(c[0], c[1], c[2]);
            }
    }
};

TEST_F(TextToImageTest, TheColourTableRunsInQuarterStepsAndGlyphBoxesLandWhereTheirMetricsSay) {
    RGBQUAD table[GLYPH_COLOR_LEVELS];
    FillGlyphColorTable(table, WHITE, 0);
    EXPECT_EQ((std::vector<int>{table[64].rgbRed, table[64].rgbBlue, table[32].rgbGreen, table[0].rgbRed}),
              (std::vector<int>{255, 255, 127, 0}));

    const uint32_t text = RGB(250, 3, 128), back = RGB(7, 255, 64);
    FillGlyphColorTable(table, text, back);
    for (int i = 0; i < GLYPH_COLOR_LEVELS; ++i) {
        const auto blend = [i](uint32_t t, uint32_t b) { return (64 * b + (static_cast<int>(t) - static_cast<int>(b)) * i) / 64; };
        EXPECT_EQ(table[i].rgbRed, blend(text & 0xFF, back & 0xFF)) << i;
        EXPECT_EQ(table[i].rgbGreen, blend((text >> 8) & 0xFF, (back >> 8) & 0xFF)) << i;
        EXPECT_EQ(table[i].rgbBlue, blend(text >> 16, back >> 16)) << i;
        EXPECT_EQ(table[i].rgbReserved, 0);
    }
    // Slots without a context draw nothing.
    EXPECT_EQ(DrawTextToImage(WORK_SLOT, "A"), 0);
    EXPECT_EQ(DrawTextToImage(200, "A"), 0) << "an empty slot";
    EXPECT_EQ(DrawTextToImage(0x10000 + SLOT, ""), 1) << "slot numbers are 16-bit";

    // Glyph boxes land where their metrics say.
    int ascent = 0;
    const Glyph a = Outline('A', &ascent), b = Outline('B'), x = Outline('X'), nichi = Outline(0x93FA);
    ASSERT_GT(a.levels.size(), 0u);

    // "A", line feed, "B": the second line one box height of A plus one lower.
    ASSERT_EQ(DrawTextToImage(SLOT, "A\nB"), 1);
    std::vector<uint16_t> expected(64 * 64, FILL);
    Expect(expected, a, a.metrics.gmptGlyphOrigin.x, ascent - a.metrics.gmptGlyphOrigin.y);
    const int secondLine = static_cast<int>(a.metrics.gmBlackBoxY) + 1;
    Expect(expected, b, b.metrics.gmptGlyphOrigin.x, secondLine + ascent - b.metrics.gmptGlyphOrigin.y);
    EXPECT_TRUE(SameValues(SlotPixels(SLOT), expected));

    // A leading line feed moves down by the height of X plus one; the pen
    // moves by each glyph's cell, and "日" (trail byte 0xFA) is one glyph.
    PaintSlot(SLOT, [](int, int) { return FILL; });
    ASSERT_EQ(DrawTextToImage(SLOT, "\nA日"), 1);
    expected.assign(64 * 64, FILL);
    const int top = static_cast<int>(x.metrics.gmBlackBoxY) + 1 + ascent;
    Expect(expected, a, a.metrics.gmptGlyphOrigin.x, top - a.metrics.gmptGlyphOrigin.y);
    Expect(expected, nichi, a.metrics.gmCellIncX + nichi.metrics.gmptGlyphOrigin.x, top - nichi.metrics.gmptGlyphOrigin.y);
    EXPECT_TRUE(SameValues(SlotPixels(SLOT), expected));
}

}  // namespace
