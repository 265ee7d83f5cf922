// GDI drawing on the back buffer: text settings, clearing.
#pragma once

#include <cstdint>

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
int SetTextFont(int width, int height, uint32_t color, const char* face);
