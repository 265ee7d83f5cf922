// Mix modes as and/xor pairs and the pixel loops that apply them: one loop
// per pixel size (1, 2, 3 and 4 bytes) working on 16-byte vectors, a
// pixel-by-pixel path for 1 and 4-bit bitmaps, and plain colour fills on the
// blitter's fill loops.
#include "platform/gdi/raster.h"

#include <cstring>

#include "platform/ddraw/blit_loops.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/pixel_codec.h"

namespace {

using Vector = uint64_t __attribute__((vector_size(16)));

template <int Bytes>
uint32_t LoadPixel(const uint8_t* p) {
    uint32_t value = 0;
    std::memcpy(&value, p, Bytes);
    return value;
}

template <int Bytes>
void StorePixel(uint8_t* p, uint32_t value) {
    std::memcpy(p, &value, Bytes);
}

template <int Bytes>
void MixPixel(uint8_t* p, PixelMix mix) {
    StorePixel<Bytes>(p, (LoadPixel<Bytes>(p) & mix.andMask) ^ mix.xorMask);
}

// A span walks in blocks of whole vectors that hold whole pixels: one vector
// of 16, 8 or 4 pixels, or for 3-byte pixels three vectors of 16 pixels.
template <int Bytes>
struct SpanBlock {
    static constexpr int VECTORS = Bytes == 3 ? 3 : 1;
    static constexpr int PIXELS = 16 * VECTORS / Bytes;
    Vector andPattern[VECTORS];
    Vector xorPattern[VECTORS];

    explicit SpanBlock(PixelMix mix) {
        uint8_t ands[16 * VECTORS], xors[16 * VECTORS];
        for (int i = 0; i < PIXELS; ++i) {
            StorePixel<Bytes>(ands + i * Bytes, mix.andMask);
            StorePixel<Bytes>(xors + i * Bytes, mix.xorMask);
        }
        std::memcpy(andPattern, ands, sizeof ands);
        std::memcpy(xorPattern, xors, sizeof xors);
    }
};

template <int Bytes>
void MixRow(uint8_t* row, int count, PixelMix mix) {
    using Block = SpanBlock<Bytes>;
    int x = 0;
    if (count >= Block::PIXELS) {
        const Block block(mix);
        for (; x + Block::PIXELS <= count; x += Block::PIXELS)
            for (int v = 0; v < Block::VECTORS; ++v) {
                Vector d;
                uint8_t* p = row + x * Bytes + 16 * v;
                std::memcpy(&d, p, 16);
                d = (d & block.andPattern[v]) ^ block.xorPattern[v];
                std::memcpy(p, &d, 16);
            }
    }
    for (; x < count; ++x) MixPixel<Bytes>(row + x * Bytes, mix);
}

// The step of a line walk, over raw pixel bytes or through the codec.
template <int Bytes>
struct ByteCursor {
    uint8_t* p;
    ptrdiff_t majorStep, minorStep;
    PixelMix mix;
    void Plot() { MixPixel<Bytes>(p, mix); }
    void Major() { p += majorStep; }
    void Minor() { p += minorStep; }
};

template <typename Cursor>
void Walk(Cursor cursor, const LineWalk& walk) {
    int64_t error = walk.error;
    for (int i = 0; i < walk.count; ++i) {
        cursor.Plot();
        cursor.Major();
        error += walk.increase;
        if (error + walk.bias > 0) {
            cursor.Minor();
            error -= walk.decrease;
        }
    }
}

// Calls f.template operator()<Bytes>() for the target's pixel size; false
// for pixels smaller than a byte.
template <typename F>
bool ForPixelBytes(const PixelBuffer& target, F&& f) {
    switch (target.format.bitsPerPixel) {
    case 8: f.template operator()<1>(); return true;
    case 16: f.template operator()<2>(); return true;
    case 24: f.template operator()<3>(); return true;
    case 32: f.template operator()<4>(); return true;
    default: return false;
    }
}

uint8_t* PixelAt(const PixelBuffer& target, int x, int y) {
    return target.bits + static_cast<ptrdiff_t>(y) * target.pitch +
           static_cast<ptrdiff_t>(x) * (target.format.bitsPerPixel / 8);
}

// 1 and 4-bit bitmaps: one pixel at a time through the codec.
void MixPixelSlow(const PixelCodec& codec, int x, int y, PixelMix mix) {
    codec.Write(x, y, (codec.Read(x, y) & mix.andMask) ^ mix.xorMask);
}

struct CodecCursor {
    const PixelCodec& codec;
    int x, y;
    const LineWalk& walk;
    PixelMix mix;
    void Plot() { MixPixelSlow(codec, x, y, mix); }
    void Major() { x += walk.majorX, y += walk.majorY; }
    void Minor() { x += walk.minorX, y += walk.minorY; }
};

// A mix that ignores the target is a colour fill, which the blitter's fill
// loops do at the speed of memset.
bool IsPlainFill(const PixelBuffer& target, PixelMix mix) {
    return mix.andMask == 0 && target.format.bitsPerPixel >= 8;
}

uint32_t PixelBits(int bitsPerPixel) { return bitsPerPixel >= 32 ? 0xFFFFFFFFu : (1u << bitsPerPixel) - 1; }

}  // namespace

