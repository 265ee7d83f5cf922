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

// Reads the pixels of an 8, 16, 24 or 32-bit picture as 0x00RRGGBB values.
// Colour fields narrower than 8 bits are widened by repeating their bits, so
// full intensity stays 255; 8-bit pixels go through picture.palette, or stand
// for grey levels when it has none.
class XrgbReader {
public:
    explicit XrgbReader(const PixelBuffer& picture);
    // count pixels of row y from column x, into out.
    void ReadRow(int x, int y, int count, uint32_t* out) const;

private:
    struct Field {
        int shift = 0;
        uint32_t valueMask = 0;
        uint8_t widened[256] = {};
    };
    static Field MakeField(uint32_t mask);

    const PixelBuffer& picture_;
    int bytesPerPixel_;
    Field red_, green_, blue_;
};

// Converts a whole picture into image (its storage is reused).
void PictureToRgb(const PixelBuffer& picture, RgbImage* image);
