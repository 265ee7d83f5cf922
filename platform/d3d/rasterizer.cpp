// Triangle set-up, exact edge walking and the span loops. Span loops are
// instantiated per colour format, depth size, texture filter, perspective
// and blending, so the inner loop carries no decisions but the depth test,
// the colour key and dithering.
#include "platform/d3d/rasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

enum class Format { R565, R555, X8888 };
enum class Texturing { None, Nearest, Linear };

constexpr int SUB = 16;  // sub-pixel steps per pixel
constexpr int8_t BAYER[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

int64_t FloorDiv(int64_t n, int64_t d) {
    const int64_t q = n / d;
    return (n % d != 0 && ((n < 0) != (d < 0))) ? q - 1 : q;
}
int64_t CeilDiv(int64_t n, int64_t d) { return -FloorDiv(-n, d); }

// The first row whose pixel centre is at or below a 1/16-pixel y.
int FirstRowAtOrBelow(int32_t y) { return static_cast<int>(CeilDiv(static_cast<int64_t>(y) - SUB / 2, SUB)); }

// One edge from top (xa, ya) to bottom (xb, yb) in 1/16 pixels. For each row
// it gives the first pixel whose centre is at or right of the edge:
// ceil((x(yc) - 8) / 16), stepped exactly as a quotient and remainder.
class EdgeWalker {
public:
    EdgeWalker(int32_t xa, int32_t ya, int32_t xb, int32_t yb, int row) {
        const int64_t dx = xb - xa, dy = yb - ya;
        denominator_ = SUB * dy;
        const int64_t numerator = (xa - SUB / 2) * dy + (static_cast<int64_t>(row) * SUB + SUB / 2 - ya) * dx;
        quotient_ = CeilDiv(numerator, denominator_);
        remainder_ = quotient_ * denominator_ - numerator;
        stepQuotient_ = FloorDiv(SUB * dx, denominator_);
        stepRemainder_ = SUB * dx - stepQuotient_ * denominator_;
    }
    int X() const { return static_cast<int>(quotient_); }
    void Step() {
        quotient_ += stepQuotient_;
        remainder_ -= stepRemainder_;
        if (remainder_ < 0) {
            remainder_ += denominator_;
            ++quotient_;
        }
    }

private:
    int64_t denominator_, quotient_, remainder_, stepQuotient_, stepRemainder_;
};

// Values that vary linearly over the screen: value = base + dx * x + dy * y
// at pixel centre (x + 0.5, y + 0.5).
struct Plane {
    float base = 0, dx = 0, dy = 0;
    float At(int x, int y) const { return base + dx * (static_cast<float>(x) + 0.5f) + dy * (static_cast<float>(y) + 0.5f); }
};

struct Planes {
    Plane z, w, u, v, r, g, b;  // u and v are divided by distance (times w) when perspective
};

struct SpanContext {
    const RenderTarget* target;
    const TextureLevel* texture;
    int maskU, maskV;  // texture size - 1 for sizes that are powers of two, else -1
    uint32_t alpha256;  // 0..256
    bool keyed;
    bool dither;
};

template <Format F>
uint32_t Pack(int r, int g, int b) {
    if constexpr (F == Format::R565) return static_cast<uint32_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
    else if constexpr (F == Format::R555) return static_cast<uint32_t>((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
    else return static_cast<uint32_t>(r << 16 | g << 8 | b);
}

template <Format F>
void Unpack(uint32_t pixel, int* r, int* g, int* b) {
    if constexpr (F == Format::R565) {
        *r = static_cast<int>((pixel >> 11) & 31) * 255 / 31;
        *g = static_cast<int>((pixel >> 5) & 63) * 255 / 63;
        *b = static_cast<int>(pixel & 31) * 255 / 31;
    } else if constexpr (F == Format::R555) {
        *r = static_cast<int>((pixel >> 10) & 31) * 255 / 31;
        *g = static_cast<int>((pixel >> 5) & 31) * 255 / 31;
        *b = static_cast<int>(pixel & 31) * 255 / 31;
    } else {
        *r = static_cast<int>((pixel >> 16) & 255);
        *g = static_cast<int>((pixel >> 8) & 255);
        *b = static_cast<int>(pixel & 255);
    }
}

template <Format F>
using PixelType = std::conditional_t<F == Format::X8888, uint32_t, uint16_t>;

template <int DepthBits>
using DepthType = std::conditional_t<DepthBits == 16, uint16_t, uint32_t>;

// Depth values as fixed point: 16-bit depths with 15 fraction bits, 24-bit
// ones with 7, so every value stays positive in an int32.
template <int DepthBits>
constexpr int DEPTH_FRACTION = DepthBits == 16 ? 15 : 7;
template <int DepthBits>
constexpr float DEPTH_SCALE = DepthBits == 16 ? 65535.0f * 32768.0f : 16777215.0f * 128.0f;

// A plane value as 32-bit fixed point, saturated. Spans step these values in
// unsigned arithmetic, which wraps where signed would overflow: a near
// edge-on triangle's slopes are steep enough to carry the value past the
// range just after a span's last pixel, where it is no longer read.
[[gnu::always_inline]] inline uint32_t ToFixed(float value, float scale) {
    constexpr float LIMIT = 2147483520.0f;  // the largest float below 2^31
    return static_cast<uint32_t>(static_cast<int32_t>(std::clamp(value * scale, -LIMIT, LIMIT)));
}

// Texel positions are lifted above zero by this many texels before they are
// truncated, so truncation rounds down like floor for positions above
// -4096; the float keeps 11 fraction bits there for the linear weights.
constexpr int TEXEL_BIAS = 4096;

[[gnu::always_inline]] inline int WrapCoordinate(int t, int mask, int size) {
    if (mask >= 0) return t & mask;
    const int m = t % size;
    return m < 0 ? m + size : m;
}

[[gnu::always_inline]] inline int FloorTexel(float texels) { return static_cast<int>(texels + static_cast<float>(TEXEL_BIAS)) - TEXEL_BIAS; }

[[gnu::always_inline]] inline uint32_t FetchNearest(const SpanContext& c, float u, float v) {
    const TextureLevel& t = *c.texture;
    const int x = WrapCoordinate(FloorTexel(u * static_cast<float>(t.width)), c.maskU, t.width);
    const int y = WrapCoordinate(FloorTexel(v * static_cast<float>(t.height)), c.maskV, t.height);
    return t.texels[static_cast<size_t>(y) * t.width + x];
}

// The four texels around the sample point weighted by its position among
// them (8-bit weights); keyed texels are left out when any texel is visible.
uint32_t FetchLinear(const SpanContext& c, float u, float v) {
    const TextureLevel& t = *c.texture;
    const float fu = u * static_cast<float>(t.width) - 0.5f, fv = v * static_cast<float>(t.height) - 0.5f;
    const int bu = FloorTexel(fu), bv = FloorTexel(fv);
    const int wu = static_cast<int>((fu - static_cast<float>(bu)) * 256), wv = static_cast<int>((fv - static_cast<float>(bv)) * 256);
    const int x0 = WrapCoordinate(bu, c.maskU, t.width);
    const int x1 = WrapCoordinate(bu + 1, c.maskU, t.width);
    const int y0 = WrapCoordinate(bv, c.maskV, t.height);
    const int y1 = WrapCoordinate(bv + 1, c.maskV, t.height);
    const uint32_t texels[4] = {t.texels[static_cast<size_t>(y0) * t.width + x0], t.texels[static_cast<size_t>(y0) * t.width + x1],
                                t.texels[static_cast<size_t>(y1) * t.width + x0], t.texels[static_cast<size_t>(y1) * t.width + x1]};
    const int weights[4] = {(256 - wu) * (256 - wv), wu * (256 - wv), (256 - wu) * wv, wu * wv};
    int sums[3] = {0, 0, 0}, total = 0;
    for (int i = 0; i < 4; ++i) {
        if (!(texels[i] >> 24)) continue;
        total += weights[i];
        sums[0] += static_cast<int>((texels[i] >> 16) & 255) * weights[i];
        sums[1] += static_cast<int>((texels[i] >> 8) & 255) * weights[i];
        sums[2] += static_cast<int>(texels[i] & 255) * weights[i];
    }
    if (total * 2 < 65536 || total == 0) return 0;  // mostly keyed out
    return 0xFF000000u | static_cast<uint32_t>(sums[0] / total) << 16 | static_cast<uint32_t>(sums[1] / total) << 8 |
           static_cast<uint32_t>(sums[2] / total);
}

template <Format F, int DepthBits, Texturing T, bool Perspective, bool Blend>
void DrawSpan(const SpanContext& c, const Planes& p, int y, int x0, int x1) {
    const RenderTarget& target = *c.target;
    auto* pixels = reinterpret_cast<PixelType<F>*>(target.color.bits + static_cast<ptrdiff_t>(y) * target.color.pitch);
    auto* depths = reinterpret_cast<DepthType<DepthBits>*>(target.depth + static_cast<ptrdiff_t>(y) * target.depthPitch);
    constexpr float COLOR_SCALE = 65536.0f;
    uint32_t z = ToFixed(p.z.At(x0, y), DEPTH_SCALE<DepthBits>);
    const uint32_t dz = ToFixed(p.z.dx, DEPTH_SCALE<DepthBits>);
    uint32_t r = ToFixed(p.r.At(x0, y), COLOR_SCALE), g = ToFixed(p.g.At(x0, y), COLOR_SCALE), b = ToFixed(p.b.At(x0, y), COLOR_SCALE);
    const uint32_t dr = ToFixed(p.r.dx, COLOR_SCALE), dg = ToFixed(p.g.dx, COLOR_SCALE), db = ToFixed(p.b.dx, COLOR_SCALE);
    float u = p.u.At(x0, y), v = p.v.At(x0, y), w = p.w.At(x0, y);
    const float du = p.u.dx, dv = p.v.dx, dw = p.w.dx;
    for (int x = x0; x < x1; ++x, z += dz, r += dr, g += dg, b += db) {
        const auto depth =
            static_cast<DepthType<DepthBits>>(static_cast<uint32_t>(std::max(static_cast<int32_t>(z), 0)) >> DEPTH_FRACTION<DepthBits>);
        const float su = u, sv = v, sw = w;
        if constexpr (T != Texturing::None) {
            u += du;
            v += dv;
            if constexpr (Perspective) w += dw;
        }
        if (depth > depths[x]) continue;
        int cr = static_cast<int32_t>(r) >> 16, cg = static_cast<int32_t>(g) >> 16, cb = static_cast<int32_t>(b) >> 16;
        if constexpr (T != Texturing::None) {
            float tu = su, tv = sv;
            if constexpr (Perspective) {
                const float distance = 1.0f / sw;
                tu *= distance;
                tv *= distance;
            }
            const uint32_t texel = T == Texturing::Nearest ? FetchNearest(c, tu, tv) : FetchLinear(c, tu, tv);
            if (c.keyed && !(texel >> 24)) continue;
            cr = static_cast<int>(((texel >> 16) & 255) * static_cast<uint32_t>(cr + 1)) >> 8;
            cg = static_cast<int>(((texel >> 8) & 255) * static_cast<uint32_t>(cg + 1)) >> 8;
            cb = static_cast<int>((texel & 255) * static_cast<uint32_t>(cb + 1)) >> 8;
        }
        if constexpr (Blend) {
            int dr0, dg0, db0;
            Unpack<F>(pixels[x], &dr0, &dg0, &db0);
            const int a = static_cast<int>(c.alpha256);
            cr = (cr * a + dr0 * (256 - a)) >> 8;
            cg = (cg * a + dg0 * (256 - a)) >> 8;
            cb = (cb * a + db0 * (256 - a)) >> 8;
        } else {
            depths[x] = depth;
        }
        if (c.dither && F != Format::X8888) {
            const int d = BAYER[y & 3][x & 3] >> 1;
            cr = std::min(cr + d, 255);
            cg = std::min(cg + (F == Format::R565 ? d >> 1 : d), 255);
            cb = std::min(cb + d, 255);
        }
        pixels[x] = static_cast<PixelType<F>>(Pack<F>(cr, cg, cb));
    }
}

using SpanFunction = void (*)(const SpanContext&, const Planes&, int, int, int);

template <Format F, int DepthBits, bool Blend>
SpanFunction ChooseSpan(Texturing texturing, bool perspective) {
    switch (texturing) {
        case Texturing::None: return DrawSpan<F, DepthBits, Texturing::None, false, Blend>;
        case Texturing::Nearest:
            return perspective ? DrawSpan<F, DepthBits, Texturing::Nearest, true, Blend>
                               : DrawSpan<F, DepthBits, Texturing::Nearest, false, Blend>;
        default:
            return perspective ? DrawSpan<F, DepthBits, Texturing::Linear, true, Blend>
                               : DrawSpan<F, DepthBits, Texturing::Linear, false, Blend>;
    }
}

template <Format F>
SpanFunction ChooseSpan(int depthBits, bool blend, Texturing texturing, bool perspective) {
    if (depthBits == 16)
        return blend ? ChooseSpan<F, 16, true>(texturing, perspective) : ChooseSpan<F, 16, false>(texturing, perspective);
    return blend ? ChooseSpan<F, 32, true>(texturing, perspective) : ChooseSpan<F, 32, false>(texturing, perspective);
}

bool FormatOf(const PixelFormat& format, Format* out) {
    if (format.bitsPerPixel == 16 && format.greenMask == 0x07E0) *out = Format::R565;
    else if (format.bitsPerPixel == 16 && format.greenMask == 0x03E0) *out = Format::R555;
    else if (format.bitsPerPixel == 32 && format.greenMask == 0xFF00) *out = Format::X8888;
    else return false;
    return true;
}

// The plane through three values at three snapped corners.
Plane PlaneThrough(const float* x, const float* y, const float* value, float inverseArea) {
    const float d1 = value[1] - value[0], d2 = value[2] - value[0];
    Plane p;
    p.dx = (d1 * (y[2] - y[0]) - d2 * (y[1] - y[0])) * inverseArea;
    p.dy = (d2 * (x[1] - x[0]) - d1 * (x[2] - x[0])) * inverseArea;
    p.base = value[0] - p.dx * x[0] - p.dy * y[0];
    return p;
}

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// The nearest 1/16 pixel (halves away from zero), without a library call.
int32_t SnapToSubpixel(float pixels) {
    const double steps = static_cast<double>(pixels) * SUB;
    return static_cast<int32_t>(steps >= 0 ? steps + 0.5 : steps - 0.5);
}

struct Snapped {
    int32_t x, y;
    const RasterVertex* vertex;
};

}  // namespace

bool CanRasterize(const PixelFormat& format, int depthBits) {
    Format f;
    return FormatOf(format, &f) && (depthBits == 16 || depthBits == 24 || depthBits == 32);
}

uint32_t PackColor(const PixelFormat& format, int r, int g, int b) {
    Format f = Format::X8888;
    FormatOf(format, &f);
    switch (f) {
        case Format::R565: return Pack<Format::R565>(r, g, b);
        case Format::R555: return Pack<Format::R555>(r, g, b);
        default: return Pack<Format::X8888>(r, g, b);
    }
}

void DrawTriangle(const RenderTarget& target, const RasterVertex* a, const RasterVertex* b, const RasterVertex* c,
                  const TriangleStyle& style) {
    Format format;
    if (!FormatOf(target.color.format, &format)) return;
    Snapped s[3];
    const RasterVertex* corners[3] = {a, b, c};
    for (int i = 0; i < 3; ++i)
        s[i] = {SnapToSubpixel(corners[i]->x), SnapToSubpixel(corners[i]->y), corners[i]};
    const int64_t area2 = static_cast<int64_t>(s[1].x - s[0].x) * (s[2].y - s[0].y) -
                          static_cast<int64_t>(s[2].x - s[0].x) * (s[1].y - s[0].y);
    if (area2 <= 0) return;  // back-facing or empty

    // Attribute planes over the snapped corners.
    float xs[3], ys[3];
    for (int i = 0; i < 3; ++i) {
        xs[i] = static_cast<float>(s[i].x) / SUB;
        ys[i] = static_cast<float>(s[i].y) / SUB;
    }
    const float inverseArea = static_cast<float>(SUB * SUB) / static_cast<float>(area2);
    const bool perspective = style.texture && style.perspective;
    Planes planes;
    auto plane = [&](auto field) {
        const float values[3] = {field(*a), field(*b), field(*c)};
        return PlaneThrough(xs, ys, values, inverseArea);
    };
    planes.z = plane([](const RasterVertex& v) { return v.z; });
    planes.r = plane([](const RasterVertex& v) { return v.r; });
    planes.g = plane([](const RasterVertex& v) { return v.g; });
    planes.b = plane([](const RasterVertex& v) { return v.b; });
    if (style.texture) {
        if (perspective) {
            planes.w = plane([](const RasterVertex& v) { return v.w; });
            planes.u = plane([](const RasterVertex& v) { return v.u * v.w; });
            planes.v = plane([](const RasterVertex& v) { return v.v * v.w; });
        } else {
            planes.u = plane([](const RasterVertex& v) { return v.u; });
            planes.v = plane([](const RasterVertex& v) { return v.v; });
        }
    }

    SpanContext context{&target, style.texture, -1, -1, static_cast<uint32_t>(std::clamp(style.alpha, 0.0f, 1.0f) * 256), false,
                        style.dither};
    if (style.texture) {
        context.maskU = IsPowerOfTwo(style.texture->width) ? style.texture->width - 1 : -1;
        context.maskV = IsPowerOfTwo(style.texture->height) ? style.texture->height - 1 : -1;
        context.keyed = true;
    }
    const Texturing texturing =
        !style.texture ? Texturing::None : style.filter == TextureFilter::Linear ? Texturing::Linear : Texturing::Nearest;
    const bool blend = context.alpha256 < 256;
    SpanFunction span;
    switch (format) {
        case Format::R565: span = ChooseSpan<Format::R565>(target.depthBits, blend, texturing, perspective); break;
        case Format::R555: span = ChooseSpan<Format::R555>(target.depthBits, blend, texturing, perspective); break;
        default: span = ChooseSpan<Format::X8888>(target.depthBits, blend, texturing, perspective); break;
    }

    // Top to bottom (ties: left first); the long edge runs from top to bottom.
    std::sort(s, s + 3, [](const Snapped& p, const Snapped& q) { return p.y != q.y ? p.y < q.y : p.x < q.x; });
    const int64_t side = static_cast<int64_t>(s[1].x - s[0].x) * (s[2].y - s[0].y) -
                         static_cast<int64_t>(s[2].x - s[0].x) * (s[1].y - s[0].y);
    const bool middleOnRight = side > 0;
    const int top = std::max(FirstRowAtOrBelow(s[0].y), static_cast<int>(target.clip.top));
    const int middle = FirstRowAtOrBelow(s[1].y);
    const int bottom = std::min(FirstRowAtOrBelow(s[2].y), static_cast<int>(target.clip.bottom));
    if (top >= bottom) return;
    EdgeWalker longEdge(s[0].x, s[0].y, s[2].x, s[2].y, top);
    auto walkHalf = [&](EdgeWalker& shortEdge, int from, int to) {
        for (int y = from; y < to; ++y) {
            const int left = middleOnRight ? longEdge.X() : shortEdge.X();
            const int right = middleOnRight ? shortEdge.X() : longEdge.X();
            const int x0 = std::max(left, static_cast<int>(target.clip.left));
            const int x1 = std::min(right, static_cast<int>(target.clip.right));
            if (x0 < x1) span(context, planes, y, x0, x1);
            longEdge.Step();
            shortEdge.Step();
        }
    };
    if (top < middle) {
        EdgeWalker upper(s[0].x, s[0].y, s[1].x, s[1].y, top);
        walkHalf(upper, top, std::min(middle, bottom));
    }
    const int lowerStart = std::max(middle, top);
    if (lowerStart < bottom) {
        EdgeWalker lower(s[1].x, s[1].y, s[2].x, s[2].y, lowerStart);
        walkHalf(lower, lowerStart, bottom);
    }
}

namespace {

// Plots one depth-tested pixel in the colour of the vertex.
void Plot(const RenderTarget& target, int x, int y, float z, const RasterVertex& color) {
    if (x < target.clip.left || x >= target.clip.right || y < target.clip.top || y >= target.clip.bottom) return;
    const float clamped = std::clamp(z, 0.0f, 1.0f);
    uint8_t* depthRow = target.depth + static_cast<ptrdiff_t>(y) * target.depthPitch;
    if (target.depthBits == 16) {
        const auto depth = static_cast<uint16_t>(clamped * 65535.0f);
        auto* cell = reinterpret_cast<uint16_t*>(depthRow) + x;
        if (depth > *cell) return;
        *cell = depth;
    } else {
        const auto depth = static_cast<uint32_t>(clamped * 16777215.0f);
        auto* cell = reinterpret_cast<uint32_t*>(depthRow) + x;
        if (depth > *cell) return;
        *cell = depth;
    }
    const uint32_t value = PackColor(target.color.format, static_cast<int>(color.r), static_cast<int>(color.g),
                                     static_cast<int>(color.b));
    uint8_t* row = target.color.bits + static_cast<ptrdiff_t>(y) * target.color.pitch;
    if (target.color.format.bitsPerPixel == 16) reinterpret_cast<uint16_t*>(row)[x] = static_cast<uint16_t>(value);
    else reinterpret_cast<uint32_t*>(row)[x] = value;
}

}  // namespace

void DrawLine(const RenderTarget& target, const RasterVertex& a, const RasterVertex& b) {
    Format format;
    if (!FormatOf(target.color.format, &format)) return;
    const int x0 = static_cast<int>(std::floor(a.x)), y0 = static_cast<int>(std::floor(a.y));
    const int x1 = static_cast<int>(std::floor(b.x)), y1 = static_cast<int>(std::floor(b.y));
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= steps; ++i) {
        const float t = steps ? static_cast<float>(i) / static_cast<float>(steps) : 0.0f;
        const int x = x0 + static_cast<int>(std::lround(static_cast<float>(x1 - x0) * t));
        const int y = y0 + static_cast<int>(std::lround(static_cast<float>(y1 - y0) * t));
        Plot(target, x, y, a.z + (b.z - a.z) * t, a);
    }
}

void DrawPoint(const RenderTarget& target, const RasterVertex& a) {
    Format format;
    if (!FormatOf(target.color.format, &format)) return;
    Plot(target, static_cast<int>(std::floor(a.x)), static_cast<int>(std::floor(a.y)), a.z, a);
}

void ClearTarget(const RenderTarget& target, uint32_t rgb) {
    const uint32_t value = PackColor(target.color.format, (rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255);
    for (int y = target.clip.top; y < target.clip.bottom; ++y) {
        uint8_t* row = target.color.bits + static_cast<ptrdiff_t>(y) * target.color.pitch;
        uint8_t* depthRow = target.depth + static_cast<ptrdiff_t>(y) * target.depthPitch;
        if (target.color.format.bitsPerPixel == 16) {
            std::fill(reinterpret_cast<uint16_t*>(row) + target.clip.left, reinterpret_cast<uint16_t*>(row) + target.clip.right,
                      static_cast<uint16_t>(value));
        } else {
            std::fill(reinterpret_cast<uint32_t*>(row) + target.clip.left, reinterpret_cast<uint32_t*>(row) + target.clip.right,
                      value);
        }
        if (target.depthBits == 16) {
            std::fill(reinterpret_cast<uint16_t*>(depthRow) + target.clip.left,
                      reinterpret_cast<uint16_t*>(depthRow) + target.clip.right, static_cast<uint16_t>(0xFFFF));
        } else {
            std::fill(reinterpret_cast<uint32_t*>(depthRow) + target.clip.left,
                      reinterpret_cast<uint32_t*>(depthRow) + target.clip.right, 0xFFFFFFu);
        }
    }
}
