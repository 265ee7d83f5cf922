// Blt and BltFast: rectangle checks, clipping and the choice of pixel loop.
// Blt clips to the target (and, on the primary surface of a window with a
// clipper, takes screen coordinates); BltFast never clips: a rectangle that
// leaves either surface is refused.
#include <algorithm>
#include <vector>

#include "platform/ddraw/ddraw_objects.h"
#include "platform/win/backend.h"

namespace {

int BytesPerPixel(const PixelBuffer& pixels) { return (pixels.format.bitsPerPixel + 7) / 8; }

PixelArea AreaAt(const PixelBuffer& pixels, int x, int y) {
    return {pixels.bits + y * pixels.pitch + x * BytesPerPixel(pixels), pixels.pitch};
}

ConstPixelArea ConstAreaAt(const PixelBuffer& pixels, int x, int y) {
    const PixelArea area = AreaAt(pixels, x, y);
    return {area.first, area.pitch};
}

bool SameFormat(const PixelFormat& a, const PixelFormat& b) {
    return a.bitsPerPixel == b.bitsPerPixel && a.redMask == b.redMask && a.greenMask == b.greenMask &&
           a.blueMask == b.blueMask;
}

bool IsInverted(const RECT& r) { return r.left > r.right || r.top > r.bottom; }
bool IsEmpty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

bool LiesInside(const RECT& r, const PixelBuffer& pixels) {
    return r.left >= 0 && r.top >= 0 && !IsInverted(r) && r.right <= pixels.width && r.bottom <= pixels.height;
}

RECT Intersection(const RECT& a, const RECT& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// A copy of the source rectangle, for blits whose source and target overlap on
// one surface and whose loops read pixels they may already have written.
ConstPixelArea StageInScratch(ConstPixelArea src, AreaSize size) {
    thread_local std::vector<uint8_t> scratch;
    const int rowBytes = size.width * size.bytesPerPixel;
    scratch.resize(static_cast<size_t>(rowBytes) * size.height);
    const PixelArea copy{scratch.data(), rowBytes};
    CopyArea(copy, src, size);
    return {copy.first, copy.pitch};
}

}  // namespace

HRESULT SoftwareSurface::BlitState(const SoftwareSurface* src) const {
    if (lost_ || (src && src->lost_)) return DDERR_SURFACELOST;
    if (IsBusy() || (src && src->IsBusy())) return DDERR_SURFACEBUSY;
    if (src && !SameFormat(src->pixels_.format, pixels_.format)) return DDERR_UNSUPPORTED;
    return DD_OK;
}

// Key comparisons look at the colour bits only (not the unused top bit of
// 5-5-5 or the top byte of 32-bit pixels).
ColorKey SoftwareSurface::SourceKey() const {
    const PixelFormat& f = pixels_.format;
    const uint32_t mask = f.bitsPerPixel == 8 ? 0xFFu : f.redMask | f.greenMask | f.blueMask;
    return {key_ & mask, mask};
}

void SoftwareSurface::DrawFrom(const SoftwareSurface& src, const RECT& from, int x, int y, bool keyed) {
    const AreaSize size{from.right - from.left, from.bottom - from.top, BytesPerPixel(pixels_)};
    ConstPixelArea source = ConstAreaAt(src.pixels_, from.left, from.top);
    const PixelArea target = AreaAt(pixels_, x, y);
    if (!keyed) return CopyArea(target, source, size);
    if (&src == this && !IsEmpty(Intersection(from, RECT{x, y, x + size.width, y + size.height})))
        source = StageInScratch(source, size);
    CopyAreaKeyed(target, source, size, src.SourceKey());
}

void SoftwareSurface::StretchFrom(const SoftwareSurface& src, const RECT& from, const RECT& to, bool keyed) {
    const RECT shown = Intersection(to, RECT{0, 0, pixels_.width, pixels_.height});
    if (IsEmpty(shown)) return;
    const int bytesPerPixel = BytesPerPixel(pixels_);
    ConstPixelArea source = ConstAreaAt(src.pixels_, from.left, from.top);
    if (&src == this && !IsEmpty(Intersection(from, shown)))
        source = StageInScratch(source, {from.right - from.left, from.bottom - from.top, bytesPerPixel});
    const StretchAxis x{from.right - from.left, to.right - to.left, shown.left - to.left};
    const StretchAxis y{from.bottom - from.top, to.bottom - to.top, shown.top - to.top};
    const ColorKey key = src.SourceKey();
    StretchArea(AreaAt(pixels_, shown.left, shown.top), source,
                {shown.right - shown.left, shown.bottom - shown.top, bytesPerPixel}, x, y, keyed ? &key : nullptr);
}

void SoftwareSurface::FillRect(RECT to, DWORD color) {
    to = Intersection(to, RECT{0, 0, pixels_.width, pixels_.height});
    if (IsEmpty(to)) return;
    const int bytesPerPixel = BytesPerPixel(pixels_);
    const uint32_t value = bytesPerPixel == 4 ? color : color & ((1u << (8 * bytesPerPixel)) - 1);
    FillArea(AreaAt(pixels_, to.left, to.top), {to.right - to.left, to.bottom - to.top, bytesPerPixel}, value);
}

HRESULT SoftwareSurface::Blt(const RECT* dstRect, IDirectDrawSurface* srcSurface, const RECT* srcRect, DWORD flags,
                             DDBLTFX* fx) {
    auto* src = static_cast<SoftwareSurface*>(srcSurface);
    const bool fill = (flags & DDBLT_COLORFILL) != 0;
    if (fill ? !fx : !src) return DDERR_INVALIDPARAMS;
    if (const HRESULT state = BlitState(fill ? nullptr : src); state != DD_OK) return state;
    RECT to = dstRect ? *dstRect : RECT{0, 0, pixels_.width, pixels_.height};
    if (IsInverted(to)) return DDERR_INVALIDRECT;
    // The primary surface holds the window's client area; a window clipper
    // means the target is given on the desktop.
    if (dstRect && (caps_ & DDSCAPS_PRIMARYSURFACE) && clipper_ && clipper_->Window()) {
        const POINT origin = MainWindowClientOrigin();
        to = {to.left - origin.x, to.top - origin.y, to.right - origin.x, to.bottom - origin.y};
    }
    if (fill) {
        FillRect(to, fx->dwFillColor);
        PresentIfPrimary();
        return DD_OK;
    }
    const RECT from = srcRect ? *srcRect : RECT{0, 0, src->pixels_.width, src->pixels_.height};
    if (!LiesInside(from, src->pixels_)) return DDERR_INVALIDRECT;
    const bool keyed = (flags & DDBLT_KEYSRC) != 0;
    if (keyed && !src->hasKey_) return DDERR_NOCOLORKEY;
    if (IsEmpty(from) || IsEmpty(to)) return DD_OK;

    if (from.right - from.left == to.right - to.left && from.bottom - from.top == to.bottom - to.top) {
        const RECT shown = Intersection(to, RECT{0, 0, pixels_.width, pixels_.height});
        if (IsEmpty(shown)) return DD_OK;
        const RECT part{from.left + shown.left - to.left, from.top + shown.top - to.top,
                        from.right + shown.right - to.right, from.bottom + shown.bottom - to.bottom};
        DrawFrom(*src, part, shown.left, shown.top, keyed);
    } else {
        StretchFrom(*src, from, to, keyed);
    }
    PresentIfPrimary();
    return DD_OK;
}

HRESULT SoftwareSurface::BltFast(DWORD x, DWORD y, IDirectDrawSurface* srcSurface, const RECT* srcRect,
                                 DWORD flags) {
    auto* src = static_cast<SoftwareSurface*>(srcSurface);
    if (!src) return DDERR_INVALIDPARAMS;
    if (const HRESULT state = BlitState(src); state != DD_OK) return state;
    const RECT from = srcRect ? *srcRect : RECT{0, 0, src->pixels_.width, src->pixels_.height};
    if (!LiesInside(from, src->pixels_)) return DDERR_INVALIDRECT;
    const auto width = static_cast<DWORD>(from.right - from.left), height = static_cast<DWORD>(from.bottom - from.top);
    const auto ownWidth = static_cast<DWORD>(pixels_.width), ownHeight = static_cast<DWORD>(pixels_.height);
    if (x > ownWidth || width > ownWidth - x || y > ownHeight || height > ownHeight - y) return DDERR_INVALIDRECT;
    const bool keyed = (flags & DDBLTFAST_SRCCOLORKEY) != 0;
    if (keyed && !src->hasKey_) return DDERR_NOCOLORKEY;
    DrawFrom(*src, from, static_cast<int>(x), static_cast<int>(y), keyed);
    PresentIfPrimary();
    return DD_OK;
}
