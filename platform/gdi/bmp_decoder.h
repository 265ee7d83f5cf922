// Decoding of .bmp file images: core and OS/2 2.x (16 and 64 bytes), info,
// V4 and V5 headers; 1, 4, 8, 16, 24 and 32 bits per pixel; RLE4, RLE8 and
// bit fields; both row orders. Malformed or truncated data and pictures
// beyond the loaders' size limit (picture_limits.h) are refused; nothing
// outside the data is read.
#pragma once

#include <array>
#include <cstddef>

#include "platform/gdi/gdi.h"

struct BmpInfo {
    int width = 0;
    int height = 0;  // always positive
    bool topDown = false;
    int bitsPerPixel = 0;
    DWORD compression = BI_RGB;
    PixelFormat format;  // of the decoded pixels: the file's own
    std::array<PaletteEntryRGB, 256> colors{};
    int colorCount = 0;
    size_t pixelOffset = 0;
};

// Reads and checks the headers and colour table; false for anything that is
// not a well-formed, supported bitmap of an acceptable size.
bool ReadBmpInfo(const uint8_t* data, size_t size, BmpInfo* info);

// Decodes the pixels into out (info's size and format, top row first; pixels
// that RLE data skips stay as they were); false when the data is malformed.
bool DecodeBmpPixels(const uint8_t* data, size_t size, const BmpInfo& info, const PixelBuffer& out);
