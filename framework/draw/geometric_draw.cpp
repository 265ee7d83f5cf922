// Draws that change a picture's geometry through plain blits: stretched (by
// the display's stretching blit, or by GDI through the work buffer when the
// display has none), as a row mosaic, and tiled over an area.
#include <algorithm>
#include <climits>

#include "framework/display/display.h"
#include "framework/draw/draw.h"
#include "framework/image/image.h"

namespace {

// The slot a draw may use: one of the application's, holding a surface, with
// a back buffer to draw on. Null otherwise.
const ImageSlot* DrawableSlot(int slot) {
    slot = SlotNumber(slot, APPLICATION_SLOTS);
    if (slot < 0 || !gImageSlots[slot].surface || !gDisplay.backBuffer) return nullptr;
    return &gImageSlots[slot];
}

// A quotient truncated toward zero, held to the int range.
int TruncatedQuotient(int numerator, float divisor) {
    const float q = static_cast<float>(numerator) / divisor;
    if (!(q > static_cast<float>(INT_MIN))) return INT_MIN;
    if (!(q < static_cast<float>(INT_MAX))) return INT_MAX;
    return static_cast<int>(q);
}

// The stretch without a stretching blit: GDI stretches the source rectangle
// into the work buffer's top-left corner, which is then blitted to the screen
// keyed by the stretched picture's own top-left pixel.
int StretchThroughWorkBuffer(int slot, int dx, int dy, int dw, int dh, const RECT& source) {
    const ImageSlot& s = gImageSlots[slot];
    const ImageSlot& work = gImageSlots[WORK_SLOT];
    if (!work.surface) return 0;
    HDC from = nullptr, into = nullptr;
    if (const HRESULT got = s.surface->GetDC(&from); got != DD_OK) return SlotBlitResult(slot, got);
    if (work.surface->GetDC(&into) != DD_OK) {
        s.surface->ReleaseDC(from);
        return 0;
    }
    StretchBlt(into, 0, 0, dw, dh, from, source.left, source.top, source.right - source.left,
               source.bottom - source.top, SRCCOPY);
    work.surface->ReleaseDC(into);
    s.surface->ReleaseDC(from);
    DWORD flags = DDBLTFAST_WAIT;
    if (s.useColorKey) {
        SetImageColorKeyFromCorner(WORK_SLOT);
        flags |= DDBLTFAST_SRCCOLORKEY;
    }
    const RECT area{0, 0, dw, dh};
    return SlotBlitResult(slot, gDisplay.backBuffer->BltFast(static_cast<DWORD>(dx), static_cast<DWORD>(dy),
                                                             work.surface, &area, flags));
}

}  // namespace

// The target rectangle is clipped first; the source rectangle is then cut by
// the same share, measured through the scale factors.
int DrawImageScaled(int dx, int dy, int slot, int dw, int dh, int sx1, int sy1, int sx2, int sy2) {
    const ImageSlot* s = DrawableSlot(slot);
    if (!s) return 0;
    if (dw == -1) dw = 2 * s->width;
    if (dh == -1) dh = 2 * s->height;
    if (sx2 == -1) sx2 = sx1 + s->width;
    if (sy2 == -1) sy2 = sy1 + s->height;
    if (sx2 - sx1 <= 0 || sy2 - sy1 <= 0) return 0;
    const float fx = static_cast<float>(dw) / static_cast<float>(sx2 - sx1);
    const float fy = static_cast<float>(dh) / static_cast<float>(sy2 - sy1);

    int left = sx1, top = sy1, right = sx1 + dw, bottom = sy1 + dh;
    ClipBlitRect(&dx, &dy, &left, &top, &right, &bottom, gDisplay.clipLeft, gDisplay.clipTop, gDisplay.clipRight,
                 gDisplay.clipBottom, right, bottom);
    dw = right - left;
    dh = bottom - top;
    if (dw <= 0 || dh <= 0) return 0;
    RECT source;
    source.left = sx1 + TruncatedQuotient(left - sx1, fx);
    source.top = sy1 + TruncatedQuotient(top - sy1, fy);
    source.right = source.left + TruncatedQuotient(dw, fx);
    source.bottom = source.top + TruncatedQuotient(dh, fy);

    if (!gDisplay.canStretch) return StretchThroughWorkBuffer(slot, dx, dy, dw, dh, source);
    const RECT target{dx, dy, dx + dw, dy + dh};
    const DWORD flags = DDBLT_WAIT | (s->useColorKey ? DDBLT_KEYSRC : 0);
    return SlotBlitResult(slot, gDisplay.backBuffer->Blt(&target, s->surface, &source, flags, nullptr));
}

// Every target row is a one-row blit of its band's first source row.
int DrawImageRowMosaic(int dx, int dy, int slot, int step, int sx1, int sy1, int sx2, int sy2) {
    const ImageSlot* s = DrawableSlot(slot);
    if (!s) return 0;
    if (sx2 == -1) sx2 = sx1 + s->width;
    if (sy2 == -1) sy2 = sy1 + s->height;
    ClipBlitRect(&dx, &dy, &sx1, &sy1, &sx2, &sy2, gDisplay.clipLeft, gDisplay.clipTop, gDisplay.clipRight,
                 gDisplay.clipBottom, s->width, s->height);
    if (sx2 - sx1 <= 0 || sy2 - sy1 <= 0) return 0;
    step = std::max(step, 1);
    const DWORD flags = DDBLTFAST_WAIT | (s->useColorKey ? DDBLTFAST_SRCCOLORKEY : 0);
    HRESULT result = DD_OK;
    for (int band = sy1; band < sy2;) {
        const RECT row{sx1, band, sx2, band + 1};
        const int rows = std::min(step, sy2 - band);
        for (int y = band; y < band + rows; ++y)
            result = gDisplay.backBuffer->BltFast(static_cast<DWORD>(dx), static_cast<DWORD>(dy + y - sy1),
                                                  s->surface, &row, flags);
        band += rows;
    }
    return SlotBlitResult(slot, result);
}

// Column by column, each column top to bottom; the first tile that cannot be
// drawn (one wholly outside the clip rectangle, too) ends the tiling.
int DrawImageTiled(int x1, int y1, int x2, int y2, int slot) {
    const ImageSlot* s = DrawableSlot(slot);
    // An empty picture would never advance.
    if (!s || s->width <= 0 || s->height <= 0) return 0;
    for (int x = x1; x < x2; x += s->width)
        for (int y = y1; y < y2; y += s->height)
            if (!DrawImage(x, y, slot, 0, 0, -1, -1)) return 0;
    return 1;
}
