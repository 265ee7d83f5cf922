// Conversion of presented pictures to RGB bytes.
#include "platform/win/picture_rgb.h"

#include <bit>
#include <cstddef>
#include <cstring>

namespace {

// One colour field of a pixel and what each of its values becomes in 8 bits.
struct ColorField {
    explicit ColorField(uint32_t mask) {
        if (mask == 0) return;
        shift = std::countr_zero(mask);
        const int bits = std::popcount(mask);
        valueMask = (1u << bits) - 1;
        for (uint32_t v = 0; v <= valueMask && v < 256; ++v) widened[v] = Widen(v, bits);
    }
    uint8_t Of(uint32_t pixel) const { return widened[(pixel >> shift) & valueMask & 0xFF]; }

    static uint8_t Widen(uint32_t value, int bits) {
        if (bits >= 8) return static_cast<uint8_t>(value >> (bits - 8));
        uint32_t out = 0;
        int filled = 0;
        for (; filled < 8; filled += bits) out = (out << bits) | value;
        return static_cast<uint8_t>(out >> (filled - 8));
    }

    int shift = 0;
    uint32_t valueMask = 0;
    uint8_t widened[256] = {};
};

void IndexedRow(const uint8_t* row, int width, const PaletteEntryRGB* palette, uint8_t* out) {
    for (int x = 0; x < width; ++x, out += 3) {
        const uint8_t i = row[x];
        if (palette) {
            out[0] = palette[i].red, out[1] = palette[i].green, out[2] = palette[i].blue;
        } else {
            out[0] = out[1] = out[2] = i;
        }
    }
}

}  // namespace

void PictureToRgb(const PixelBuffer& picture, RgbImage* image) {
    image->width = picture.width;
    image->height = picture.height;
    image->rgb.resize(static_cast<size_t>(picture.width) * picture.height * 3);
    const int bytesPerPixel = (picture.format.bitsPerPixel + 7) / 8;
    const ColorField red(picture.format.redMask), green(picture.format.greenMask), blue(picture.format.blueMask);
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = picture.bits + static_cast<ptrdiff_t>(y) * picture.pitch;
        uint8_t* out = image->rgb.data() + static_cast<size_t>(y) * picture.width * 3;
        if (bytesPerPixel == 1) {
            IndexedRow(row, picture.width, picture.palette, out);
            continue;
        }
        for (int x = 0; x < picture.width; ++x, out += 3) {
            uint32_t pixel = 0;
            std::memcpy(&pixel, row + x * bytesPerPixel, bytesPerPixel);
            out[0] = red.Of(pixel), out[1] = green.Of(pixel), out[2] = blue.Of(pixel);
        }
    }
}
