// The picture a decoder plug-in hands back: a BITMAPINFO block (with a
// 256-entry colour table at 8 bits per pixel) and a block of bottom-up rows,
// both movable memory that the framework frees after use.
#pragma once

#include <cstdint>

#include "framework/image/picture_plugin.h"

struct DibBlocks {
    HGLOBAL info = nullptr;
    HGLOBAL bits = nullptr;
    BITMAPINFO* header = nullptr;  // locked while the plug-in fills the blocks
    uint8_t* pixels = nullptr;
    int stride = 0;
    int height = 0;
};

// Allocates and locks both blocks for a width x height DIB of 8 or 24 bits per
// pixel, zero-filled; false for an empty picture, one beyond the loaders' size
// limit (picture_limits.h) or no memory. Decoders ask before they allocate
// anything of their own for the picture.
bool AllocateDib(DibBlocks* dib, uint32_t width, uint32_t height, int bitsPerPixel);

// Row y of the picture, counted from the top.
uint8_t* DibRow(const DibBlocks& dib, int y);

// Unlocks the blocks and gives them to the caller; PICTURE_OK.
int HandOverDib(DibBlocks* dib, HGLOBAL* info, HGLOBAL* bits);

// Frees whatever blocks exist after a failed decode; returns result.
int DiscardDib(DibBlocks* dib, int result);
