// A rectangle of pixels in memory: what a DirectDraw surface hands out when
// locked, what a DIB section holds, and what a device context draws into.
#pragma once

#include <cstdint>

struct PixelFormat {
    int bitsPerPixel = 16;  // 8, 16, 24 or 32 (1 and 4 too in bitmaps)
    uint32_t redMask = 0;   // 0 for 8 bits per pixel (palette indices)
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
};

constexpr PixelFormat PIXEL_FORMAT_565{16, 0xF800, 0x07E0, 0x001F};
constexpr PixelFormat PIXEL_FORMAT_555{16, 0x7C00, 0x03E0, 0x001F};
constexpr PixelFormat PIXEL_FORMAT_888{24, 0xFF0000, 0x00FF00, 0x0000FF};
constexpr PixelFormat PIXEL_FORMAT_8888{32, 0xFF0000, 0x00FF00, 0x0000FF};
constexpr PixelFormat PIXEL_FORMAT_INDEXED8{8, 0, 0, 0};
constexpr PixelFormat PIXEL_FORMAT_MONOCHROME{1, 0, 0, 0};

struct PaletteEntryRGB {
    uint8_t red, green, blue, flags;
};

// The two colours of a monochrome bitmap that comes without a table.
inline constexpr PaletteEntryRGB BLACK_WHITE_COLORS[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};

struct PixelBuffer {
    uint8_t* bits = nullptr;  // top row first
    int width = 0;
    int height = 0;
    int pitch = 0;  // bytes from one row to the next (negative: rows lie bottom-up in memory)
    PixelFormat format;
    // For 1, 4 and 8 bits per pixel: the 256 colours the indices stand for (may be null:
    // then the default display palette applies).
    const PaletteEntryRGB* palette = nullptr;
};
