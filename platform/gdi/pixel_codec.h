// Single pixels of a PixelBuffer in any format (1, 4, 8, 16, 24 or 32 bits),
// and the conversions between raw pixel values and colour references: masks
// for RGB formats, nearest palette colour for indexed ones.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/gdi/gdi.h"

class PixelCodec {
public:
    explicit PixelCodec(const PixelBuffer& buffer);

    bool IsIndexed() const { return buffer_.format.bitsPerPixel <= 8; }
    // Whether raw values mean the same colours in both buffers.
    bool SameFormat(const PixelCodec& other) const;

    uint32_t Read(int x, int y) const;
    void Write(int x, int y, uint32_t value) const;
    // count raw values of row y from column x on, one format decision per row.
    void ReadRow(int x, int y, uint32_t* values, int count) const;
    void WriteRow(int x, int y, const uint32_t* values, int count) const;

    COLORREF ToColor(uint32_t value) const;
    // The raw value GDI writes for a colour: each channel's top bits, or the
    // nearest palette entry (the first of equally near ones).
    uint32_t FromColor(COLORREF color) const;

private:
    struct Channel {
        uint32_t mask = 0;
        int shift = 0;
        int bits = 0;
    };
    static Channel MakeChannel(uint32_t mask);
    static uint32_t ExpandChannel(uint32_t raw, const Channel& channel);
    static uint32_t ReduceChannel(uint32_t value8, const Channel& channel);
    uint8_t* Row(int y) const { return buffer_.bits + static_cast<ptrdiff_t>(y) * buffer_.pitch; }
    uint32_t NearestIndex(COLORREF color) const;

    PixelBuffer buffer_;
    const PaletteEntryRGB* palette_;
    int paletteSize_;
    Channel red_, green_, blue_;
    // Nearest-index answers for indexed buffers, filled as colours are asked.
    mutable std::unique_ptr<uint64_t[]> nearestCache_;
};
