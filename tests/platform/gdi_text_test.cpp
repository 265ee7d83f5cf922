// Fonts and text: face-name matching, cell metrics, text drawn whole against
// glyph by glyph, line breaks, double-byte characters, condensed cells, the
// glyph cache, grey glyph bitmaps and DIB rows put into a context.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/gdi/font_match.h"
#include "platform/gdi/glyph_cache.h"
#include "platform/gdi/pixel_codec.h"
#include "platform/win/platform.h"
#include "tests/platform/gdi_test_support.h"

namespace {

constexpr COLORREF PAPER = RGB(0, 0, 128);
constexpr COLORREF INK = RGB(255, 255, 0);
constexpr MAT2 IDENTITY{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
constexpr MAT2 FLIP{{0, 1}, {0, 0}, {0, 0}, {0, -1}};

// A 16-bit canvas filled with PAPER, its context drawing INK text in a
// font of the given cell, transparent unless asked otherwise.
struct TextCanvas : Canvas {
    HFONT font;
    HGDIOBJ previous;

    TextCanvas(int width, int height, int fontHeight, int fontWidth, const char* face = "標準ゴシック")
        : Canvas(width, height, PIXEL_FORMAT_565) {
        Fill(PAPER);
        font = CreateFontA(fontHeight, fontWidth, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
        EXPECT_NE(font, nullptr);
        previous = SelectObject(dc, font);
        EXPECT_NE(previous, nullptr) << "selecting a font gives back the one the context held";
        SetTextColor(dc, INK);
        SetBkMode(dc, TRANSPARENT);
    }
    ~TextCanvas() {
        EXPECT_EQ(SelectObject(dc, previous), font);
        EXPECT_TRUE(DeleteObject(font));
    }
    void Fill(COLORREF color) {
        const PixelCodec codec(buffer);
        for (int y = 0; y < buffer.height; ++y)
            for (int x = 0; x < buffer.width; ++x) codec.Write(x, y, codec.FromColor(color));
    }
    using OwnedPixels::Raw;
    uint32_t Raw(COLORREF color) const { return PixelCodec(buffer).FromColor(color); }
    TEXTMETRICA Metrics() const {
        TEXTMETRICA m{};
        EXPECT_TRUE(GetTextMetricsA(dc, &m));
        return m;
    }
    SIZE Extent(const char* text) const {
        SIZE size{};
        EXPECT_TRUE(GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size));
        return size;
    }
    // The box around every pixel that is not PAPER (right and bottom exclusive).
    RECT Ink() const {
        RECT box{buffer.width, buffer.height, 0, 0};
        for (int y = 0; y < buffer.height; ++y)
            for (int x = 0; x < buffer.width; ++x)
                if (Raw(x, y) != Raw(PAPER)) {
                    box.left = std::min<LONG>(box.left, x), box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1), box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box;
    }
};

// Draws the text one character at a time, each at the extent of the text before it.
void DrawGlyphByGlyph(TextCanvas& canvas, int x, int y, const char* text) {
    for (const char* p = text; *p;) {
        const char* next = CharNextExA(CP_SHIFTJIS, p, 0);
        SIZE before{};
        GetTextExtentPoint32A(canvas.dc, text, static_cast<int>(p - text), &before);
        TextOutA(canvas.dc, x + before.cx, y, p, static_cast<int>(next - p));
        p = next;
    }
}

TEST(Fonts, JapaneseGothicNamesMeetTheInstalledFaceAndCellMetricsFollowTheRequestedSize) {
    const FontFile gothic = MatchFontFile("標準ゴシック", SHIFTJIS_CHARSET);
    ASSERT_FALSE(gothic.path.empty());
    EXPECT_EQ(std::filesystem::canonical(gothic.path).filename(), "ipag.ttf") << gothic.path;
    for (const char* name : {"ＭＳ ゴシック", "MS Gothic", "ゴシック", "ms gothic"})
        EXPECT_EQ(MatchFontFile(name, SHIFTJIS_CHARSET).path, gothic.path) << ShiftJisToUtf8(name);
    const FontFile proportional = MatchFontFile("ＭＳ Ｐゴシック", SHIFTJIS_CHARSET);
    EXPECT_NE(proportional.path, gothic.path);
    EXPECT_EQ(std::filesystem::canonical(proportional.path).filename(), "ipagp.ttf") << proportional.path;
    // Cell metrics follow the requested height and width.
    for (int height : {12, 16, 24, 33}) {
        for (int width : {0, 5, 8}) {
            const TextCanvas canvas(8, 8, height, width);
            const TEXTMETRICA m = canvas.Metrics();
            SCOPED_TRACE(testing::Message() << "cell " << height << " x " << width);
            EXPECT_EQ(m.tmHeight, height);
            EXPECT_EQ(m.tmAscent + m.tmDescent, height);
            EXPECT_GT(m.tmAscent, m.tmDescent);
            EXPECT_GE(m.tmDescent, 1);
            EXPECT_EQ(m.tmWeight, FW_NORMAL);
            // The Gothic face's half-width cell is half its em.
            const int cell = width ? width : m.tmAveCharWidth;
            EXPECT_NEAR(m.tmAveCharWidth, width ? width : (height - m.tmInternalLeading) / 2.0, 1.0);
            EXPECT_EQ(canvas.Extent("0123456789").cx, 10 * cell);
            EXPECT_EQ(canvas.Extent("日本語").cx, 3 * 2 * cell) << "a double-byte character fills two cells";
            EXPECT_EQ(canvas.Extent("ｱｲｳ").cx, 3 * cell) << "half-width katakana fill one";
            EXPECT_EQ((std::vector<LONG>{canvas.Extent("").cx, canvas.Extent("").cy}), (std::vector<LONG>{0, height}));
        }
    }
    const TextCanvas em(8, 8, -16, 0);
    EXPECT_EQ(em.Metrics().tmHeight - em.Metrics().tmInternalLeading, 16) << "a negative height is the em";
}

TEST(Text, CondensedGlyphsKeepTheirHeightClipsBoundTextAndWholeLinesMatchGlyphByGlyph) {
    TextCanvas natural(200, 40, 24, 12), condensed(200, 40, 24, 5);
    TextOutA(natural.dc, 2, 2, "WWWW", 4);
    TextOutA(condensed.dc, 2, 2, "WWWW", 4);
    const RECT a = natural.Ink(), b = condensed.Ink();
    const double ratio = static_cast<double>(b.right - b.left) / (a.right - a.left);
    EXPECT_NEAR(ratio, 5.0 / 12.0, 0.1);
    EXPECT_NEAR(b.bottom - b.top, a.bottom - a.top, 1);
    EXPECT_LE(b.right, 2 + 4 * 5 + 1) << "glyphs stay within their cells";
    // The clip region bounds the text.
    TextCanvas whole(200, 40, 24, 0), clipped(200, 40, 24, 0);
    ClipTo(clipped.dc, 20, 8, 60, 20);
    for (TextCanvas* canvas : {&whole, &clipped}) {
        SetBkMode(canvas->dc, OPAQUE);
        TextOutA(canvas->dc, 4, 2, "MMMMMMMM", 8);
    }
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            const bool inside = x >= 20 && x < 60 && y >= 8 && y < 20;
            ASSERT_EQ(clipped.Raw(x, y), inside ? whole.Raw(x, y) : clipped.Raw(PAPER)) << x << "," << y;
        }
    // A whole line matches the line drawn glyph by glyph in both background modes;
    // opaque text also fills its text box with the background colour, and nothing else.
    const char* text = "Hello, 世界! ｶﾀｶﾅ 0123 漢字かな";
    const COLORREF back = RGB(0, 128, 0);
    for (int mode : {TRANSPARENT, OPAQUE}) {
        TextCanvas line(400, 30, 16, 8), pieces(400, 30, 16, 8);
        for (TextCanvas* canvas : {&line, &pieces}) {
            SetBkMode(canvas->dc, mode);
            SetBkColor(canvas->dc, back);
        }
        ASSERT_TRUE(TextOutA(line.dc, 3, 5, text, static_cast<int>(std::strlen(text))));
        DrawGlyphByGlyph(pieces, 3, 5, text);
        EXPECT_EQ(line.bytes, pieces.bytes) << "mode " << mode;
        const SIZE extent = line.Extent(text);
        int ink = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 400; ++x) {
                const uint32_t pixel = line.Raw(x, y);
                const bool inside = x >= 3 && x < 3 + extent.cx && y >= 5 && y < 5 + extent.cy;
                const bool background = pixel == line.Raw(inside && mode == OPAQUE ? back : PAPER);
                ASSERT_TRUE(background || (inside && pixel == line.Raw(INK))) << x << "," << y;
                ink += pixel == line.Raw(INK);
            }
        EXPECT_GT(ink, 100);
    }
    TextCanvas canvas(8, 8, 16, 8);
    EXPECT_EQ(SetBkMode(canvas.dc, 0), 0) << "an unknown mode is refused";
    EXPECT_EQ(SetBkMode(canvas.dc, OPAQUE), TRANSPARENT);
}

