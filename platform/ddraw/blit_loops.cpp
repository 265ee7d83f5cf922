// The blitter's pixel loops, one template per pixel size chosen once per call
// by a switch, so no dispatch happens inside a row.
#include "platform/ddraw/blit_loops.h"

#include <cstring>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

template <int Bytes>
inline uint32_t LoadPixel(const uint8_t* p) {
    uint32_t value = 0;
    std::memcpy(&value, p, Bytes);  // little-endian: the pixel's value in the low bytes
    return value;
}

template <int Bytes>
inline void StorePixel(uint8_t* p, uint32_t value) {
    std::memcpy(p, &value, Bytes);
}

// Calls body.template operator()<Bytes>() for the area's pixel size.
template <typename Body>
void ForPixelSize(int bytesPerPixel, Body&& body) {
    switch (bytesPerPixel) {
        case 1: body.template operator()<1>(); break;
        case 2: body.template operator()<2>(); break;
        case 3: body.template operator()<3>(); break;
        case 4: body.template operator()<4>(); break;
        default: break;
    }
}

// A row of width pixels of one value.
template <int Bytes>
void FillRow(uint8_t* row, int width, uint32_t value) {
    int x = 0;
#ifdef __SSE2__
    if constexpr (Bytes == 2 || Bytes == 4) {
        const __m128i pattern = Bytes == 2 ? _mm_set1_epi16(static_cast<short>(value))
                                           : _mm_set1_epi32(static_cast<int>(value));
        const int perVector = 16 / Bytes;
        for (; x + 4 * perVector <= width; x += 4 * perVector) {
            uint8_t* p = row + x * Bytes;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), pattern);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), pattern);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 32), pattern);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 48), pattern);
        }
        for (; x + perVector <= width; x += perVector)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x * Bytes), pattern);
    }
#endif
    for (; x < width; ++x) StorePixel<Bytes>(row + x * Bytes, value);
}

// Long rows of 2 or 4-byte pixels go to the processor's string store of
// 8-byte words, which writes whole cache lines without reading them first, as
// memset does; the ends are filled pixel by pixel.
template <int Bytes>
void FillLongRow(uint8_t* row, int width, uint32_t value) {
#if defined(__x86_64__) && defined(__GNUC__)
    constexpr int LONG_ROW_BYTES = 4096;
    if constexpr (Bytes == 2 || Bytes == 4) {
        if (width * Bytes >= LONG_ROW_BYTES) {
            const int head = static_cast<int>((8 - reinterpret_cast<uintptr_t>(row) % 8) % 8) / Bytes;
            FillRow<Bytes>(row, head, value);
            uint64_t word = Bytes == 2 ? (value & 0xFFFFu) * 0x0001000100010001ull : (value * 0x0000000100000001ull);
            uint8_t* at = row + head * Bytes;
            size_t words = static_cast<size_t>(width - head) * Bytes / 8;
            asm volatile("rep stosq" : "+D"(at), "+c"(words) : "a"(word) : "memory");
            const int done = head + static_cast<int>((at - row - head * Bytes) / Bytes);
            return FillRow<Bytes>(row + done * Bytes, width - done, value);
        }
    }
#endif
    FillRow<Bytes>(row, width, value);
}

// Pixels whose bytes are all alike fill as bytes (black, white, any 8-bit value).
bool IsByteRepeat(uint32_t value, int bytesPerPixel) {
    const uint8_t low = value & 0xFF;
    for (int i = 1; i < bytesPerPixel; ++i)
        if (((value >> (8 * i)) & 0xFF) != low) return false;
    return true;
}

template <int Bytes>
void CopyRowKeyedScalar(uint8_t* dst, const uint8_t* src, int width, ColorKey key) {
    for (int x = 0; x < width; ++x) {
        const uint32_t s = LoadPixel<Bytes>(src + x * Bytes);
        const uint32_t d = LoadPixel<Bytes>(dst + x * Bytes);
        StorePixel<Bytes>(dst + x * Bytes, (s & key.mask) == key.value ? d : s);
    }
}

template <int Bytes>
void CopyKeyedScalar(PixelArea dst, ConstPixelArea src, int width, int height, ColorKey key) {
    for (int y = 0; y < height; ++y)
        CopyRowKeyedScalar<Bytes>(dst.first + y * dst.pitch, src.first + y * src.pitch, width, key);
}

#ifdef __SSE2__
template <int Bytes>
inline __m128i EqualLanes(__m128i a, __m128i b) {
    if constexpr (Bytes == 1) return _mm_cmpeq_epi8(a, b);
    else if constexpr (Bytes == 2) return _mm_cmpeq_epi16(a, b);
    else return _mm_cmpeq_epi32(a, b);
}

