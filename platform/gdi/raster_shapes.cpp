// Rectangle, Ellipse, FillRect and InvertRect. A shape's box is put in order
// first and loses its right column and bottom row; outlines are one pixel
// wide whatever the pen's width, and every pixel is mixed exactly once.
#include <algorithm>
#include <cmath>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/raster.h"

namespace {

using Wide = __int128;

// The largest box side drawn: beyond it coordinates leave GDI's range.
constexpr int64_t MAX_SHAPE_SIDE = int64_t{1} << 27;

RECT Ordered(int left, int top, int right, int bottom) {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

RECT Intersect(const RECT& a, const RECT& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

bool Oversized(const RECT& box) {
    return static_cast<int64_t>(box.right) - box.left > MAX_SHAPE_SIDE ||
           static_cast<int64_t>(box.bottom) - box.top > MAX_SHAPE_SIDE;
}

// Pixels first .. last (inclusive) of row y, cut to clip.
void ClippedRun(const PixelBuffer& target, const RECT& clip, int64_t first, int64_t last, int64_t y,
                PixelMix mix) {
    if (y < clip.top || y >= clip.bottom) return;
    const int64_t left = std::max<int64_t>(first, clip.left), right = std::min<int64_t>(last + 1, clip.right);
    if (left < right)
        MixSpan(target, static_cast<int>(left), static_cast<int>(y), static_cast<int>(right - left), mix);
}

// What a shape draws with. A null pen draws no outline and takes the right
// column and bottom row off the box, so the brush fills one pixel less each
// way than the outlined shape covers.
struct ShapePaint {
    bool outline;
    PixelMix pen;
    bool fill;
    PixelMix brush;
};

ShapePaint PaintOf(const DeviceContext& dc, RECT* box) {
    ShapePaint paint{};
    paint.outline = dc.penStyle.style != PS_NULL;
    if (paint.outline) paint.pen = ColorMix(dc, dc.penStyle.color, dc.rop2);
    else --box->right, --box->bottom;
    paint.fill = !dc.brushStyle.hollow;
    if (paint.fill) paint.brush = ColorMix(dc, dc.brushStyle.color, dc.rop2);
    return paint;
}

bool SameMix(PixelMix a, PixelMix b) { return a.andMask == b.andMask && a.xorMask == b.xorMask; }

// A run of pixels, first .. last inclusive; empty when first > last.
struct Run {
    int64_t first, last;
    bool Empty() const { return first > last; }
};

Wide SquareRoot(Wide n) {
    Wide root = static_cast<Wide>(std::sqrt(static_cast<long double>(n)));
    while (root * root > n) --root;
    while ((root + 1) * (root + 1) <= n) ++root;
    return root;
}

int64_t FloorHalf(int64_t n) { return n >= 0 ? n / 2 : -((1 - n) / 2); }

// The pixels of row y whose centres lie inside the ellipse that fits the box.
// In doubled coordinates the box is W x H, a centre's offsets from the middle
// are u = 2x + 1 - (left + right) and v = 2y + 1 - (top + bottom), and it lies
// inside when u^2 H^2 + v^2 W^2 <= W^2 H^2, that is |u| <= floor(sqrt(W^2 (H^2 - v^2)) / H).
// Both tests are even in u and v, so the shape has the box's four-fold symmetry.
Run EllipseRow(const RECT& box, int64_t y) {
    if (y < box.top || y >= box.bottom) return {1, 0};
    const Wide w = static_cast<int64_t>(box.right) - box.left, h = static_cast<int64_t>(box.bottom) - box.top;
    const Wide v = 2 * y + 1 - (static_cast<int64_t>(box.top) + box.bottom);
    const int64_t reach = static_cast<int64_t>(SquareRoot(w * w * (h * h - v * v)) / h);
    const int64_t middle = static_cast<int64_t>(box.left) + box.right - 1;
    return {-FloorHalf(reach - middle), FloorHalf(middle + reach)};
}

}  // namespace

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    if (!IsLiveDC(dc)) return FALSE;
    RECT box = Ordered(left, top, right, bottom);
    if (!dc->target.bits) return TRUE;
    const PixelBuffer& target = dc->target;
    const RECT clip = DrawableRect(*dc);
    const ShapePaint paint = PaintOf(*dc, &box);
    if (!paint.outline || (paint.fill && SameMix(paint.pen, paint.brush))) {
        if (paint.fill || paint.outline) MixBox(target, Intersect(box, clip), paint.outline ? paint.pen : paint.brush);
        return TRUE;
    }
    if (box.left >= box.right || box.top >= box.bottom) return TRUE;
    const int64_t last = static_cast<int64_t>(box.right) - 1, lastRow = static_cast<int64_t>(box.bottom) - 1;
    ClippedRun(target, clip, box.left, last, box.top, paint.pen);
    if (lastRow > box.top) ClippedRun(target, clip, box.left, last, lastRow, paint.pen);
    const int64_t sidesTop = std::max<int64_t>(int64_t{box.top} + 1, clip.top);
    const int64_t sidesBottom = std::min<int64_t>(lastRow, clip.bottom);
    for (int64_t y = sidesTop; y < sidesBottom; ++y) {
        ClippedRun(target, clip, box.left, box.left, y, paint.pen);
        if (last > box.left) ClippedRun(target, clip, last, last, y, paint.pen);
    }
    if (paint.fill && last > box.left + 1 && lastRow > box.top + 1)
        MixBox(target, Intersect({box.left + 1, box.top + 1, box.right - 1, box.bottom - 1}, clip), paint.brush);
    return TRUE;
}

// The outline is every inside pixel with a neighbour above, below, left or
// right that is outside; the interior is the rest. Row by row the interior
// is the run inside this row and both neighbouring rows, less the row's ends.
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
    if (!IsLiveDC(dc)) return FALSE;
    RECT box = Ordered(left, top, right, bottom);
    if (Oversized(box)) return FALSE;
    if (!dc->target.bits) return TRUE;
    const RECT clip = DrawableRect(*dc);
    const ShapePaint paint = PaintOf(*dc, &box);
    if (box.left >= box.right || box.top >= box.bottom) return TRUE;
    const int64_t firstRow = std::max(box.top, clip.top), endRow = std::min(box.bottom, clip.bottom);
    for (int64_t y = firstRow; y < endRow; ++y) {
        const Run row = EllipseRow(box, y);
        if (!paint.outline) {
            if (paint.fill) ClippedRun(dc->target, clip, row.first, row.last, y, paint.brush);
            continue;
        }
        const Run above = EllipseRow(box, y - 1), below = EllipseRow(box, y + 1);
        Run inner{std::max({row.first + 1, above.first, below.first}), std::min({row.last - 1, above.last, below.last})};
        if (above.Empty() || below.Empty() || inner.Empty()) {
            ClippedRun(dc->target, clip, row.first, row.last, y, paint.pen);
            continue;
        }
        ClippedRun(dc->target, clip, row.first, inner.first - 1, y, paint.pen);
        ClippedRun(dc->target, clip, inner.last + 1, row.last, y, paint.pen);
        if (paint.fill) ClippedRun(dc->target, clip, inner.first, inner.last, y, paint.brush);
    }
    return TRUE;
}

// A plain copy of the brush: the context's mix mode does not apply.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    const GdiBrush* solid = AsBrush(brush);
    if (!IsLiveDC(dc) || !rect || !solid) return 0;
    if (!dc->target.bits || solid->style.hollow) return 1;
    const RECT box = Ordered(rect->left, rect->top, rect->right, rect->bottom);
    MixBox(dc->target, Intersect(box, DrawableRect(*dc)), ColorMix(*dc, solid->style.color, R2_COPYPEN));
    return 1;
}

// Every bit of every pixel flips, whatever the mix mode.
BOOL InvertRect(HDC dc, const RECT* rect) {
    if (!IsLiveDC(dc) || !rect) return FALSE;
    if (!dc->target.bits) return TRUE;
    const RECT box = Ordered(rect->left, rect->top, rect->right, rect->bottom);
    MixBox(dc->target, Intersect(box, DrawableRect(*dc)), InvertMix(dc->target.format.bitsPerPixel));
    return TRUE;
}
