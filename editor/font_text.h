// Bitmap-font text, the once-per-frame input snapshot and the hit tests that
// turn the pointer into a button state. A button is a font-0 label plus the
// 17-pixel-high rectangle its characters cover.
#pragma once

enum HitCode {
    HIT_INVALID = -1,  // button code outside 0..3
    HIT_NONE = 0,      // pointer outside
    HIT_HOVER = 1,     // inside, button up
    HIT_PRESSED = 2,   // inside, button went down this frame
    HIT_HELD = 3,      // inside, button held
    HIT_RELEASED = 4,  // inside, button went up this frame
};

// Glyph cells of the font sheets: 16 per row, starting with the space.
constexpr int GLYPH_WIDTH = 11;
constexpr int GLYPH_HEIGHT = 17;
constexpr int GLYPHS_PER_ROW = 16;

struct FontButton {
    int x;
    int y;
    const char* label;
};

void ReadEditorInput();
int HitTestLeft(int x, int y, int width, int height);
int HitTestRight(int x, int y, int width, int height);

// Text composed into the canvas, text drawn on the screen, and a number drawn
// as a fixed count of digits (leading zeros, only the low digits).
void PutFontText(int x, int y, const char* text, int font);
void DrawFontText(int x, int y, const char* text, int font);
void DrawFontNumber(int x, int y, int digits, int value, int font);

// The button convention: labels in font 0, acting on HIT_PRESSED, redrawn in
// font 2 while the pointer is over them.
int HitTestButton(const FontButton& button);
void PutButtonLabel(const FontButton& button);
void DrawButtonLabel(const FontButton& button, int font);
void DrawButtonHighlight(const FontButton& button);
