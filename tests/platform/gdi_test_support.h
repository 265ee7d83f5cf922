// Shared pieces of the GDI tests: pixel buffers the tests own, and bitmaps
// loaded from bytes through a file, as programs load them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"

// A zeroed surface-like buffer of the given format.
struct OwnedPixels {
    std::vector<uint8_t> bytes;
    PixelBuffer buffer;
    OwnedPixels(int width, int height, PixelFormat format, const PaletteEntryRGB* palette = nullptr);
    uint32_t Raw(int x, int y) const;  // 8, 16 or 32 bits per pixel
};

// Such a buffer with a surface context over it, taken down at the end of scope.
struct Canvas : OwnedPixels {
    HDC dc;
    Canvas(int width, int height, PixelFormat format, const PaletteEntryRGB* palette = nullptr)
        : OwnedPixels(width, height, format, palette), dc(CreateSurfaceDC(buffer)) {}
    ~Canvas() { DeleteSurfaceDC(dc); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
};

// Clips the context's drawing to a rectangle; the context keeps its own copy
// of the region. Returns SelectClipRgn's answer.
int ClipTo(HDC dc, int left, int top, int right, int bottom);

// Writes bytes to a temporary .bmp file and loads it with LoadImageA.
HBITMAP LoadBmpBytes(const std::vector<uint8_t>& bytes);
