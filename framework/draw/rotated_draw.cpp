// Rotation of a slot's rectangle by whole degrees about its centre, in
// software on the locked surfaces at 8 and 16 bits per pixel. The output is a
// square whose side is the rectangle's diagonal, clipped to the screen.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "framework/app/app.h"
#include "framework/display/display.h"
#include "framework/draw/draw.h"
#include "framework/draw/locked_surface.h"
#include "framework/image/image.h"

namespace {

// Fixed-point coordinates carry a scale of 360, the scale of the sine table.
constexpr int64_t FIXED_ONE = 360;
// Squares up to this side keep every fixed-point coordinate within 32 bits.
constexpr int64_t MAX_SQUARE = 1 << 20;

// Where the square lies and how its pixels map back into the source.
struct RotationWalk {
    int64_t dx, dy;          // the square's top-left corner on the screen
    int64_t x0, y0, x1, y1;  // the part of the square on the screen
    int64_t sinA, cosA;
    int64_t uRow, vRow;  // source coordinates of square pixel (0, 0), fixed point
    int64_t ox, oy;      // the rectangle's offset inside the square
    int sx1, sy1;
    // Rectangle coordinates that are inside the rectangle and the slot.
    int64_t xLow, xHigh, yLow, yHigh;
};

int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return a % b != 0 && (a < 0) != (b < 0) ? q - 1 : q;
}
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

// Narrows first..last (inclusive) to the i for which low <= start + i * step <= high.
void LimitSpan(int64_t start, int64_t step, int64_t low, int64_t high, int64_t* first, int64_t* last) {
    int64_t from = *first, to = *last;
    if (step > 0) {
        from = CeilDiv(low - start, step);
        to = FloorDiv(high - start, step);
    } else if (step < 0) {
        from = CeilDiv(high - start, step);
        to = FloorDiv(low - start, step);
    } else if (start < low || start > high) {
        from = 1, to = 0;
    }
    *first = std::max(*first, from);
    *last = std::min(*last, to);
}

// Square pixel (i, j) shows source pixel (u / 360 - ox, v / 360 - oy); a step
// right adds (cos, sin) to (u, v), a step down (-sin, cos). The span of each
// row whose pixels fall inside the rectangle is worked out first, so the
// inner loop has two additions and no tests. Divisions truncate toward zero:
// inside the span u > -360, and (u + 360) / 360 - 1 is that quotient with an
// unsigned division.
template <typename Pixel>
void RotatePixels(const RotationWalk& w, const LockedPixels<Pixel>& source, const LockedPixels<Pixel>& screen,
                  bool keyed, Pixel key) {
    // u / 360 in [a, b) with a >= 0 means u from 360a (from -359 when a = 0) to 360b - 1.
    const auto lowEnd = [](int64_t a) { return a == 0 ? 1 - FIXED_ONE : a * FIXED_ONE; };
    const int64_t uLow = lowEnd(w.xLow + w.ox), uHigh = (w.xHigh + w.ox) * FIXED_ONE - 1;
    const int64_t vLow = lowEnd(w.yLow + w.oy), vHigh = (w.yHigh + w.oy) * FIXED_ONE - 1;
    const int64_t column = w.sx1 - w.ox - 1, row = w.sy1 - w.oy - 1;
    const auto cosStep = static_cast<uint32_t>(w.cosA), sinStep = static_cast<uint32_t>(w.sinA);
    constexpr auto one = static_cast<uint32_t>(FIXED_ONE);
    for (int64_t j = w.y0; j < w.y1; ++j) {
        const int64_t u0 = w.uRow - j * w.sinA, v0 = w.vRow + j * w.cosA;  // at i = 0
        int64_t first = w.x0, last = w.x1 - 1;
        LimitSpan(u0, w.cosA, uLow, uHigh, &first, &last);
        LimitSpan(v0, w.sinA, vLow, vHigh, &first, &last);
        if (first > last) continue;
        auto u = static_cast<uint32_t>(u0 + first * w.cosA + FIXED_ONE);
        auto v = static_cast<uint32_t>(v0 + first * w.sinA + FIXED_ONE);
        Pixel* target = screen.Row(static_cast<int>(w.dy + j)) + w.dx;
        for (int64_t i = first; i <= last; ++i, u += cosStep, v += sinStep) {
            const Pixel pixel = source.Row(static_cast<int>(v / one + row))[u / one + column];
            if (!keyed || pixel != key) target[i] = pixel;
        }
    }
}