template <int Bytes>
inline __m128i Broadcast(uint32_t value) {
    if constexpr (Bytes == 1) return _mm_set1_epi8(static_cast<char>(value));
    else if constexpr (Bytes == 2) return _mm_set1_epi16(static_cast<short>(value));
    else return _mm_set1_epi32(static_cast<int>(value));
}

// 16 bytes of target: keep the target where the source lane is the key, else
// the source; no branch depends on the pixels. Pictures whose key covers every
// bit of a pixel (5-6-5, 8-bit) need no masking before the comparison.
template <int Bytes, bool Masked>
inline __m128i BlendKeyedVector(const uint8_t* dst, const uint8_t* src, __m128i key, __m128i mask) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
    const __m128i skip = EqualLanes<Bytes>(Masked ? _mm_and_si128(s, mask) : s, key);
    // d where skipped, else s: s ^ ((s ^ d) & skip).
    return _mm_xor_si128(s, _mm_and_si128(_mm_xor_si128(s, d), skip));
}

inline void StoreVector(uint8_t* dst, __m128i value) { _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), value); }

// Rows of at least one vector end with a vector that overlaps the one before:
// blending a pixel twice from an unchanged source gives the same pixel, so the
// tail needs no scalar loop. The tail is blended from the target as it was
// before the row and stored last: reading it after the stores that overlap it
// would stall the load on those stores.
template <int Bytes, bool Masked>
void CopyKeyedRowsSse2(PixelArea dst, ConstPixelArea src, int width, int height, ColorKey key) {
    constexpr int perVector = 16 / Bytes;
    const __m128i keyLanes = Broadcast<Bytes>(key.value);
    const __m128i maskLanes = Broadcast<Bytes>(key.mask);
    const int lastVector = (width - perVector) * Bytes;
    for (int y = 0; y < height; ++y) {
        uint8_t* d = dst.first + y * dst.pitch;
        const uint8_t* s = src.first + y * src.pitch;
        const __m128i tail = BlendKeyedVector<Bytes, Masked>(d + lastVector, s + lastVector, keyLanes, maskLanes);
        for (int offset = 0; offset < lastVector; offset += 16)
            StoreVector(d + offset, BlendKeyedVector<Bytes, Masked>(d + offset, s + offset, keyLanes, maskLanes));
        StoreVector(d + lastVector, tail);
    }
}

template <int Bytes>
void CopyKeyedSse2(PixelArea dst, ConstPixelArea src, int width, int height, ColorKey key) {
    if (width < 16 / Bytes) return CopyKeyedScalar<Bytes>(dst, src, width, height, key);
    const uint32_t allBits = Bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * Bytes)) - 1;
    if ((key.mask & allBits) == allBits) return CopyKeyedRowsSse2<Bytes, false>(dst, src, width, height, key);
    CopyKeyedRowsSse2<Bytes, true>(dst, src, width, height, key);
}
#endif

// Source positions along one stretched axis, advanced without a division per
// pixel: numerator (2i + 1) * sourceLength over denominator 2 * targetLength.
class StretchWalk {
public:
    explicit StretchWalk(StretchAxis axis)
        : denominator_(2 * static_cast<int64_t>(axis.targetLength)),
          stepWhole_(2 * static_cast<int64_t>(axis.sourceLength) / denominator_),
          stepRest_(2 * static_cast<int64_t>(axis.sourceLength) % denominator_) {
        const int64_t numerator = (2 * static_cast<int64_t>(axis.firstTarget) + 1) * axis.sourceLength;
        position_ = numerator / denominator_;
        rest_ = numerator % denominator_;
    }
    int Position() const { return static_cast<int>(position_); }
    void Advance() {
        position_ += stepWhole_;
        rest_ += stepRest_;
        if (rest_ >= denominator_) {
            ++position_;
            rest_ -= denominator_;
        }
    }

private:
    int64_t denominator_, stepWhole_, stepRest_;
    int64_t position_ = 0, rest_ = 0;
};

// A row of 16-bit pixels at twice its width: each pixel written twice.
void DoubleRow16(uint8_t* out, const uint8_t* in, int width) {
    int x = 0;
#ifdef __SSE2__
    for (; x + 16 <= width; x += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * x), _mm_unpacklo_epi16(v, v));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * x + 16), _mm_unpackhi_epi16(v, v));
    }
#endif
    for (; x < width; ++x) StorePixel<2>(out + 2 * x, LoadPixel<2>(in + (x / 2) * 2));
}

// True when the columns show each source pixel twice, from a pair's first half on.
template <int Bytes>
bool IsPixelDoubling(const std::vector<int>& columns) {
    for (size_t x = 0; x < columns.size(); ++x)
        if (columns[x] != columns[0] + static_cast<int>(x / 2) * Bytes) return false;
    return true;
}

