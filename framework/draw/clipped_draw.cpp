// The three plain rectangle copies: slot to back buffer, slot to slot, back
// buffer to slot. Each is one BltFast with the source's colour key when it
// has one; none scales.
#include "framework/display/display.h"
#include "framework/draw/draw.h"
#include "framework/image/image.h"

namespace {

DWORD KeyFlag(const ImageSlot& source) { return source.useColorKey ? DDBLTFAST_SRCCOLORKEY : 0; }

}  // namespace

int SlotBlitResult(int slot, HRESULT result) {
    if (result == DDERR_SURFACELOST) {
        RestoreImage(slot);
        return 1;
    }
    return result == DD_OK ? 1 : 0;
}

int DrawImage(int dx, int dy, int slot, int sx1, int sy1, int sx2, int sy2) {
    slot = SlotNumber(slot, WITH_WORK_SLOT);
    if (slot < 0 || !gImageSlots[slot].surface || !gDisplay.backBuffer) return 0;
    const ImageSlot& s = gImageSlots[slot];
    if (sx2 == -1) sx2 = sx1 + s.width;
    if (sy2 == -1) sy2 = sy1 + s.height;
    ClipBlitRect(&dx, &dy, &sx1, &sy1, &sx2, &sy2, gDisplay.clipLeft, gDisplay.clipTop, gDisplay.clipRight,
                 gDisplay.clipBottom, s.width, s.height);
    if (sx2 - sx1 <= 0 || sy2 - sy1 <= 0) return 0;
    const RECT source{sx1, sy1, sx2, sy2};
    const HRESULT result = gDisplay.backBuffer->BltFast(static_cast<DWORD>(dx), static_cast<DWORD>(dy), s.surface,
                                                        &source, DDBLTFAST_WAIT | KeyFlag(s));
    return SlotBlitResult(slot, result);
}

int CopyImage(int dstSlot, int dx, int dy, int w, int h, int srcSlot, int sx, int sy) {
    if (!IsApplicationSlot(dstSlot) || !IsApplicationSlot(srcSlot)) return 0;
    const ImageSlot& target = gImageSlots[dstSlot];
    const ImageSlot& source = gImageSlots[srcSlot];
    if (!target.surface || !source.surface) return 0;
    int sx1 = sx, sy1 = sy, sx2 = sx + w, sy2 = sy + h;
    ClipBlitRect(&dx, &dy, &sx1, &sy1, &sx2, &sy2, 0, 0, target.width, target.height, source.width, source.height);
    if (sx2 > sx1 && sy2 > sy1) {
        const RECT rect{sx1, sy1, sx2, sy2};
        const HRESULT result = target.surface->BltFast(static_cast<DWORD>(dx), static_cast<DWORD>(dy),
                                                       source.surface, &rect, DDBLTFAST_WAIT | KeyFlag(source));
        if (result == DDERR_SURFACELOST) {
            RestoreImage(srcSlot);
            RestoreImage(dstSlot);
        }
    }
    SetImageColorKeyFromCorner(dstSlot);
    return 1;
}

int CopyScreenToImage(int slot, int dx, int dy, int sx1, int sy1, int sx2, int sy2) {
    slot = SlotNumber(slot, WITH_WORK_SLOT);
    if (slot < 0 || !gImageSlots[slot].surface || !gDisplay.backBuffer) return 0;
    const ImageSlot& target = gImageSlots[slot];
    if (sx2 == -1 || sy2 == -1) {
        sx2 = gDisplay.screenWidth;
        sy2 = gDisplay.screenHeight;
    }
    ClipBlitRect(&dx, &dy, &sx1, &sy1, &sx2, &sy2, 0, 0, target.width, target.height, gDisplay.screenWidth,
                 gDisplay.screenHeight);
    if (sx2 > sx1 && sy2 > sy1) {
        const RECT rect{sx1, sy1, sx2, sy2};
        const HRESULT result = target.surface->BltFast(static_cast<DWORD>(dx), static_cast<DWORD>(dy),
                                                       gDisplay.backBuffer, &rect, DDBLTFAST_WAIT);
        if (result == DDERR_SURFACELOST) RestoreImage(slot);
    }
    SetImageColorKeyFromCorner(slot);
    return 1;
}
