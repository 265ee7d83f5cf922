// Text from the four font sheets (slots 91..94), the input snapshot every hit
// test of a frame reads, and the button convention all screens follow.
// Characters without a glyph (below the space, or bytes 128..255) still take
// their place; their source rectangle lies off the sheet and draws nothing.
#include "editor/font_text.h"

#include <cstring>

#include "editor/editor_state.h"
#include "framework/draw/draw.h"
#include "framework/input/input.h"

namespace {

constexpr int VK_LEFT_BUTTON = 1;
constexpr int VK_RIGHT_BUTTON = 2;

// Sheet column and row of a character's glyph; the character is a signed byte.
void GlyphCell(char ch, int* column, int* row) {
    const int g = static_cast<signed char>(ch) - ' ';
    *column = g % GLYPHS_PER_ROW;
    *row = g / GLYPHS_PER_ROW;
}

int HitTest(int buttonCode, int x, int y, int width, int height) {
    const int px = gEditor.pointerX;
    const int py = gEditor.pointerY;
    if (px < x || px >= x + width || py < y || py >= y + height) return HIT_NONE;
    switch (buttonCode) {
        case KEY_UP: return HIT_HOVER;
        case KEY_RELEASED: return HIT_RELEASED;
        case KEY_PRESSED: return HIT_PRESSED;
        case KEY_HELD: return HIT_HELD;
        default: return HIT_INVALID;
    }
}

int ButtonWidth(const FontButton& button) { return GLYPH_WIDTH * static_cast<int>(std::strlen(button.label)); }

}  // namespace

void ReadEditorInput() {
    gEditor.leftButton = KeyState(VK_LEFT_BUTTON);
    gEditor.rightButton = KeyState(VK_RIGHT_BUTTON);
    gEditor.pointerX = MouseX();
    gEditor.pointerY = MouseY();
}

int HitTestLeft(int x, int y, int width, int height) { return HitTest(gEditor.leftButton, x, y, width, height); }

int HitTestRight(int x, int y, int width, int height) { return HitTest(gEditor.rightButton, x, y, width, height); }

// Glyphs are copied one pixel short of the cell in each direction.
void PutFontText(int x, int y, const char* text, int font) {
    for (int k = 0; text[k] != '\0'; ++k) {
        int gc, gr;
        GlyphCell(text[k], &gc, &gr);
        CopyImage(CANVAS_SLOT, x + GLYPH_WIDTH * k, y, GLYPH_WIDTH - 1, GLYPH_HEIGHT - 1, FONT_SLOT_BASE + font,
                  GLYPH_WIDTH * gc, GLYPH_HEIGHT * gr);
    }
}

void DrawFontText(int x, int y, const char* text, int font) {
    for (int k = 0; text[k] != '\0'; ++k) {
        int gc, gr;
        GlyphCell(text[k], &gc, &gr);
        DrawImage(x + GLYPH_WIDTH * k, y, FONT_SLOT_BASE + font, GLYPH_WIDTH * gc, GLYPH_HEIGHT * gr,
                  GLYPH_WIDTH * (gc + 1), GLYPH_HEIGHT * (gr + 1));
    }
}

// Digits come from sheet row 1 ("0" to "?"), 10 x 16 pixels each: the top
// edge is the fixed row 17, the bottom edge the cell height plus 16.
void DrawFontNumber(int x, int y, int digits, int value, int font) {
    if (value < 0) value = 0;
    for (int k = 0; k < digits; ++k) {
        int shifted = value;
        for (int m = 0; m < digits - 1 - k; ++m) shifted /= 10;
        const int d = shifted % 10;
        DrawImage(x + GLYPH_WIDTH * k, y, FONT_SLOT_BASE + font, GLYPH_WIDTH * d, 17, GLYPH_WIDTH * (d + 1) - 1,
                  GLYPH_HEIGHT + 16);
    }
}

int HitTestButton(const FontButton& button) { return HitTestLeft(button.x, button.y, ButtonWidth(button), GLYPH_HEIGHT); }

void PutButtonLabel(const FontButton& button) { PutFontText(button.x, button.y, button.label, FONT_PLAIN); }

void DrawButtonLabel(const FontButton& button, int font) { DrawFontText(button.x, button.y, button.label, font); }

void DrawButtonHighlight(const FontButton& button) {
    if (HitTestButton(button) >= HIT_HOVER) DrawButtonLabel(button, FONT_HIGHLIGHT);
}
