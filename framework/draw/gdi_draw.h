// GDI drawing on the back buffer: text settings, clearing.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi.h"

// Shapes, pixels and clears (gdi_shapes.cpp). Colours are 0x00BBGGRR; the
// shapes return 1 when drawn and 0 without a back buffer. Lines leave out
// their end point, rectangles and ellipses their right and bottom edges. The
// filled rectangles are first cut to the clip rectangle (0 when they miss
// it); the rest is cut by the back buffer's clip region. The fast pixel calls
// work on a 16-bit display only, with raw channel values.
int ClearScreen(uint32_t color);
uint32_t GetScreenPixel(int x, int y);
int SetScreenPixel(int x, int y, uint32_t color);
uint32_t GetScreenPixelFast(int x, int y);
void SetScreenPixelFast(int x, int y, uint32_t color);
int DrawLine(int x1, int y1, int x2, int y2, uint32_t color);
int DrawRect(int x1, int y1, int x2, int y2, uint32_t color);
int DrawFilledRect(int x1, int y1, int x2, int y2, uint32_t color);
int FillScreenRect(int x1, int y1, int x2, int y2, uint32_t color);
int InvertScreenRect(int x1, int y1, int x2, int y2);
int DrawEllipse(int x1, int y1, int x2, int y2, uint32_t color);
int DrawFilledEllipse(int x1, int y1, int x2, int y2, uint32_t color);

// Text with the framework's font (gdi_text.cpp). The settings hold until
// changed. PrintText formats printf-style into a buffer of
// PRINT_TEXT_BUFFER_SIZE bytes (longer text is cut), starts a new line at
// each line feed, and with centring on replaces x so that the line sits in
// the middle of the screen width. The background mode is TRANSPARENT or
// OPAQUE; 0 leaves the context's own.
constexpr int PRINT_TEXT_BUFFER_SIZE = 2400;
int SetTextFont(int width, int height, uint32_t color, const char* face);
void SetTextBackground(int mode, uint32_t color);
void SetTextCentered(int centered);
void PrintText(int x, int y, const char* format, ...) __attribute__((format(printf, 3, 4)));
// The font of the text settings, as PrintText makes it; the caller deletes it.
HFONT CreateTextFont();
