// Writes .bmp files of every header kind, depth, compression and row order
// from one small indexed reference picture, for the decoder's tests.
#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "platform/gdi/gdi.h"

// Os2Short is the 16-byte OS/2 2.x header (up to the bit count), Os2 the full
// 64-byte one; both keep 4-byte colour-table entries.
enum class BmpHeaderKind { Core, Info, V4, V5, Os2Short, Os2 };

struct BmpVariant {
    const char* name;
    BmpHeaderKind header;
    int bitsPerPixel;
    DWORD compression;
    bool topDown = false;
    uint32_t masks[3] = {0, 0, 0};  // red, green, blue for 16 and 32 bits per pixel
    int colorsUsed = 0;              // written as biClrUsed (0: full table)
};

// Test names and failure messages show a variant by its name.
inline void PrintTo(const BmpVariant& variant, std::ostream* out) { *out << variant.name; }

constexpr int REFERENCE_WIDTH = 13;
constexpr int REFERENCE_HEIGHT = 7;

// The reference picture: an index 0..15 per pixel (0..1 for one bit per
// pixel) and the colour each index stands for.
int ReferenceIndex(int x, int y, int bitsPerPixel);
COLORREF ReferenceColor(int index);

// The colour a variant stores for a reference colour: exact for palettes,
// each channel cut to its mask's bits (and widened again) otherwise.
COLORREF ExpectedColor(const BmpVariant& variant, int x, int y);

std::vector<uint8_t> EncodeBmp(const BmpVariant& variant);

// Every variant the decoder supports.
std::vector<BmpVariant> AllBmpVariants();
