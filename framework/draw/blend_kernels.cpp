// Pixel kernels of the blended draws. The scalar forms are the rules as they
// are defined; the SSE2 forms do eight pixels per step in 16-bit lanes and give
// the same pixels, key handling included.
#include "framework/draw/blend_kernels.h"

#include <cstddef>
#include <type_traits>

#include "platform/gdi/gdi.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

bool IsKeyed(BlendKey key, uint16_t s) { return key.enabled && s == key.value; }

uint16_t* TargetRow(const BlendArea& a, int y) { return a.dst + static_cast<ptrdiff_t>(y) * a.dstPitch; }
const uint16_t* SourceRow(const BlendArea& a, int y) { return a.src + static_cast<ptrdiff_t>(y) * a.srcPitch; }

#ifdef __SSE2__
__m128i Load(const uint16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
void Store(uint16_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
__m128i Lanes(uint32_t value) { return _mm_set1_epi16(static_cast<short>(value)); }

// Applies op to the pixels of one row from x on, eight at a time, keeping the
// target lanes whose source is the key; returns the first pixel not done.
template <typename Op>
int CombineRowSse2(uint16_t* d, const uint16_t* s, int x, int width, BlendKey key, const Op& op) {
    if (!key.enabled) {
        for (; x + 8 <= width; x += 8) Store(d + x, op.Vector(Load(s + x), Load(d + x)));
        return x;
    }
    const __m128i keyLanes = Lanes(key.value);
    for (; x + 8 <= width; x += 8) {
        const __m128i sv = Load(s + x), dv = Load(d + x);
        const __m128i keep = _mm_cmpeq_epi16(sv, keyLanes);
        Store(d + x, _mm_or_si128(_mm_and_si128(keep, dv), _mm_andnot_si128(keep, op.Vector(sv, dv))));
    }
    return x;
}
#endif

// Runs op over every pixel of the area; op.Pixel(s, d) gives the new target
// pixel, op.Vector(s, d), where the op has one, the same for eight lanes.
template <typename Op>
void CombineArea(const BlendArea& a, BlendKey key, [[maybe_unused]] KernelPath path, const Op& op) {
    for (int y = 0; y < a.height; ++y) {
        uint16_t* d = TargetRow(a, y);
        const uint16_t* s = SourceRow(a, y);
        int x = 0;
#ifdef __SSE2__
        if constexpr (requires(__m128i v) { op.Vector(v, v); })
            if (path == KernelPath::Fastest) x = CombineRowSse2(d, s, 0, a.width, key, op);
#endif
        for (; x < a.width; ++x)
            if (!IsKeyed(key, s[x])) d[x] = op.Pixel(s[x], d[x]);
    }
}

struct HalfAverageOp {
    uint16_t halfMask;
    uint16_t Pixel(uint16_t s, uint16_t d) const {
        return static_cast<uint16_t>(((s & halfMask) + (d & halfMask)) >> 1);
    }
#ifdef __SSE2__
    // Both masked values are even, so the rounding average equals the plain one
    // and the 17-bit sum never has to fit a lane.
    __m128i Vector(__m128i s, __m128i d) const {
        const __m128i m = Lanes(halfMask);
        return _mm_avg_epu16(_mm_and_si128(s, m), _mm_and_si128(d, m));
    }
#endif
};

// Per channel min(sv + dv, mask).
struct AddPixels {
    const ChannelLayout& layout;
    uint16_t Pixel(uint16_t s, uint16_t d) const {
        uint32_t out = 0;
        for (int c = 0; c < 3; ++c) {
            const uint32_t mask = layout.mask[c], shift = layout.shift[c];
            uint32_t value = ((s >> shift) & mask) + ((d >> shift) & mask);
            if (value > mask) value = mask;
            out |= value << shift;
        }
        return static_cast<uint16_t>(out);
    }
};

// The raster operations as a combination of s and d, inverted or not.
enum class Mix { Or, And, Xor, Source, Target };

template <Mix M>
struct RopOp {
    uint16_t invert;
    uint16_t Pixel(uint16_t s, uint16_t d) const {
        uint16_t v = d;
        if constexpr (M == Mix::Or) v = s | d;
        if constexpr (M == Mix::And) v = s & d;
        if constexpr (M == Mix::Xor) v = s ^ d;
        if constexpr (M == Mix::Source) v = s;
        return static_cast<uint16_t>(v ^ invert);
    }
#ifdef __SSE2__
    __m128i Vector(__m128i s, __m128i d) const {
        __m128i v = d;
        if constexpr (M == Mix::Or) v = _mm_or_si128(s, d);
        if constexpr (M == Mix::And) v = _mm_and_si128(s, d);
        if constexpr (M == Mix::Xor) v = _mm_xor_si128(s, d);
        if constexpr (M == Mix::Source) v = s;
        return _mm_xor_si128(v, Lanes(invert));
    }
#endif
};

// The odd first pixel of a row: per channel out = dv + floor(alpha (sv - dv) / 256),
// in the 32-bit arithmetic of the blend (the shift of a negative value floors).
uint16_t BlendAlonePixel(uint16_t s, uint16_t d, const ChannelLayout& layout, int alpha) {
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
        const int mask = layout.mask[c], shift = layout.shift[c];
        const int sv = (s >> shift) & mask, dv = (d >> shift) & mask;
        const auto product = static_cast<int32_t>(static_cast<uint32_t>(alpha) * static_cast<uint32_t>(sv - dv));
        out |= static_cast<uint32_t>(dv + (product >> 8)) << shift;
    }
    return static_cast<uint16_t>(out);
}

// The pair form: two pixels in one 32-bit word, low half the left pixel. The
// bias of 64 per half keeps every difference positive, so no borrow crosses
// into the other pixel; A = alpha / 4 in both halves takes the bias out again.
struct AlphaPair {
    uint32_t alpha;
    uint32_t bias;  // A
    const ChannelLayout& layout;

    AlphaPair(const ChannelLayout& l, int a)
        : alpha(static_cast<uint32_t>(a)),
          bias(static_cast<uint32_t>(a / 4) | (static_cast<uint32_t>(a / 4) << 16)),
          layout(l) {}

    uint32_t Word(uint32_t s, uint32_t d) const {
        uint32_t out = 0;
        for (int c = 0; c < 3; ++c) {
            const uint32_t m = layout.mask[c] | (static_cast<uint32_t>(layout.mask[c]) << 16);
            const uint32_t shift = layout.shift[c];
            const uint32_t u = (s >> shift) & m, v = (d >> shift) & m;
            const uint32_t r = ((alpha * (u + 0x00400040u - v)) >> 8) + v - bias;
            out |= (r & m) << shift;
        }
        return out;
    }

    // One pair in place: a fully keyed pair writes nothing; a half whose
    // source is the key keeps its target pixel, the upper half tested first.
    void Blend(uint16_t* d, const uint16_t* s, BlendKey key) const {
        const uint32_t sw = s[0] | (static_cast<uint32_t>(s[1]) << 16);
        const uint32_t dw = d[0] | (static_cast<uint32_t>(d[1]) << 16);
        if (key.enabled && sw == (key.value | (static_cast<uint32_t>(key.value) << 16))) return;
        uint32_t r = Word(sw, dw);
        if (key.enabled) {
            if ((sw >> 16) == key.value) r = (r & 0x0000FFFFu) | (dw & 0xFFFF0000u);
            if ((sw & 0xFFFF) == key.value) r = (r & 0xFFFF0000u) | (dw & 0x0000FFFFu);
        }
        d[0] = static_cast<uint16_t>(r);
        d[1] = static_cast<uint16_t>(r >> 16);
    }
};

#ifdef __SSE2__
// A colour field in 16-bit lanes: Down gives its value in each lane, Up puts
// values back in place. The fields of 5-6-5 and 5-5-5 are fixed at compile
// time, so shifts by 0 and the mask of the top field drop out.
struct RuntimeField {
    __m128i mask, count;
    RuntimeField(const ChannelLayout& l, int c) : mask(Lanes(l.mask[c])), count(_mm_cvtsi32_si128(l.shift[c])) {}
    __m128i Mask() const { return mask; }
    __m128i Down(__m128i p) const { return _mm_and_si128(_mm_srl_epi16(p, count), mask); }
    __m128i Up(__m128i v) const { return _mm_sll_epi16(v, count); }
};

template <int Shift, int Bits>
struct FixedField {
    FixedField(const ChannelLayout&, int) {}
    static __m128i Mask() { return Lanes((1u << Bits) - 1); }
    static __m128i Down(__m128i p) {
        if constexpr (Shift + Bits == 16) return _mm_srli_epi16(p, Shift);
        else if constexpr (Shift == 0) return _mm_and_si128(p, Mask());
        else return _mm_and_si128(_mm_srli_epi16(p, Shift), Mask());
    }
    static __m128i Up(__m128i v) {
        if constexpr (Shift == 0) return v;
        else return _mm_slli_epi16(v, Shift);
    }
};

template <typename Red, typename Green, typename Blue>
struct FieldSet {
    Red red;
    Green green;
    Blue blue;
    explicit FieldSet(const ChannelLayout& l) : red(l, 0), green(l, 1), blue(l, 2) {}
    // The OR of f(field) over the fields, f giving each field's values in place.
    template <typename F>
    __m128i Each(F f) const {
        return _mm_or_si128(_mm_or_si128(f(red), f(green)), f(blue));
    }
};

bool SameLayout(const ChannelLayout& a, const ChannelLayout& b) {
    for (int c = 0; c < 3; ++c)
        if (a.mask[c] != b.mask[c] || a.shift[c] != b.shift[c]) return false;
    return true;
}

// Fields of at most 64 levels: sums and differences of two fit a lane.
bool SmallFields(const ChannelLayout& l) { return l.mask[0] <= 64 && l.mask[1] <= 64 && l.mask[2] <= 64; }

// Calls body with the field set that fits the layout.
template <typename Body>
void WithFieldSet(const ChannelLayout& l, Body&& body) {
    constexpr ChannelLayout rgb565{{31, 63, 31}, {11, 5, 0}}, rgb555{{31, 31, 31}, {10, 5, 0}};
    if (SameLayout(l, rgb565)) body(FieldSet<FixedField<11, 5>, FixedField<5, 6>, FixedField<0, 5>>(l));
    else if (SameLayout(l, rgb555)) body(FieldSet<FixedField<10, 5>, FixedField<5, 5>, FixedField<0, 5>>(l));
    else body(FieldSet<RuntimeField, RuntimeField, RuntimeField>(l));
}

template <typename Fields>
struct AddLanes : AddPixels {
    Fields fields;
    __m128i Vector(__m128i s, __m128i d) const {
        return fields.Each([&](const auto& field) {
            const __m128i sum = _mm_add_epi16(field.Down(s), field.Down(d));
            // Unsigned minimum: sum - max(sum - mask, 0).
            return field.Up(_mm_sub_epi16(sum, _mm_subs_epu16(sum, field.Mask())));
        });
    }
};

// The pair form lane by lane. Per field it is v + floor((alpha (u - v) +
// 64 (alpha mod 4)) / 256): the bias 64 alpha is 256 (alpha / 4) plus that
// remainder, and 256 (alpha / 4) cancels A. With 0 <= alpha <= 256 and small
// fields this fits a signed lane and lies between u and v, and no half of the
// 32-bit word disturbs the other, so the lanes give the pair form's pixels.
template <typename Fields>
struct AlphaLanes {
    Fields fields;
    __m128i alpha, remainder;
    AlphaLanes(const Fields& f, int a) : fields(f), alpha(Lanes(static_cast<uint32_t>(a))),
                                         remainder(Lanes(static_cast<uint32_t>(64 * (a & 3)))) {}
    __m128i Vector(__m128i s, __m128i d) const {
        return fields.Each([&](const auto& field) {
            const __m128i u = field.Down(s), v = field.Down(d);
            const __m128i product = _mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(u, v), alpha), remainder);
            return field.Up(_mm_add_epi16(v, _mm_srai_epi16(product, 8)));
        });
    }
};
#endif

