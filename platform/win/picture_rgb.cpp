// Conversion of presented pictures to RGB values.
#include "platform/win/picture_rgb.h"

#include <bit>
#include <cstddef>
#include <cstring>

namespace {

uint8_t Widen(uint32_t value, int bits) {
    if (bits >= 8) return static_cast<uint8_t>(value >> (bits - 8));
    uint32_t out = 0;
    int filled = 0;
    for (; filled < 8; filled += bits) out = (out << bits) | value;
    return static_cast<uint8_t>(out >> (filled - 8));
}

}  // namespace

XrgbReader::Field XrgbReader::MakeField(uint32_t mask) {
    Field field;
    if (mask == 0) return field;
    field.shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    field.valueMask = (1u << bits) - 1;
    for (uint32_t v = 0; v <= field.valueMask && v < 256; ++v) field.widened[v] = Widen(v, bits);
    return field;
}

XrgbReader::XrgbReader(const PixelBuffer& picture)
    : picture_(picture),
      bytesPerPixel_((picture.format.bitsPerPixel + 7) / 8),
      red_(MakeField(picture.format.redMask)),
      green_(MakeField(picture.format.greenMask)),
      blue_(MakeField(picture.format.blueMask)) {}

void XrgbReader::ReadRow(int x, int y, int count, uint32_t* out) const {
    const uint8_t* row = picture_.bits + static_cast<ptrdiff_t>(y) * picture_.pitch + x * bytesPerPixel_;
    if (bytesPerPixel_ == 1) {
        const PaletteEntryRGB* palette = picture_.palette;
        for (int i = 0; i < count; ++i) {
            const uint8_t index = row[i];
            out[i] = palette ? (uint32_t{palette[index].red} << 16 | uint32_t{palette[index].green} << 8 |
                                palette[index].blue)
                             : index * 0x010101u;
        }
        return;
    }
    const auto of = [](const Field& field, uint32_t pixel) {
        return uint32_t{field.widened[(pixel >> field.shift) & field.valueMask & 0xFF]};
    };
    for (int i = 0; i < count; ++i) {
        uint32_t pixel = 0;
        std::memcpy(&pixel, row + i * bytesPerPixel_, bytesPerPixel_);
        out[i] = of(red_, pixel) << 16 | of(green_, pixel) << 8 | of(blue_, pixel);
    }
}

void PictureToRgb(const PixelBuffer& picture, RgbImage* image) {
    image->width = picture.width;
    image->height = picture.height;
    image->rgb.resize(static_cast<size_t>(picture.width) * picture.height * 3);
    const XrgbReader reader(picture);
    std::vector<uint32_t> row(static_cast<size_t>(picture.width));
    uint8_t* out = image->rgb.data();
    for (int y = 0; y < picture.height; ++y) {
        reader.ReadRow(0, y, picture.width, row.data());
        for (const uint32_t pixel : row) {
            *out++ = static_cast<uint8_t>(pixel >> 16);
            *out++ = static_cast<uint8_t>(pixel >> 8);
            *out++ = static_cast<uint8_t>(pixel);
        }
    }
}
