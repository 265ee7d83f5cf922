// The .bmp encoder for tests: plain rows, bit fields and run-length data with
// encoded runs, literal runs, horizontal and vertical moves.
#include "tools/bmp_encoder/bmp_encoder.h"

#include <bit>
#include <cstring>

namespace {

// Hex digits are palette indices; row 3 is empty, as are stretches of others.
const char* const REFERENCE_ROWS[REFERENCE_HEIGHT] = {
    "FEDCBA9876543", "1111155555FFF", "0123456789ABC", "0000000000000",
    "A0B0C0D0E0F01", "2200000003333", "9898989898988"};

constexpr COLORREF REFERENCE_COLORS[16] = {
    0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 0x123456, 0x9ABCDE, 0x7F7F7F,
    0x80FF01, 0x0F1E2D, 0xC0C0C0, 0x404080, 0xE0A060, 0x018040, 0xFEDCBA, 0x55AA55};

uint32_t ChannelBits(uint32_t mask) { return static_cast<uint32_t>(std::popcount(mask)); }

// An 8-bit value cut to n bits and widened back by repeating its top bits.
int Quantize(int value, uint32_t bits) {
    const int v = value >> (8 - bits);
    int result = 0;
    for (int pos = 8 - static_cast<int>(bits); pos > -static_cast<int>(bits); pos -= static_cast<int>(bits))
        result |= pos >= 0 ? v << pos : v >> -pos;
    return result & 0xFF;
}

const uint32_t* MasksOf(const BmpVariant& v) {
    static const uint32_t rgb555[3] = {0x7C00, 0x03E0, 0x001F};
    static const uint32_t rgb888[3] = {0xFF0000, 0x00FF00, 0x0000FF};
    if (v.compression == BI_BITFIELDS) return v.masks;
    return v.bitsPerPixel == 16 ? rgb555 : rgb888;
}

uint32_t PackColor(const BmpVariant& v, COLORREF c) {
    const uint32_t* masks = MasksOf(v);
    const int channels[3] = {static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                             static_cast<int>((c >> 16) & 0xFF)};
    uint32_t pixel = 0;
    for (int i = 0; i < 3; ++i)
        pixel |= (static_cast<uint32_t>(channels[i]) >> (8 - ChannelBits(masks[i]))) << std::countr_zero(masks[i]);
    return pixel;
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void EncodeRows(const BmpVariant& v, std::vector<uint8_t>& out) {
    const int bpp = v.bitsPerPixel;
    const size_t stride = (REFERENCE_WIDTH * bpp + 31) / 32 * 4;
    for (int i = 0; i < REFERENCE_HEIGHT; ++i) {
        const int y = v.topDown ? i : REFERENCE_HEIGHT - 1 - i;
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < REFERENCE_WIDTH; ++x) {
            const int index = ReferenceIndex(x, y, bpp);
            if (bpp <= 8) {
                const int bit = x * bpp;
                row[bit / 8] |= static_cast<uint8_t>(index << (8 - bpp - bit % 8));
            } else {
                const uint32_t pixel = PackColor(v, REFERENCE_COLORS[index]);
                for (int b = 0; b < bpp / 8; ++b) row[x * bpp / 8 + b] = static_cast<uint8_t>(pixel >> (8 * b));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

// Runs of three or more become encoded runs, empty stretches of two or more
// become moves, an empty row below the top a move up, the rest literal runs.
void EncodeRle(const BmpVariant& v, std::vector<uint8_t>& out) {
    const bool fourBit = v.compression == BI_RLE4;
    for (int i = 0; i < REFERENCE_HEIGHT; ++i) {
        const int y = REFERENCE_HEIGHT - 1 - i;
        const char* row = REFERENCE_ROWS[y];
        if (std::strspn(row, "0") == REFERENCE_WIDTH && i + 1 < REFERENCE_HEIGHT) {
            out.insert(out.end(), {0, 2, 0, 1});
            continue;
        }
        auto runAt = [&](int x) {
            int n = 1;
            while (x + n < REFERENCE_WIDTH && row[x + n] == row[x]) ++n;
            return n;
        };
        for (int x = 0; x < REFERENCE_WIDTH;) {
            const int index = ReferenceIndex(x, y, v.bitsPerPixel), run = runAt(x);
            if (index == 0 && run >= 2) {
                out.insert(out.end(), {0, 2, static_cast<uint8_t>(run), 0});
                x += run;
            } else if (run >= 3) {
                out.push_back(static_cast<uint8_t>(run));
                out.push_back(static_cast<uint8_t>(fourBit ? index * 0x11 : index));
                x += run;
            } else {
                int end = x;
                while (end < REFERENCE_WIDTH && runAt(end) < 2) ++end;
                if (end - x < 3) end = x + 1;
                const int n = end - x;
                std::vector<uint8_t> bytes;
                for (int k = 0; k < n; ++k) {
                    const int value = ReferenceIndex(x + k, y, v.bitsPerPixel);
                    if (!fourBit) bytes.push_back(static_cast<uint8_t>(value));
                    else if (k % 2 == 0) bytes.push_back(static_cast<uint8_t>(value << 4));
                    else bytes.back() |= static_cast<uint8_t>(value);
                }
                if (n >= 3) {
                    out.push_back(0);
                    out.push_back(static_cast<uint8_t>(n));
                    out.insert(out.end(), bytes.begin(), bytes.end());
                    if (bytes.size() % 2) out.push_back(0);
                } else {
                    out.push_back(1);
                    out.push_back(bytes[0]);
                }
                x = end;
            }
        }
        out.insert(out.end(), {0, 0});
    }
    out.insert(out.end(), {0, 1});
}

}  // namespace

int ReferenceIndex(int x, int y, int bitsPerPixel) {
    const char c = REFERENCE_ROWS[y][x];
    const int index = c <= '9' ? c - '0' : c - 'A' + 10;
    return bitsPerPixel == 1 ? index & 1 : index;
}

COLORREF ReferenceColor(int index) { return REFERENCE_COLORS[index]; }

COLORREF ExpectedColor(const BmpVariant& v, int x, int y) {
    const COLORREF c = REFERENCE_COLORS[ReferenceIndex(x, y, v.bitsPerPixel)];
    if (v.bitsPerPixel <= 8) return c;
    const uint32_t* masks = MasksOf(v);
    return RGB(Quantize(c & 0xFF, ChannelBits(masks[0])), Quantize((c >> 8) & 0xFF, ChannelBits(masks[1])),
               Quantize((c >> 16) & 0xFF, ChannelBits(masks[2])));
}

std::vector<uint8_t> EncodeBmp(const BmpVariant& v) {
    static const uint32_t headerSizes[] = {12, 40, 108, 124, 16, 64};
    const uint32_t headerSize = headerSizes[static_cast<int>(v.header)];
    const bool core = v.header == BmpHeaderKind::Core;
    const int tableEntries = v.bitsPerPixel <= 8 ? (v.colorsUsed ? v.colorsUsed : 1 << v.bitsPerPixel) : 0;
    const bool masksAfterHeader = v.compression == BI_BITFIELDS && v.header == BmpHeaderKind::Info;

    std::vector<uint8_t> out = {'B', 'M'};
    Put32(out, 0);  // file size, filled in below
    Put32(out, 0);
    Put32(out, 14 + headerSize + (masksAfterHeader ? 12 : 0) + tableEntries * (core ? 3 : 4));
    Put32(out, headerSize);
    if (core) {
        Put16(out, REFERENCE_WIDTH);
        Put16(out, REFERENCE_HEIGHT);
        Put16(out, 1);
        Put16(out, static_cast<uint32_t>(v.bitsPerPixel));
    } else {
        Put32(out, REFERENCE_WIDTH);
        Put32(out, static_cast<uint32_t>(v.topDown ? -REFERENCE_HEIGHT : REFERENCE_HEIGHT));
        Put16(out, 1);
        Put16(out, static_cast<uint32_t>(v.bitsPerPixel));
    }
    if (headerSize >= 40) {
        Put32(out, v.compression);
        for (int i = 0; i < 3; ++i) Put32(out, 0);  // image size, resolution
        Put32(out, static_cast<uint32_t>(v.colorsUsed));
        Put32(out, 0);
        if (v.header == BmpHeaderKind::Os2) {
            out.resize(14 + headerSize, 0);  // units, rendering and colour encoding fields
        } else if (headerSize > 40) {
            for (uint32_t mask : v.masks) Put32(out, mask);
            Put32(out, v.bitsPerPixel == 32 ? ~(v.masks[0] | v.masks[1] | v.masks[2]) : 0);  // alpha
            out.resize(14 + headerSize, 0);                       // colour space fields
        }
    }
    if (masksAfterHeader)
        for (uint32_t mask : v.masks) Put32(out, mask);
    for (int i = 0; i < tableEntries; ++i) {
        const COLORREF c = i < 16 ? REFERENCE_COLORS[i] : RGB(i, 255 - i, 77);
        out.insert(out.end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
        if (!core) out.push_back(0);
    }
    if (v.compression == BI_RLE4 || v.compression == BI_RLE8) EncodeRle(v, out);
    else EncodeRows(v, out);
    const uint32_t size = static_cast<uint32_t>(out.size());
    for (int i = 0; i < 4; ++i) out[2 + i] = static_cast<uint8_t>(size >> (8 * i));
    return out;
}

std::vector<BmpVariant> AllBmpVariants() {
    using K = BmpHeaderKind;
    return {
        {"Core1", K::Core, 1, BI_RGB},
        {"Core4", K::Core, 4, BI_RGB},
        {"Core8", K::Core, 8, BI_RGB},
        {"Core24", K::Core, 24, BI_RGB},
        {"Info1", K::Info, 1, BI_RGB},
        {"Info4", K::Info, 4, BI_RGB},
        {"Info8", K::Info, 8, BI_RGB},
        {"Info8ShortTable", K::Info, 8, BI_RGB, false, {}, 16},
        {"Info8TopDown", K::Info, 8, BI_RGB, true},
        {"Info16", K::Info, 16, BI_RGB},
        {"Info24", K::Info, 24, BI_RGB},
        {"Info24TopDown", K::Info, 24, BI_RGB, true},
        {"Info32", K::Info, 32, BI_RGB},
        {"Rle8", K::Info, 8, BI_RLE8},
        {"Rle4", K::Info, 4, BI_RLE4},
        {"Rle4ShortTable", K::Info, 4, BI_RLE4, false, {}, 16},
        {"Fields565", K::Info, 16, BI_BITFIELDS, false, {0xF800, 0x07E0, 0x001F}},
        {"Fields555TopDown", K::Info, 16, BI_BITFIELDS, true, {0x7C00, 0x03E0, 0x001F}},
        {"Fields8888", K::Info, 32, BI_BITFIELDS, false, {0xFF0000, 0x00FF00, 0x0000FF}},
        {"Fields8888Reversed", K::Info, 32, BI_BITFIELDS, false, {0x0000FF, 0x00FF00, 0xFF0000}},
        {"V4Fields565", K::V4, 16, BI_BITFIELDS, false, {0xF800, 0x07E0, 0x001F}},
        {"V4Info24TopDown", K::V4, 24, BI_RGB, true},
        {"V5Fields8888", K::V5, 32, BI_BITFIELDS, false, {0xFF00, 0xFF0000, 0xFF000000}},
        {"V5Fields444", K::V5, 16, BI_BITFIELDS, false, {0x0F00, 0x00F0, 0x000F}},
        {"V5Rle8", K::V5, 8, BI_RLE8},
        {"V5Info4", K::V5, 4, BI_RGB},
        {"Os2Short1", K::Os2Short, 1, BI_RGB},
        {"Os2Short24TopDown", K::Os2Short, 24, BI_RGB, true},
        {"Os2Info8", K::Os2, 8, BI_RGB},
        {"Os2Rle4", K::Os2, 4, BI_RLE4},
        {"Os2Rle8ShortTable", K::Os2, 8, BI_RLE8, false, {}, 16},
    };
}