// The rows of the alpha blend: the odd first pixel alone, then lanes(d, s, x)
// as far as it goes, then the remaining pairs.
template <typename RowLanes>
void BlendAlphaRows(const BlendArea& area, BlendKey key, const ChannelLayout& layout, int alpha, RowLanes lanes) {
    const AlphaPair pair(layout, alpha);
    for (int y = 0; y < area.height; ++y) {
        uint16_t* d = TargetRow(area, y);
        const uint16_t* s = SourceRow(area, y);
        int x = 0;
        if (area.width & 1) {
            if (!IsKeyed(key, s[0])) d[0] = BlendAlonePixel(s[0], d[0], layout, alpha);
            x = 1;
        }
        for (x = lanes(d, s, x); x < area.width; x += 2) pair.Blend(d + x, s + x, key);
    }
}

}  // namespace

void BlendHalfAverage(const BlendArea& area, BlendKey key, uint16_t halfMask, KernelPath path) {
    CombineArea(area, key, path, HalfAverageOp{halfMask});
}

void BlendAlpha(const BlendArea& area, BlendKey key, const ChannelLayout& layout, int alpha,
                [[maybe_unused]] KernelPath path) {
#ifdef __SSE2__
    if (path == KernelPath::Fastest && alpha >= 0 && alpha <= 256 && SmallFields(layout)) {
        return WithFieldSet(layout, [&](const auto& fields) {
            const AlphaLanes<std::decay_t<decltype(fields)>> op(fields, alpha);
            BlendAlphaRows(area, key, layout, alpha, [&](uint16_t* d, const uint16_t* s, int x) {
                return CombineRowSse2(d, s, x, area.width, key, op);
            });
        });
    }
#endif
    BlendAlphaRows(area, key, layout, alpha, [](uint16_t*, const uint16_t*, int x) { return x; });
}

