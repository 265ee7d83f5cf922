// Pixel reading and writing for every buffer format, and colour conversion.
// Multi-byte pixels are little-endian; 24-bit pixels are blue, green, red.
#include "platform/gdi/pixel_codec.h"

#include <bit>
#include <cstring>

namespace {

constexpr int NEAREST_CACHE_SIZE = 4096;
constexpr uint64_t CACHE_FILLED = 1ull << 40;

}  // namespace

PixelCodec::PixelCodec(const PixelBuffer& buffer)
    : buffer_(buffer),
      palette_(buffer.palette ? buffer.palette : GetDefaultPalette()),
      paletteSize_(buffer.format.bitsPerPixel <= 8 ? 1 << buffer.format.bitsPerPixel : 0),
      red_(MakeChannel(buffer.format.redMask)),
      green_(MakeChannel(buffer.format.greenMask)),
      blue_(MakeChannel(buffer.format.blueMask)) {}

PixelCodec::Channel PixelCodec::MakeChannel(uint32_t mask) {
    if (mask == 0) return {};
    return {mask, std::countr_zero(mask), std::popcount(mask)};
}

bool PixelCodec::SameFormat(const PixelCodec& other) const {
    const PixelFormat& a = buffer_.format;
    const PixelFormat& b = other.buffer_.format;
    if (a.bitsPerPixel != b.bitsPerPixel) return false;
    if (IsIndexed()) return std::memcmp(palette_, other.palette_, sizeof(PaletteEntryRGB) * paletteSize_) == 0;
    return a.redMask == b.redMask && a.greenMask == b.greenMask && a.blueMask == b.blueMask;
}

uint32_t PixelCodec::Read(int x, int y) const {
    const uint8_t* row = Row(y);
    switch (buffer_.format.bitsPerPixel) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
    case 8: return row[x];
    case 16: return row[2 * x] | (row[2 * x + 1] << 8);
    case 24: return row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
    default:
        return row[4 * x] | (row[4 * x + 1] << 8) | (row[4 * x + 2] << 16) |
               (static_cast<uint32_t>(row[4 * x + 3]) << 24);
    }
}

void PixelCodec::Write(int x, int y, uint32_t value) const {
    uint8_t* row = Row(y);
    switch (buffer_.format.bitsPerPixel) {
    case 1: {
        const int bit = 7 - (x & 7);
        row[x >> 3] = static_cast<uint8_t>((row[x >> 3] & ~(1 << bit)) | ((value & 1) << bit));
        break;
    }
    case 4: {
        const int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & ~(0xF << shift)) | ((value & 0xF) << shift));
        break;
    }
    case 8: row[x] = static_cast<uint8_t>(value); break;
    case 16:
        row[2 * x] = static_cast<uint8_t>(value);
        row[2 * x + 1] = static_cast<uint8_t>(value >> 8);
        break;
    case 24:
        row[3 * x] = static_cast<uint8_t>(value);
        row[3 * x + 1] = static_cast<uint8_t>(value >> 8);
        row[3 * x + 2] = static_cast<uint8_t>(value >> 16);
        break;
    default:
        for (int i = 0; i < 4; ++i) row[4 * x + i] = static_cast<uint8_t>(value >> (8 * i));
        break;
    }
}

void PixelCodec::ReadRow(int x, int y, uint32_t* values, int count) const {
    const uint8_t* row = Row(y);
    switch (buffer_.format.bitsPerPixel) {
    case 8:
        for (int i = 0; i < count; ++i) values[i] = row[x + i];
        break;
    case 16:
        for (const uint8_t* p = row + 2 * x; count-- > 0; p += 2) *values++ = p[0] | (p[1] << 8);
        break;
    case 24:
        for (const uint8_t* p = row + 3 * x; count-- > 0; p += 3) *values++ = p[0] | (p[1] << 8) | (p[2] << 16);
        break;
    case 32:
        for (const uint8_t* p = row + 4 * x; count-- > 0; p += 4)
            *values++ = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
        break;
    default:  // 1 and 4 bits: pixels share bytes
        for (int i = 0; i < count; ++i) values[i] = Read(x + i, y);
        break;
    }
}