// Each source row is stretched once into a scratch row, which then goes to
// every target row that shows it: a plain copy, or a keyed one.
template <int Bytes>
void StretchRows(PixelArea dst, ConstPixelArea src, AreaSize size, StretchAxis xAxis, StretchAxis yAxis,
                 const ColorKey* key) {
    thread_local std::vector<int> columns;
    thread_local std::vector<uint8_t> stretched;
    columns.resize(static_cast<size_t>(size.width));
    stretched.resize(static_cast<size_t>(size.width) * Bytes);
    StretchWalk walk(xAxis);
    for (int x = 0; x < size.width; ++x, walk.Advance()) columns[x] = walk.Position() * Bytes;
    const bool doubling = Bytes == 2 && IsPixelDoubling<Bytes>(columns);
    const ConstPixelArea row{stretched.data(), 0};
    StretchWalk rows(yAxis);
    int stretchedRow = -1;
    for (int y = 0; y < size.height; ++y, rows.Advance()) {
        if (rows.Position() != stretchedRow) {
            stretchedRow = rows.Position();
            const uint8_t* s = src.first + stretchedRow * src.pitch;
            if (doubling)
                DoubleRow16(stretched.data(), s + columns[0], size.width);
            else
                for (int x = 0; x < size.width; ++x)
                    StorePixel<Bytes>(&stretched[static_cast<size_t>(x) * Bytes], LoadPixel<Bytes>(s + columns[x]));
        }
        const PixelArea target{dst.first + y * dst.pitch, dst.pitch};
        if (key)
            CopyAreaKeyed(target, row, {size.width, 1, Bytes}, *key);
        else
            std::memcpy(target.first, stretched.data(), stretched.size());
    }
}

// Rows laid end to end without a gap can be handled as one long row.
bool IsContiguous(int pitch, AreaSize size) { return pitch == size.width * size.bytesPerPixel; }

}  // namespace

void FillArea(PixelArea dst, AreaSize size, uint32_t value) {
    if (size.width <= 0 || size.height <= 0) return;
    if (IsContiguous(dst.pitch, size)) {
        size.width *= size.height;
        size.height = 1;
    }
    const size_t rowBytes = static_cast<size_t>(size.width) * size.bytesPerPixel;
    if (IsByteRepeat(value, size.bytesPerPixel)) {
        for (int y = 0; y < size.height; ++y) std::memset(dst.first + y * dst.pitch, value & 0xFF, rowBytes);
        return;
    }
    ForPixelSize(size.bytesPerPixel, [&]<int Bytes>() {
        for (int y = 0; y < size.height; ++y) FillLongRow<Bytes>(dst.first + y * dst.pitch, size.width, value);
    });
}

void CopyArea(PixelArea dst, ConstPixelArea src, AreaSize size) {
    if (size.width <= 0 || size.height <= 0) return;
    const size_t rowBytes = static_cast<size_t>(size.width) * size.bytesPerPixel;
    if (IsContiguous(dst.pitch, size) && dst.pitch == src.pitch) {
        std::memmove(dst.first, src.first, rowBytes * size.height);
        return;
    }
    // A target below its overlapping source is copied bottom row first.
    const bool upward = dst.first > src.first;
    for (int i = 0; i < size.height; ++i) {
        const int y = upward ? size.height - 1 - i : i;
        std::memmove(dst.first + y * dst.pitch, src.first + y * src.pitch, rowBytes);
    }
}

void CopyAreaKeyedScalar(PixelArea dst, ConstPixelArea src, AreaSize size, ColorKey key) {
    ForPixelSize(size.bytesPerPixel,
                 [&]<int Bytes>() { CopyKeyedScalar<Bytes>(dst, src, size.width, size.height, key); });
}

#ifdef __SSE2__
void CopyAreaKeyedSse2(PixelArea dst, ConstPixelArea src, AreaSize size, ColorKey key) {
    ForPixelSize(size.bytesPerPixel, [&]<int Bytes>() {
        if constexpr (Bytes == 3) CopyKeyedScalar<3>(dst, src, size.width, size.height, key);
        else CopyKeyedSse2<Bytes>(dst, src, size.width, size.height, key);
    });
}
#endif

void CopyAreaKeyed(PixelArea dst, ConstPixelArea src, AreaSize size, ColorKey key) {
    if (size.width <= 0 || size.height <= 0) return;
#ifdef __SSE2__
    CopyAreaKeyedSse2(dst, src, size, key);
#else
    CopyAreaKeyedScalar(dst, src, size, key);
#endif
}

void StretchArea(PixelArea dst, ConstPixelArea src, AreaSize size, StretchAxis x, StretchAxis y,
                 const ColorKey* key) {
    if (size.width <= 0 || size.height <= 0 || x.targetLength <= 0 || y.targetLength <= 0) return;
    ForPixelSize(size.bytesPerPixel, [&]<int Bytes>() { StretchRows<Bytes>(dst, src, size, x, y, key); });
}