TEST(Text, DrawTextBreaksLinesShiftJisPairsAreOneCharacterAndDibRowsGoThroughTheColourTable) {
    TextCanvas drawn(200, 100, 16, 8), lines(200, 100, 16, 8);
    const char* text = "AB\nCD\r\nEF\rG字";
    RECT area{5, 3, 200, 100};
    EXPECT_EQ(DrawTextA(drawn.dc, text, -1, &area, DT_NOCLIP | DT_NOPREFIX), 4 * 16);
    const char* rows[] = {"AB", "CD", "EF", "G字"};
    for (int i = 0; i < 4; ++i) TextOutA(lines.dc, 5, 3 + 16 * i, rows[i], static_cast<int>(std::strlen(rows[i])));
    EXPECT_EQ(drawn.bytes, lines.bytes);
    // Without DT_NOCLIP the rectangle cuts the text.
    TextCanvas cut(200, 100, 16, 8);
    RECT small{5, 3, 14, 100};
    DrawTextA(cut.dc, text, -1, &small, DT_NOPREFIX);
    EXPECT_LE(cut.Ink().right, 14);
    EXPECT_GT(cut.Ink().right, 5);
    // Shift-JIS pairs are one character.
    // "日" is 0x93 0xFA: a trail byte above 0x80.
    const char* nichi = "日";
    ASSERT_EQ(static_cast<uint8_t>(nichi[1]), 0xFA);
    EXPECT_EQ(CharNextExA(CP_SHIFTJIS, nichi, 0), nichi + 2);
    const char* leadThenBreak = "\x93\n";
    EXPECT_EQ(CharNextExA(CP_SHIFTJIS, leadThenBreak, 0), leadThenBreak + 1) << "a line feed is no trail byte";
    const char* empty = "";
    EXPECT_EQ(CharNextExA(CP_SHIFTJIS, empty, 0), empty);
    EXPECT_EQ((std::u32string{ShiftJisCodeToUnicode(0x93FA), ShiftJisCodeToUnicode(0xB1), ShiftJisCodeToUnicode('A')}),
              U"日ｱA");
    TextCanvas pair(100, 30, 16, 8), bytes(100, 30, 16, 8), ascii(100, 30, 16, 8);
    TextOutA(pair.dc, 2, 2, nichi, 2);
    TextOutA(bytes.dc, 2, 2, nichi, 1);  // the lead byte alone
    TextOutA(bytes.dc, 10, 2, nichi + 1, 1);
    TextOutA(ascii.dc, 2, 2, "??", 2);
    const RECT ink = pair.Ink();
    EXPECT_GT(ink.right - ink.left, 8) << "one glyph over two cells";
    EXPECT_NE(pair.bytes, bytes.bytes);
    EXPECT_NE(pair.bytes, ascii.bytes);
    // DIB rows put into a context go bottom up through the colour table.
    struct { BITMAPINFOHEADER header; RGBQUAD colors[4]; } info{};
    info.header = {40, 3, 2, 1, 8, BI_RGB, 0, 0, 0, 4, 0};
    info.colors[1] = {0, 0, 255, 0};  // red
    info.colors[2] = {0, 255, 0, 0};  // green
    info.colors[3] = {255, 0, 0, 0};  // blue
    // Rows of 4 bytes, bottom row first.
    const uint8_t bits[8] = {1, 1, 1, 0, 2, 3, 0, 0};
    Canvas whole(8, 6, PIXEL_FORMAT_565), partial(8, 6, PIXEL_FORMAT_565);
    const auto* bmi = reinterpret_cast<const BITMAPINFO*>(&info);
    EXPECT_EQ(SetDIBitsToDevice(whole.dc, 2, 1, 3, 2, 0, 0, 0, 2, bits, bmi, DIB_RGB_COLORS), 2);
    const uint32_t red = 0xF800, green = 0x07E0, blue = 0x001F;
    // The top row is the last in memory; nothing lands beyond the width.
    EXPECT_EQ((std::vector<uint32_t>{whole.Raw(2, 1), whole.Raw(3, 1), whole.Raw(4, 1), whole.Raw(2, 2), whole.Raw(4, 2),
                                     whole.Raw(5, 2)}),
              (std::vector<uint32_t>{green, blue, 0, red, red, 0}));
    // One scan given: only the bottom row; a clip region cuts the rest.
    ClipTo(partial.dc, 0, 0, 4, 6);
    EXPECT_EQ(SetDIBitsToDevice(partial.dc, 2, 1, 3, 2, 0, 0, 0, 1, bits, bmi, DIB_RGB_COLORS), 1);
    EXPECT_EQ((std::vector<uint32_t>{partial.Raw(2, 1), partial.Raw(2, 2), partial.Raw(3, 2), partial.Raw(4, 2)}),
              (std::vector<uint32_t>{0, red, red, 0}));
}

