// Pictures as red, green, blue bytes: what the desktop shows and what frame
// captures store, converted from any surface format.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/pixel_buffer.h"

// Three bytes per pixel (red, green, blue), rows top first, no gaps.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

// Converts an 8, 16, 24 or 32-bit picture into image (its storage is reused).
// Colour fields narrower than 8 bits are widened by repeating their bits, so
// full intensity stays 255; 8-bit pixels go through picture.palette, or stand
// for grey levels when it has none.
void PictureToRgb(const PixelBuffer& picture, RgbImage* image);
