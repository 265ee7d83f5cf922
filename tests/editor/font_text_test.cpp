// Font text and buttons: where each character's glyph comes from and lands,
// fixed-width numbers, and the hit tests with the key edges behind them.
#include <gtest/gtest.h>

#include <cstring>

#include "editor/editor_state.h"
#include "framework/draw/draw.h"
#include "framework/input/input.h"
#include "tests/framework/display_fixture.h"

namespace {

constexpr uint16_t CELL_EDGE = 0xFFFF;

// Every glyph cell of a font sheet filled with its own number (1 + column +
// 16 * row); the last column and row of each cell with CELL_EDGE.
uint16_t GlyphPixel(int x, int y) {
    if (x % GLYPH_WIDTH == GLYPH_WIDTH - 1 || y % GLYPH_HEIGHT == GLYPH_HEIGHT - 1) return CELL_EDGE;
    return static_cast<uint16_t>(1 + x / GLYPH_WIDTH + GLYPHS_PER_ROW * (y / GLYPH_HEIGHT));
}

uint16_t GlyphNumber(char ch) { return static_cast<uint16_t>(1 + (ch - ' ')); }

class FontText : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        for (int font = 0; font < 4; ++font) {
            ASSERT_EQ(CreateImage(FONT_SLOT_BASE + font, GLYPH_WIDTH * GLYPHS_PER_ROW, GLYPH_HEIGHT * 6, 0, 0), 1);
            PaintSlot(FONT_SLOT_BASE + font, GlyphPixel);
        }
        ASSERT_EQ(CreateImage(CANVAS_SLOT, 640, 480, 0, 0), 1);
        ClearBackBufferTo(0);
    }

    static uint16_t CanvasPixel(int x, int y) {
        uint16_t* pixels = nullptr;
        int pitch = 0;
        if (LockImage(CANVAS_SLOT, &pixels, &pitch) != 1) return 0xDEAD;
        const uint16_t value = pixels[y * pitch + x];
        UnlockImage(CANVAS_SLOT, pixels);
        return value;
    }

    // The digits DrawFontNumber left at (100, 50), each checked over its 10 x 16 extent.
    static std::string DrawnDigits(int count) {
        std::string digits;
        for (int k = 0; k < count; ++k) {
            const int x = 100 + GLYPH_WIDTH * k;
            const uint16_t glyph = BackPixel(x, 50);
            EXPECT_EQ(BackPixel(x + 9, 65), glyph);
            EXPECT_EQ(BackPixel(x + 10, 50), 0) << "digit " << k << " is 10 pixels wide";
            EXPECT_EQ(BackPixel(x, 66), 0) << "digit " << k << " is 16 pixels high";
            digits += glyph == 0 ? '_' : static_cast<char>(' ' + glyph - 1);
        }
        return digits;
    }
};

// Composed text takes each glyph short of its cell edges, drawn text the whole cell of the chosen font.
TEST_F(FontText, ComposedAndDrawnTextTakeTheirPartOfTheGlyphCell) {
    PutFontText(10, 20, "A\x81" "B", 0);
    // A byte above 127 has no glyph but keeps its place (21, 20).
    EXPECT_EQ((Pixels{CanvasPixel(10, 20), CanvasPixel(19, 35), CanvasPixel(20, 20), CanvasPixel(10, 36), CanvasPixel(21, 20),
                      CanvasPixel(32, 20)}),
              (Pixels{GlyphNumber('A'), GlyphNumber('A'), 0, 0, 0, GlyphNumber('B')}));
    PaintSlot(FONT_SLOT_BASE + 2, [](int x, int y) { return GlyphPixel(x, y) | 0x8000; });
    DrawFontText(10, 20, "?/", 2);
    EXPECT_EQ(BackPixels({{10, 20}, {20, 36}, {21, 20}, {32, 20}}),
              (Pixels{static_cast<uint16_t>(GlyphNumber('?') | 0x8000), CELL_EDGE, static_cast<uint16_t>(GlyphNumber('/') | 0x8000), 0}));
}

TEST_F(FontText, NumbersShowExactlyTheAskedDigits) {
    const struct {
        int value;
        const char* shown;
    } cases[] = {{100, "100"}, {5, "005"}, {-4, "000"}, {1234, "234"}, {7, "007"}};
    for (const auto& c : cases) {
        ClearBackBufferTo(0);
        DrawFontNumber(100, 50, 3, c.value, 1);
        EXPECT_EQ(DrawnDigits(3), c.shown) << c.value;
        EXPECT_EQ(BackPixel(133, 50), 0) << c.value;
    }
    ClearBackBufferTo(0);
    DrawFontNumber(100, 50, 0, 5, 1);
    EXPECT_EQ(DrawnDigits(1), "_");
}

class HitTests : public ::testing::Test {
protected:
    void SetUp() override { std::memset(&gEditor, 0, sizeof(gEditor)); }
    static void Pointer(int x, int y) { gEditor.pointerX = x, gEditor.pointerY = y; }
};

TEST_F(HitTests, TheRectangleIncludesItsLastPixelsAndEachButtonGivesItsOwnHitCode) {
    // A four-letter button at (453, 18): 44 x 17.
    const struct { int x, y, hit; } points[] = {{453, 18, HIT_HOVER}, {496, 34, HIT_HOVER}, {497, 18, HIT_NONE},
                  {453, 35, HIT_NONE},  {452, 20, HIT_NONE},  {460, 17, HIT_NONE}};
    for (const auto& p : points) {
        Pointer(p.x, p.y);
        EXPECT_EQ(HitTestLeft(453, 18, 44, 17), p.hit) << p.x << ", " << p.y;
        EXPECT_EQ(HitTestButton(SAVE_BUTTON), p.hit) << p.x << ", " << p.y;
    }
    // Each button's code gives its own hit code.
    Pointer(20, 20);
    const int expected[] = {HIT_HOVER, HIT_RELEASED, HIT_PRESSED, HIT_HELD, HIT_INVALID};
    for (int code = 0; code <= 4; ++code) {
        gEditor.leftButton = code;
        gEditor.rightButton = (code + 2) % 4;
        EXPECT_EQ(HitTestLeft(10, 10, 30, 12), expected[code]) << code;
        EXPECT_EQ(HitTestRight(10, 10, 30, 12), expected[(code + 2) % 4]) << code;
    }
}

// A press only acts where the button went down: pressing outside and moving
// in while held, or pressing again straight after a release, gives HIT_HELD.
TEST_F(HitTests, OnlyAPressFromUpInsideIsAPress) {
    const struct {
        bool down;
        int x;
        int hit;
    } frames[] = {{true, 0, HIT_NONE},     {true, 460, HIT_HELD},  {false, 460, HIT_RELEASED},
                  {true, 460, HIT_HELD},   {false, 460, HIT_RELEASED}, {false, 460, HIT_HOVER},
                  {true, 460, HIT_PRESSED}};
    uint8_t edge = KEY_UP;
    for (const auto& f : frames) {
        edge = UpdateEdgeState(f.down, edge);
        gEditor.leftButton = edge;
        Pointer(f.x, 20);
        EXPECT_EQ(HitTestButton(SAVE_BUTTON), f.hit) << "down " << f.down << " at " << f.x;
    }
}

}  // namespace