void BlendAdd(const BlendArea& area, BlendKey key, const ChannelLayout& layout, KernelPath path) {
#ifdef __SSE2__
    if (SmallFields(layout)) {
        return WithFieldSet(layout, [&](const auto& fields) {
            CombineArea(area, key, path, AddLanes<std::decay_t<decltype(fields)>>{{layout}, fields});
        });
    }
#endif
    CombineArea(area, key, path, AddPixels{layout});
}

void BlendRop2(const BlendArea& area, BlendKey key, int rop2, KernelPath path) {
    switch (rop2) {
        case R2_NOTMERGEPEN: return CombineArea(area, key, path, RopOp<Mix::Or>{0xFFFF});
        case R2_NOTCOPYPEN: return CombineArea(area, key, path, RopOp<Mix::Source>{0xFFFF});
        case R2_NOT: return CombineArea(area, key, path, RopOp<Mix::Target>{0xFFFF});
        case R2_XORPEN: return CombineArea(area, key, path, RopOp<Mix::Xor>{0});
        case R2_NOTMASKPEN: return CombineArea(area, key, path, RopOp<Mix::And>{0xFFFF});
        case R2_MASKPEN: return CombineArea(area, key, path, RopOp<Mix::And>{0});
        case R2_NOTXORPEN: return CombineArea(area, key, path, RopOp<Mix::Xor>{0xFFFF});
        case R2_MERGEPEN: return CombineArea(area, key, path, RopOp<Mix::Or>{0});
        default: return;  // the target stays as it was
    }
}
