// The pixel layout a DIB header describes: size, row order, channel masks
// and colour table, checked so that a bad header is refused before use.
#pragma once

#include "platform/gdi/gdi.h"

// The format a DIB of this depth has without explicit masks: palette indices
// up to 8 bits, 5-5-5 at 16, blue-green-red bytes at 24 and 32.
PixelFormat DefaultDibFormat(int bitsPerPixel);

// Masks must be non-zero, contiguous, disjoint and inside the pixel.
bool ValidChannelMasks(int bitsPerPixel, uint32_t red, uint32_t green, uint32_t blue);

struct DibLayout {
    int width = 0;
    int height = 0;  // always positive
    bool topDown = false;
    PixelFormat format;
    int stride = 0;
    int colorCount = 0;                // entries in the colour table
    const RGBQUAD* colors = nullptr;  // follows the header (and its masks)
};

// Reads an uncompressed or bit-field DIB header with its masks and colour
// table; false for anything else or for sizes out of range.
bool ReadDibLayout(const BITMAPINFO* info, DibLayout* layout);

// A view of caller memory holding rows in this layout, top row first.
PixelBuffer DibPixels(const DibLayout& layout, void* bits, int lines, const PaletteEntryRGB* palette);

// Colour-table entries in palette form.
void CopyRgbQuads(const RGBQUAD* quads, int count, PaletteEntryRGB* out);
