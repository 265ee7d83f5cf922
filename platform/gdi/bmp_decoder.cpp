// The .bmp decoder. Every offset is checked against the data size in 64-bit
// arithmetic before it is read; sizes are bounded before anything is made.
#include "platform/gdi/bmp_decoder.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/dib_format.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/picture_limits.h"
#include "platform/gdi/pixel_codec.h"

namespace {

constexpr size_t FILE_HEADER_SIZE = 14;
constexpr uint32_t CORE_HEADER_SIZE = 12;
constexpr uint32_t INFO_HEADER_SIZE = 40;
// OS/2 2.x headers: the full one, and the short form that ends after the bit
// count (the fields it leaves out are 0).
constexpr uint32_t OS2_SHORT_HEADER_SIZE = 16;
constexpr uint32_t OS2_HEADER_SIZE = 64;

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t ReadU32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool IsInfoHeaderSize(uint32_t size) {
    return size == INFO_HEADER_SIZE || size == 52 || size == 56 || size == 108 || size == 124;
}

bool IsSupportedDepth(int bpp, DWORD compression) {
    switch (compression) {
    case BI_RGB: return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    case BI_RLE8: return bpp == 8;
    case BI_RLE4: return bpp == 4;
    case BI_BITFIELDS: return bpp == 16 || bpp == 32;
    default: return false;
    }
}

// Run-length data: pairs (count, value) for runs; (0, 0) ends a line, (0, 1)
// the bitmap, (0, 2, dx, dy) moves right and up, (0, n >= 3) is followed by n
// literal pixels padded to a 16-bit boundary. Lines go bottom to top; RLE4
// values hold two pixels, high nibble first. A run that leaves its line, a
// move outside the bitmap or data ending before the end mark is refused.
bool DecodeRle(const uint8_t* data, size_t size, const BmpInfo& info, const PixelBuffer& out) {
    const bool fourBit = info.compression == BI_RLE4;
    const PixelCodec codec(out);
    const int w = info.width, h = info.height;
    size_t p = info.pixelOffset;
    int x = 0, y = 0;
    auto put = [&](int i, uint32_t value) { codec.Write(x + i, h - 1 - y, value); };
    while (size - p >= 2) {
        const int first = data[p], second = data[p + 1];
        p += 2;
        if (first > 0) {
            if (y >= h || first > w - x) return false;
            for (int i = 0; i < first; ++i)
                put(i, fourBit ? ((i & 1) ? second & 0xF : second >> 4) : second);
            x += first;
        } else if (second == 0) {
            if (y >= h) return false;
            x = 0;
            ++y;
        } else if (second == 1) {
            return true;
        } else if (second == 2) {
            if (size - p < 2) return false;
            x += data[p];
            y += data[p + 1];
            p += 2;
            if (x > w || y > h) return false;
        } else {
            const size_t bytes = fourBit ? (second + 1) / 2 : second;
            const size_t padded = (bytes + 1) & ~size_t{1};
            if (size - p < padded || y >= h || second > w - x) return false;
            for (int i = 0; i < second; ++i) {
                const uint8_t b = data[p + (fourBit ? i / 2 : i)];
                put(i, fourBit ? ((i & 1) ? b & 0xF : b >> 4) : b);
            }
            x += second;
            p += padded;
        }
    }
    return false;
}

}  // namespace

