// MoveToEx and LineTo: one-pixel lines that light their first pixel and
// leave out their last, cut to the drawable rectangle without moving a pixel.
// Pens wider than one pixel draw as the band of pixel centres within half
// the width of the line, round at both ends.
#include <algorithm>
#include <cmath>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/raster.h"

namespace {

using Wide = __int128;

// Rounds n / m up, for m > 0.
Wide CeilDiv(Wide n, Wide m) { return n >= 0 ? (n + m - 1) / m : -((-n) / m); }

// Which pixels a line lights.
//
// Let the line run d >= a >= 0 pixels along its major and minor axes, and
// step i = 0 .. d-1 visit major coordinate m0 + i * sm. The ideal minor
// offset there is i * a / d; the pixel lit is the nearest one. When the line
// passes exactly halfway between two pixels, the upper one (of two in a
// column) or the left one (of two in a row) is lit: the tie goes to the
// smaller coordinate, that is towards the minor step when it is negative
// (bias b = 1) and against it when positive (b = 0). The offset q(i) in
// minor steps is then the smallest q with 2ia - d(2q + 1) <= -b:
//
//     q(i) = floor((2ia + d + b - 1) / 2d)
//
// Bresenham keeps error(i) = 2ia - d(2q(i) + 1): each step adds 2a, and
// when error + b > 0 the minor axis moves and the error drops by 2d. Step d,
// the end point, is not lit.
//
// Clipping keeps that sequence: the major axis limits i directly; q(i) never
// falls, so a minor range [qlo, qhi] limits i to
//     i >= ceil((2d * qlo - d - b + 1) / 2a)  and  i < ceil((2d * (qhi + 1) - d - b + 1) / 2a),
// and the walk starts at the first i left with q and the error worked out
// from the formulas above.
bool ClipLine(int x0, int y0, int x1, int y1, const RECT& clip, LineWalk* walk) {
    const int64_t dx = static_cast<int64_t>(x1) - x0, dy = static_cast<int64_t>(y1) - y0;
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const int64_t d = std::max(std::abs(dx), std::abs(dy)), a = std::min(std::abs(dx), std::abs(dy));
    if (d == 0) return false;
    const int64_t majorDelta = xMajor ? dx : dy, minorDelta = xMajor ? dy : dx;
    const int sm = majorDelta > 0 ? 1 : -1, sn = minorDelta < 0 ? -1 : 1;
    const int b = sn < 0 ? 1 : 0;
    const int64_t m0 = xMajor ? x0 : y0, n0 = xMajor ? y0 : x0;
    const int64_t mlo = xMajor ? clip.left : clip.top, mhi = xMajor ? clip.right : clip.bottom;
    const int64_t nlo = xMajor ? clip.top : clip.left, nhi = xMajor ? clip.bottom : clip.right;

    // Steps whose major coordinate lies in [mlo, mhi).
    Wide first = 0, last = d;  // last exclusive
    if (sm > 0) first = std::max<Wide>(first, mlo - m0), last = std::min<Wide>(last, mhi - m0);
    else first = std::max<Wide>(first, m0 - mhi + 1), last = std::min<Wide>(last, m0 - mlo + 1);
    // Minor offsets whose coordinate lies in [nlo, nhi).
    const int64_t qlo = sn > 0 ? nlo - n0 : n0 - nhi + 1;
    const int64_t qhi = sn > 0 ? nhi - 1 - n0 : n0 - nlo;
    if (qhi < qlo || qhi < 0) return false;
    if (a == 0) {
        if (qlo > 0) return false;
    } else {
        if (qlo > 0) first = std::max(first, CeilDiv(Wide{2} * d * qlo - d - b + 1, Wide{2} * a));
        last = std::min(last, CeilDiv(Wide{2} * d * (qhi + 1) - d - b + 1, Wide{2} * a));
    }
    if (first >= last) return false;

    const Wide q = (Wide{2} * first * a + d + b - 1) / (Wide{2} * d);
    const int64_t major = m0 + sm * static_cast<int64_t>(first), minor = n0 + sn * static_cast<int64_t>(q);
    walk->x = static_cast<int>(xMajor ? major : minor);
    walk->y = static_cast<int>(xMajor ? minor : major);
    walk->count = static_cast<int>(last - first);
    walk->majorX = xMajor ? sm : 0, walk->majorY = xMajor ? 0 : sm;
    walk->minorX = xMajor ? 0 : sn, walk->minorY = xMajor ? sn : 0;
    walk->error = static_cast<int64_t>(Wide{2} * first * a - d * (Wide{2} * q + 1));
    walk->increase = 2 * a;
    walk->decrease = 2 * d;
    walk->bias = b;
    return true;
}

// A pen of width w covers the pixel centres within w / 2 of the segment.
// That shape is convex, so each row holds one run of them: the row's
// centre line meets the band around the segment and the two end discs in
// intervals that overlap, and the run spans from the least to the greatest.
void DrawWideLine(const DeviceContext& dc, int x0, int y0, int x1, int y1, int width, PixelMix mix) {
    const RECT clip = DrawableRect(dc);
    const double r = width / 2.0;
    const double ux = x1 - static_cast<double>(x0), uy = y1 - static_cast<double>(y0);
    const double length = std::hypot(ux, uy);
    const int top = std::max<int>(clip.top, static_cast<int>(std::floor(std::min(y0, y1) - r)));
    const int bottom = std::min<int>(clip.bottom, static_cast<int>(std::ceil(std::max(y0, y1) + r)) + 1);
    for (int y = top; y < bottom; ++y) {
        double low = INFINITY, high = -INFINITY;
        const auto disc = [&](double cx, double cy) {
            const double h = r * r - (y - cy) * (y - cy);
            if (h < 0) return;
            low = std::min(low, cx - std::sqrt(h));
            high = std::max(high, cx + std::sqrt(h));
        };
        disc(x0, y0);
        disc(x1, y1);
        if (length > 0 && uy != 0) {
            // Points p with |cross(p - p0, u)| <= r * length and 0 <= dot(p - p0, u) <= length^2.
            const double t = y - static_cast<double>(y0);
            const double across[2] = {(ux * t - r * length) / uy, (ux * t + r * length) / uy};
            double bandLow = std::min(across[0], across[1]), bandHigh = std::max(across[0], across[1]);
            if (ux != 0) {
                const double along[2] = {-uy * t / ux, (length * length - uy * t) / ux};
                bandLow = std::max(bandLow, std::min(along[0], along[1]));
                bandHigh = std::min(bandHigh, std::max(along[0], along[1]));
            } else if (t * uy < 0 || t * uy > length * length) {
                bandLow = INFINITY;
            }
            if (bandLow <= bandHigh) low = std::min(low, x0 + bandLow), high = std::max(high, x0 + bandHigh);
        } else if (std::abs(y - static_cast<double>(y0)) <= r) {
            low = std::min(low, static_cast<double>(std::min(x0, x1)));
            high = std::max(high, static_cast<double>(std::max(x0, x1)));
        }
        if (low > high) continue;
        const int left = std::max<int>(clip.left, static_cast<int>(std::ceil(std::max(low, -2e9))));
        const int right = std::min<int>(clip.right, static_cast<int>(std::floor(std::min(high, 2e9))) + 1);
        MixSpan(dc.target, left, y, right - left, mix);
    }
}

}  // namespace

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
    if (!IsLiveDC(dc)) return FALSE;
    if (previous) *previous = dc->position;
    dc->position = {x, y};
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
    if (!IsLiveDC(dc)) return FALSE;
    const POINT from = dc->position;
    dc->position = {x, y};
    if (!dc->target.bits || dc->penStyle.style == PS_NULL) return TRUE;
    const PixelMix mix = ColorMix(*dc, dc->penStyle.color, dc->rop2);
    if (dc->penStyle.width > 1) {
        DrawWideLine(*dc, from.x, from.y, x, y, dc->penStyle.width, mix);
        return TRUE;
    }
    LineWalk walk{};
    if (ClipLine(from.x, from.y, x, y, DrawableRect(*dc), &walk)) MixLine(dc->target, walk, mix);
    return TRUE;
}
