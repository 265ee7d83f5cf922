// Draws that combine a slot with the back buffer: translucent, additive and by
// a binary raster operation. At 16 bits they copy the screen area into the work
// buffer, combine the picture into that copy and put the copy back; at other
// depths they fall back to a plain draw or to drawing every other row.
#include "framework/display/display.h"
#include "framework/draw/blend_kernels.h"
#include "framework/draw/draw.h"
#include "framework/draw/locked_surface.h"
#include "framework/image/image.h"

namespace {

// The target position and source rectangle of a draw after clipping.
struct BlendRect {
    int slot;
    int dx, dy, sx1, sy1, sx2, sy2;
    int Width() const { return sx2 - sx1; }
    int Height() const { return sy2 - sy1; }
};

// Slot check, -1 defaults and clipping; false when nothing is left to draw.
bool PrepareBlendRect(BlendRect* r) {
    r->slot = SlotNumber(r->slot, APPLICATION_SLOTS);
    if (r->slot < 0 || !gImageSlots[r->slot].surface || !gDisplay.backBuffer) return false;
    const ImageSlot& s = gImageSlots[r->slot];
    if (r->sx2 == -1) r->sx2 = r->sx1 + s.width;
    if (r->sy2 == -1) r->sy2 = r->sy1 + s.height;
    ClipBlitRect(&r->dx, &r->dy, &r->sx1, &r->sy1, &r->sx2, &r->sy2, gDisplay.clipLeft, gDisplay.clipTop,
                 gDisplay.clipRight, gDisplay.clipBottom, s.width, s.height);
    return r->Width() >= 1 && r->Height() >= 1;
}

// Locks the slot being drawn; a lost surface is handed to RestoreImage.
bool LockSlot(const BlendRect& r, LockedPixels<uint16_t>* locked) {
    const HRESULT result = locked->Lock(gImageSlots[r.slot].surface);
    if (result == DDERR_SURFACELOST) RestoreImage(r.slot);
    return result == DD_OK;
}

void CopyScreenUnderTarget(const BlendRect& r) {
    CopyScreenToImage(WORK_SLOT, r.dx, r.dy, r.dx, r.dy, r.dx + r.Width(), r.dy + r.Height());
}

// The translucent draw locks the slot before copying the screen, the others after.
enum class SlotLock { BeforeScreenCopy, AfterScreenCopy };

// The common frame: the screen area under the target goes into the work
// buffer at the same position, the kernel combines the slot into it, and the
// work buffer area is drawn back (it has no key, so keyed pixels show the
// screen as it was).
template <typename Kernel>
int DrawThroughWorkBuffer(const BlendRect& r, SlotLock order, Kernel kernel) {
    const ImageSlot& work = gImageSlots[WORK_SLOT];
    LockedPixels<uint16_t> source, target;
    if (order == SlotLock::BeforeScreenCopy && !LockSlot(r, &source)) return 0;
    CopyScreenUnderTarget(r);
    if (order == SlotLock::AfterScreenCopy && !LockSlot(r, &source)) return 0;
    // The work buffer is the size of the screen; anything else cannot hold the area.
    if (!work.surface || r.dx + r.Width() > work.width || r.dy + r.Height() > work.height ||
        target.Lock(work.surface) != DD_OK)
        return 0;
    const ImageSlot& slot = gImageSlots[r.slot];
    const BlendArea area{target.pixels + r.dy * target.pitch + r.dx, target.pitch,
                         source.pixels + r.sy1 * source.pitch + r.sx1, source.pitch, r.Width(), r.Height()};
    kernel(area, BlendKey{slot.useColorKey != 0, static_cast<uint16_t>(slot.colorKey)});
    target.Unlock();
    source.Unlock();
    return DrawImage(r.dx, r.dy, WORK_SLOT, r.dx, r.dy, r.dx + r.Width(), r.dy + r.Height());
}

ChannelLayout DisplayChannels() {
    return ChannelLayout{{gDisplay.redMask, gDisplay.greenMask, gDisplay.blueMask},
                         {gDisplay.redShift, gDisplay.greenShift, gDisplay.blueShift}};
}

// The look-alike of translucency: every other source row, starting with the
// first, copied onto the screen; the last copy's result decides.
int DrawEveryOtherRow(const BlendRect& r) {
    const ImageSlot& s = gImageSlots[r.slot];
    const DWORD flags = DDBLTFAST_WAIT | (s.useColorKey ? DDBLTFAST_SRCCOLORKEY : 0);
    HRESULT result = DD_OK;
    for (int row = r.sy1; row < r.sy2; row += 2) {
        const RECT source{r.sx1, row, r.sx2, row + 1};
        result = gDisplay.backBuffer->BltFast(static_cast<DWORD>(r.dx), static_cast<DWORD>(r.dy + row - r.sy1),
                                              s.surface, &source, flags);
    }
    return SlotBlitResult(r.slot, result);
}

}  // namespace

int DrawImageTranslucent(int dx, int dy, int slot, int percent, int sx1, int sy1, int sx2, int sy2,
                         int useScanlines) {
    BlendRect r{slot, dx, dy, sx1, sy1, sx2, sy2};
    if (!PrepareBlendRect(&r)) return 0;
    // 50 % gives 128 and 100 % gives 256; the product wraps as 32-bit arithmetic does.
    const int alpha = static_cast<int32_t>(static_cast<uint32_t>(percent) * 256u) / 100;
    if (gDisplay.bitDepth < 16 || useScanlines) return DrawEveryOtherRow(r);
    if (gDisplay.bitDepth != 16) return 0;
    if (alpha == 128) {
        const auto halfMask = static_cast<uint16_t>(gDisplay.halfMask);
        return DrawThroughWorkBuffer(r, SlotLock::BeforeScreenCopy,
                                     [halfMask](const BlendArea& a, BlendKey k) { BlendHalfAverage(a, k, halfMask); });
    }
    const ChannelLayout layout = DisplayChannels();
    return DrawThroughWorkBuffer(r, SlotLock::BeforeScreenCopy,
                                 [&layout, alpha](const BlendArea& a, BlendKey k) { BlendAlpha(a, k, layout, alpha); });
}

int DrawImageRop(int dx, int dy, int slot, int rop2, int sx1, int sy1, int sx2, int sy2) {
    if (rop2 == R2_COPYPEN || gDisplay.bitDepth == 8) return DrawImage(dx, dy, slot, sx1, sy1, sx2, sy2);
    // Other depths than 8 and 16 have no 16-bit pixels to combine.
    if (gDisplay.bitDepth != 16) return 0;
    BlendRect r{slot, dx, dy, sx1, sy1, sx2, sy2};
    if (!PrepareBlendRect(&r)) return 0;
    return DrawThroughWorkBuffer(r, SlotLock::AfterScreenCopy,
                                 [rop2](const BlendArea& a, BlendKey k) { BlendRop2(a, k, rop2); });
}

int DrawImageAdd(int dx, int dy, int slot, int sx1, int sy1, int sx2, int sy2) {
    if (gDisplay.bitDepth == 8) return DrawImage(dx, dy, slot, sx1, sy1, sx2, sy2);
    if (gDisplay.bitDepth != 16) return 0;
    BlendRect r{slot, dx, dy, sx1, sy1, sx2, sy2};
    if (!PrepareBlendRect(&r)) return 0;
    const ChannelLayout layout = DisplayChannels();
    return DrawThroughWorkBuffer(r, SlotLock::AfterScreenCopy,
                                 [&layout](const BlendArea& a, BlendKey k) { BlendAdd(a, k, layout); });
}