template <typename Pixel>
int LockAndRotate(int slot, const RotationWalk& walk) {
    const ImageSlot& s = gImageSlots[slot];
    LockedPixels<Pixel> source, screen;
    const HRESULT locked = source.Lock(s.surface);
    if (locked == DDERR_SURFACELOST) RestoreImage(slot);
    if (locked != DD_OK || screen.Lock(gDisplay.backBuffer) != DD_OK) return 0;
    RotatePixels(walk, source, screen, s.useColorKey != 0, static_cast<Pixel>(s.colorKey));
    return 1;
}

}  // namespace

// (dx, dy) is where the unrotated rectangle's top-left corner would be; the
// square is centred on the rectangle. Pixels of the square that map outside
// the rectangle stay as they were.
int DrawImageRotated(int dx, int dy, int slot, int angle, int sx1, int sy1, int sx2, int sy2) {
    if (!IsApplicationSlot(slot) || !gImageSlots[slot].surface || !gDisplay.backBuffer) return 0;
    const ImageSlot& s = gImageSlots[slot];
    if (sx2 == -1) sx2 = sx1 + s.width;
    if (sy2 == -1) sy2 = sy1 + s.height;
    const int64_t w = static_cast<int64_t>(sx2) - sx1, h = static_cast<int64_t>(sy2) - sy1;
    const auto d = static_cast<int64_t>(std::sqrt(static_cast<double>(w * w + h * h)));
    if (d > MAX_SQUARE) return 0;

    RotationWalk walk{};
    walk.ox = (d - w) / 2;
    walk.oy = (d - h) / 2;
    walk.dx = dx - walk.ox;
    walk.dy = dy - walk.oy;
    // Clipped to the screen, not to the clip rectangle.
    walk.x0 = walk.dx < 0 ? -walk.dx : 0;
    walk.y0 = walk.dy < 0 ? -walk.dy : 0;
    walk.x1 = walk.dx + d > gDisplay.screenWidth ? gDisplay.screenWidth - walk.dx : d;
    walk.y1 = walk.dy + d > gDisplay.screenHeight ? gDisplay.screenHeight - walk.dy : d;
    if (walk.x0 >= walk.x1 || walk.y0 >= walk.y1) return 0;

    if (angle > 359 || angle < -359) angle %= 360;
    if (angle < 0) angle += 360;
    walk.sinA = gSinTable[angle];
    walk.cosA = gSinTable[angle + 90];
    const int64_t half = d / 2;
    walk.uRow = half * FIXED_ONE - half * walk.cosA + half * walk.sinA;
    walk.vRow = half * FIXED_ONE - half * walk.sinA - half * walk.cosA;
    walk.sx1 = sx1;
    walk.sy1 = sy1;
    // A rectangle reaching beyond the slot reads nothing there.
    walk.xLow = sx1 < 0 ? -static_cast<int64_t>(sx1) : 0;
    walk.yLow = sy1 < 0 ? -static_cast<int64_t>(sy1) : 0;
    walk.xHigh = std::min<int64_t>(w, static_cast<int64_t>(s.width) - sx1);
    walk.yHigh = std::min<int64_t>(h, static_cast<int64_t>(s.height) - sy1);

    switch (gDisplay.bitDepth) {
    case 16: return LockAndRotate<uint16_t>(slot, walk);
    case 8: return LockAndRotate<uint8_t>(slot, walk);
    default: return 0;
    }
}
