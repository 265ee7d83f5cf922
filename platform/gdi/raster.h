// The pixel loops under GDI's lines and shapes: every mix mode as one and/xor
// pair, applied to spans, boxes and Bresenham walks in the target's format.
// Callers clip first; every loop touches exactly the pixels it is given.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/gdi/gdi.h"

// A mix mode with its colour: each target pixel D becomes (D & andMask) ^ xorMask.
struct PixelMix {
    uint32_t andMask;
    uint32_t xorMask;
};

// The and/xor pair of a mix mode (R2_BLACK .. R2_WHITE) for a raw pen value,
// within a pixel of bitsPerPixel bits.
PixelMix MixForRop2(int rop2, uint32_t pen, int bitsPerPixel);

// The mix that inverts every bit of a pixel.
PixelMix InvertMix(int bitsPerPixel);

// The mix of a colour on a context's pixels: the colour as GDI writes it
// (nearest palette entry on indexed pixels) in the given mix mode.
PixelMix ColorMix(const DeviceContext& dc, COLORREF color, int rop2);

// count pixels of row y from column x.
void MixSpan(const PixelBuffer& target, int x, int y, int count, PixelMix mix);

// The pixels of box (right and bottom exclusive).
void MixBox(const PixelBuffer& target, const RECT& box, PixelMix mix);

// count pixels of a line from (x, y): each step moves one pixel along the
// major axis; the minor axis moves too when error + bias > 0, after which the
// error drops by decrease; the error grows by increase every step.
struct LineWalk {
    int x, y;
    int count;
    int majorX, majorY;  // unit step of the major axis
    int minorX, minorY;  // unit step of the minor axis
    int64_t error, increase, decrease;
    int bias;
};
void MixLine(const PixelBuffer& target, const LineWalk& walk, PixelMix mix);