void PixelCodec::WriteRow(int x, int y, const uint32_t* values, int count) const {
    uint8_t* row = Row(y);
    switch (buffer_.format.bitsPerPixel) {
    case 8:
        for (int i = 0; i < count; ++i) row[x + i] = static_cast<uint8_t>(values[i]);
        break;
    case 16:
        for (uint8_t* p = row + 2 * x; count-- > 0; p += 2, ++values) {
            p[0] = static_cast<uint8_t>(*values);
            p[1] = static_cast<uint8_t>(*values >> 8);
        }
        break;
    case 24:
        for (uint8_t* p = row + 3 * x; count-- > 0; p += 3, ++values)
            for (int i = 0; i < 3; ++i) p[i] = static_cast<uint8_t>(*values >> (8 * i));
        break;
    case 32:
        for (uint8_t* p = row + 4 * x; count-- > 0; p += 4, ++values)
            for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(*values >> (8 * i));
        break;
    default:
        for (int i = 0; i < count; ++i) Write(x + i, y, values[i]);
        break;
    }
}

// A channel of n bits widens to 8 by repeating its bits from the top:
// 5 bits v give (v << 3) | (v >> 2), 6 bits (v << 2) | (v >> 4).
uint32_t PixelCodec::ExpandChannel(uint32_t raw, const Channel& channel) {
    if (channel.bits == 0) return 0;
    const uint32_t v = (raw & channel.mask) >> channel.shift;
    if (channel.bits >= 8) return v >> (channel.bits - 8);
    uint32_t result = 0;
    for (int pos = 8 - channel.bits; pos > -channel.bits; pos -= channel.bits)
        result |= pos >= 0 ? v << pos : v >> -pos;
    return result & 0xFF;
}

// An 8-bit value narrows to a channel by keeping its top bits.
uint32_t PixelCodec::ReduceChannel(uint32_t value8, const Channel& channel) {
    if (channel.bits == 0) return 0;
    const uint32_t v = channel.bits >= 8 ? value8 << (channel.bits - 8) : value8 >> (8 - channel.bits);
    return (v << channel.shift) & channel.mask;
}

COLORREF PixelCodec::ToColor(uint32_t value) const {
    if (IsIndexed()) {
        const PaletteEntryRGB& e = palette_[value & 0xFF];
        return RGB(e.red, e.green, e.blue);
    }
    return RGB(ExpandChannel(value, red_), ExpandChannel(value, green_), ExpandChannel(value, blue_));
}

uint32_t PixelCodec::FromColor(COLORREF color) const {
    if (IsIndexed()) return NearestIndex(color & 0xFFFFFF);
    return ReduceChannel(color & 0xFF, red_) | ReduceChannel((color >> 8) & 0xFF, green_) |
           ReduceChannel((color >> 16) & 0xFF, blue_);
}

uint32_t PixelCodec::NearestIndex(COLORREF color) const {
    if (!nearestCache_) nearestCache_ = std::make_unique<uint64_t[]>(NEAREST_CACHE_SIZE);
    const uint32_t slot = (color ^ (color >> 12)) % NEAREST_CACHE_SIZE;
    const uint64_t cached = nearestCache_[slot];
    if ((cached & CACHE_FILLED) && (cached & 0xFFFFFF) == color) return static_cast<uint32_t>(cached >> 24) & 0xFF;

    const int r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    uint32_t best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < paletteSize_ && bestDistance > 0; ++i) {
        const int dr = palette_[i].red - r, dg = palette_[i].green - g, db = palette_[i].blue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<uint32_t>(i);
        }
    }
    nearestCache_[slot] = CACHE_FILLED | (static_cast<uint64_t>(best) << 24) | color;
    return best;
}