// A mix mode's code less one is its truth table: for pen bit P and target
// bit D the result is bit (2P + D) of it. Bit by bit, a table row f with
// f(0) = f0 and f(1) = f1 is D' = (D & (f0 ^ f1)) ^ f0, so where the pen has
// a 1 the and-bit is t2 ^ t3 and the xor-bit t2, and where it has a 0 they
// are t0 ^ t1 and t0.
PixelMix MixForRop2(int rop2, uint32_t pen, int bitsPerPixel) {
    const uint32_t table = static_cast<uint32_t>(rop2 - 1) & 0xF;
    const auto all = [&](int bit) { return (table >> bit) & 1 ? 0xFFFFFFFFu : 0u; };
    const uint32_t andMask = (pen & (all(2) ^ all(3))) | (~pen & (all(0) ^ all(1)));
    const uint32_t xorMask = (pen & all(2)) | (~pen & all(0));
    const uint32_t bits = PixelBits(bitsPerPixel);
    return {andMask & bits, xorMask & bits};
}

PixelMix InvertMix(int bitsPerPixel) {
    const uint32_t bits = PixelBits(bitsPerPixel);
    return {bits, bits};
}

PixelMix ColorMix(const DeviceContext& dc, COLORREF color, int rop2) {
    return MixForRop2(rop2, PixelCodec(dc.target).FromColor(color), dc.target.format.bitsPerPixel);
}

void MixSpan(const PixelBuffer& target, int x, int y, int count, PixelMix mix) {
    if (count <= 0) return;
    if (IsPlainFill(target, mix))
        return FillArea({PixelAt(target, x, y), target.pitch}, {count, 1, target.format.bitsPerPixel / 8},
                        mix.xorMask);
    if (ForPixelBytes(target, [&]<int Bytes>() { MixRow<Bytes>(PixelAt(target, x, y), count, mix); })) return;
    const PixelCodec codec(target);
    for (int i = 0; i < count; ++i) MixPixelSlow(codec, x + i, y, mix);
}

// Rows that follow each other without a gap are filled as one long span.
void MixBox(const PixelBuffer& target, const RECT& box, PixelMix mix) {
    const int width = box.right - box.left, height = box.bottom - box.top;
    if (width <= 0 || height <= 0) return;
    if (IsPlainFill(target, mix))
        return FillArea({PixelAt(target, box.left, box.top), target.pitch},
                        {width, height, target.format.bitsPerPixel / 8}, mix.xorMask);
    const bool wholeRows = box.left == 0 && width == target.width && target.format.bitsPerPixel >= 8 &&
                           target.pitch == width * (target.format.bitsPerPixel / 8);
    if (wholeRows) return MixSpan(target, 0, box.top, width * height, mix);
    for (int y = box.top; y < box.bottom; ++y) MixSpan(target, box.left, y, width, mix);
}

void MixLine(const PixelBuffer& target, const LineWalk& walk, PixelMix mix) {
    if (walk.count <= 0) return;
    const bool byBytes = ForPixelBytes(target, [&]<int Bytes>() {
        const auto step = [&](int dx, int dy) { return static_cast<ptrdiff_t>(dy) * target.pitch + dx * Bytes; };
        Walk(ByteCursor<Bytes>{PixelAt(target, walk.x, walk.y), step(walk.majorX, walk.majorY),
                               step(walk.minorX, walk.minorY), mix},
             walk);
    });
    if (byBytes) return;
    const PixelCodec codec(target);
    Walk(CodecCursor{codec, walk.x, walk.y, walk, mix}, walk);
}