bool ReadBmpInfo(const uint8_t* data, size_t size, BmpInfo* info) {
    if (!data || size < FILE_HEADER_SIZE + CORE_HEADER_SIZE || data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t pixelOffset = ReadU32(data + 10);
    const uint32_t headerSize = ReadU32(data + 14);
    if (headerSize > size - FILE_HEADER_SIZE) return false;
    const uint8_t* h = data + FILE_HEADER_SIZE;

    int64_t width, height;
    int planes, bpp;
    size_t entrySize;
    uint32_t colorsUsed = 0;
    uint64_t tableStart = FILE_HEADER_SIZE + headerSize;
    info->compression = BI_RGB;
    if (headerSize == CORE_HEADER_SIZE) {
        width = ReadU16(h + 4);
        height = ReadU16(h + 6);
        planes = ReadU16(h + 8);
        bpp = ReadU16(h + 10);
        entrySize = 3;  // blue, green, red
        if (bpp == 16 || bpp == 32) return false;
    } else if (IsInfoHeaderSize(headerSize) || headerSize == OS2_SHORT_HEADER_SIZE || headerSize == OS2_HEADER_SIZE) {
        width = static_cast<int32_t>(ReadU32(h + 4));
        height = static_cast<int32_t>(ReadU32(h + 8));
        planes = ReadU16(h + 12);
        bpp = ReadU16(h + 14);
        if (headerSize != OS2_SHORT_HEADER_SIZE) {
            info->compression = ReadU32(h + 16);
            colorsUsed = ReadU32(h + 32);
        }
        // OS/2 numbers its own methods from 3 on (Huffman, 24-bit runs): none is read here.
        if (headerSize == OS2_HEADER_SIZE && info->compression > BI_RLE4) return false;
        entrySize = 4;  // blue, green, red, reserved
    } else {
        return false;
    }

    if (planes != 1 || !IsSupportedDepth(bpp, info->compression)) return false;
    const bool rle = info->compression == BI_RLE4 || info->compression == BI_RLE8;
    info->topDown = height < 0;
    height = std::abs(height);
    if (!PictureSizeAllowed(width, height) || (rle && info->topDown)) return false;
    const int stride = DibStride(static_cast<int>(width), bpp);
    const uint64_t pixelBytes = static_cast<uint64_t>(stride) * static_cast<uint64_t>(height);

    info->width = static_cast<int>(width);
    info->height = static_cast<int>(height);
    info->bitsPerPixel = bpp;
    info->format = DefaultDibFormat(bpp);
    if (info->compression == BI_BITFIELDS) {
        // Masks are part of a V4/V5 header, or follow a plain info header.
        const uint8_t* masks = h + INFO_HEADER_SIZE;
        if (headerSize == INFO_HEADER_SIZE) {
            if (size - tableStart < 12) return false;
            tableStart += 12;
        }
        const uint32_t red = ReadU32(masks), green = ReadU32(masks + 4), blue = ReadU32(masks + 8);
        if (!ValidChannelMasks(bpp, red, green, blue)) return false;
        info->format = PixelFormat{bpp, red, green, blue};
    }

    info->colorCount = 0;
    info->colors = {};
    if (bpp <= 8) {
        const uint32_t full = 1u << bpp;
        info->colorCount = static_cast<int>(colorsUsed == 0 ? full : std::min(colorsUsed, full));
        if (tableStart + info->colorCount * entrySize > size) return false;
        for (int i = 0; i < info->colorCount; ++i) {
            const uint8_t* e = data + tableStart + i * entrySize;
            info->colors[i] = {e[2], e[1], e[0], 0};
        }
    }

    // Pixels start after the headers; uncompressed rows must all be present.
    if (pixelOffset < FILE_HEADER_SIZE + headerSize || pixelOffset >= size) return false;
    if (!rle && pixelBytes > size - pixelOffset) return false;
    info->pixelOffset = pixelOffset;
    return true;
}

bool DecodeBmpPixels(const uint8_t* data, size_t size, const BmpInfo& info, const PixelBuffer& out) {
    if (out.width != info.width || out.height != info.height || out.format.bitsPerPixel != info.bitsPerPixel)
        return false;
    if (info.compression == BI_RLE4 || info.compression == BI_RLE8) return DecodeRle(data, size, info, out);
    const size_t stride = static_cast<size_t>(DibStride(info.width, info.bitsPerPixel));
    const size_t rowBytes = (static_cast<size_t>(info.width) * info.bitsPerPixel + 7) / 8;
    for (int row = 0; row < info.height; ++row) {
        const int fileRow = info.topDown ? row : info.height - 1 - row;
        std::memcpy(out.bits + static_cast<ptrdiff_t>(row) * out.pitch, data + info.pixelOffset + fileRow * stride,
                    rowBytes);
    }
    return true;
}