TEST(GlyphCache, DrawingTheSameLineAgainRasterisesNothingAndGreyOutlinesHave65LevelsPaddedRowsAndUprightMetrics) {
    // A cell size no other test uses, so the first drawing meets an empty cache.
    TextCanvas canvas(640, 40, 19, 9);
    const char* line = "The quick brown fox 01234 日本語テキスト";
    ASSERT_EQ(std::strlen(line), 40u);
    const uint64_t start = GetGlyphRasterCount();
    TextOutA(canvas.dc, 0, 0, line, 40);
    const uint64_t afterFirst = GetGlyphRasterCount();
    TextOutA(canvas.dc, 0, 20, line, 40);
    EXPECT_GT(afterFirst, start);
    EXPECT_LE(afterFirst - start, 40u);
    EXPECT_EQ(GetGlyphRasterCount(), afterFirst) << "the second drawing came from the cache";
    // A font made anew for the same cell shares the cached glyphs.
    TextCanvas again(640, 40, 19, 9);
    TextOutA(again.dc, 0, 0, line, 40);
    EXPECT_EQ(GetGlyphRasterCount(), afterFirst);
    // A glyph's grey bitmap has 65 levels, padded rows and upright metrics.
    const TextCanvas glyphs(8, 8, 32, 16);
    const TEXTMETRICA m = glyphs.Metrics();
    GLYPHMETRICS gm{};
    const DWORD size = GetGlyphOutlineA(glyphs.dc, 'A', GGO_GRAY8_BITMAP, &gm, 0, nullptr, &IDENTITY);
    const DWORD pitch = (gm.gmBlackBoxX + 3) / 4 * 4;
    ASSERT_NE(size, GDI_ERROR);
    EXPECT_EQ(size, pitch * gm.gmBlackBoxY);
    EXPECT_TRUE(gm.gmBlackBoxX > 4 && gm.gmBlackBoxX <= 16 && gm.gmBlackBoxY > 12)
        << gm.gmBlackBoxX << " x " << gm.gmBlackBoxY;
    EXPECT_EQ((std::vector<int>{gm.gmCellIncX, gm.gmCellIncY}), (std::vector<int>{16, 0}));
    EXPECT_GE(gm.gmptGlyphOrigin.x, 0);
    EXPECT_LE(gm.gmptGlyphOrigin.y, m.tmAscent);
    EXPECT_GE(gm.gmptGlyphOrigin.y - static_cast<int>(gm.gmBlackBoxY), -m.tmDescent);
    std::vector<uint8_t> upright(size, 0xEE), flipped(size, 0xEE);
    EXPECT_EQ(GetGlyphOutlineA(glyphs.dc, 'A', GGO_GRAY8_BITMAP, &gm, size, upright.data(), &IDENTITY), size);
    EXPECT_EQ(GetGlyphOutlineA(glyphs.dc, 'A', GGO_GRAY8_BITMAP, &gm, size, flipped.data(), &FLIP), size);
    int full = 0;
    for (DWORD y = 0; y < gm.gmBlackBoxY; ++y) {
        for (DWORD x = 0; x < pitch; ++x) {
            const uint8_t level = upright[y * pitch + x];
            ASSERT_LE(level, 64);
            ASSERT_TRUE(x < gm.gmBlackBoxX || level == 0) << "row padding at " << x << ", " << y;
            full += level == 64;
            ASSERT_EQ(flipped[(gm.gmBlackBoxY - 1 - y) * pitch + x], level) << "the flip reverses the rows";
        }
    }
    EXPECT_GT(full, 10);
    // The top row holds the apex of the A, the bottom row its two feet.
    int topInk = 0, bottomInk = 0;
    for (DWORD x = 0; x < gm.gmBlackBoxX; ++x) {
        topInk += upright[x] > 0;
        bottomInk += upright[(gm.gmBlackBoxY - 1) * pitch + x] > 0;
    }
    EXPECT_LT(topInk, bottomInk);
    EXPECT_EQ(GetGlyphOutlineA(glyphs.dc, 'A', GGO_GRAY8_BITMAP, &gm, size - 1, upright.data(), &IDENTITY),
              GDI_ERROR);
    const MAT2 turn{{0, 0}, {0, 1}, {0, -1}, {0, 0}};
    EXPECT_EQ(GetGlyphOutlineA(glyphs.dc, 'A', GGO_GRAY8_BITMAP, &gm, 0, nullptr, &turn), GDI_ERROR);
    EXPECT_EQ(GetGlyphOutlineA(glyphs.dc, 'A', 1, &gm, 0, nullptr, &IDENTITY), GDI_ERROR);
    EXPECT_EQ(GetGlyphOutlineA(glyphs.dc, ' ', GGO_GRAY8_BITMAP, &gm, 0, nullptr, &IDENTITY), 0u);
    EXPECT_EQ(gm.gmCellIncX, 16) << "a space only moves the pen";
    EXPECT_EQ(GetGlyphOutlineA(glyphs.dc, 0x93FA, GGO_GRAY8_BITMAP, &gm, 0, nullptr, &IDENTITY) > 0, true);
    EXPECT_EQ(gm.gmCellIncX, 32);
}

}  // namespace
