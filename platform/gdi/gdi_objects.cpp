// The live-handle table and the making of bitmaps, shared by every GDI call.
// Handles are plain pointers; a call checks the table before using one.
#include "platform/gdi/gdi_objects.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_set>

namespace {

// Outlives static destructors: global records may release GDI objects late.
std::unordered_set<const void*>& gLiveHandles = *new std::unordered_set<const void*>;

}  // namespace

void RegisterGdiObject(GdiObject* object) { gLiveHandles.insert(object); }
void UnregisterGdiObject(GdiObject* object) { gLiveHandles.erase(object); }
bool IsLiveGdiObject(HGDIOBJ object) { return object && gLiveHandles.count(object) != 0; }
GdiBitmap* AsBitmap(HGDIOBJ object) { return IsLiveGdiObject(object) ? dynamic_cast<GdiBitmap*>(object) : nullptr; }
GdiRegion* AsRegion(HGDIOBJ object) { return IsLiveGdiObject(object) ? dynamic_cast<GdiRegion*>(object) : nullptr; }

void RegisterDC(HDC dc) { gLiveHandles.insert(dc); }
void UnregisterDC(HDC dc) { gLiveHandles.erase(dc); }
bool IsLiveDC(HDC dc) { return dc && gLiveHandles.count(dc) != 0; }

int DibStride(int width, int bitsPerPixel) {
    return static_cast<int>((static_cast<int64_t>(width) * bitsPerPixel + 31) / 32 * 4);
}

GdiBitmap* NewBitmap(int width, int height, const PixelFormat& format, bool topDown,
                     const PaletteEntryRGB* colors, int colorCount) {
    if (width <= 0 || height <= 0 || width > MAX_BITMAP_SIDE || height > MAX_BITMAP_SIDE) return nullptr;
    const int stride = DibStride(width, format.bitsPerPixel);
    const uint64_t bytes = static_cast<uint64_t>(stride) * static_cast<uint64_t>(height);
    if (bytes > MAX_BITMAP_BYTES) return nullptr;

    auto* bitmap = new GdiBitmap;
    bitmap->storage.reset(new (std::nothrow) uint8_t[bytes]());
    if (!bitmap->storage) {
        delete bitmap;
        return nullptr;
    }
    bitmap->stride = stride;
    bitmap->pixels.width = width;
    bitmap->pixels.height = height;
    bitmap->pixels.format = format;
    bitmap->pixels.pitch = topDown ? stride : -stride;
    bitmap->pixels.bits = bitmap->storage.get() + (topDown ? 0 : bytes - stride);
    if (format.bitsPerPixel <= 8) {
        bitmap->colorCount = std::clamp(colorCount, 0, 1 << format.bitsPerPixel);
        if (colors) std::memcpy(bitmap->colors.data(), colors, sizeof(PaletteEntryRGB) * bitmap->colorCount);
        bitmap->pixels.palette = bitmap->colors.data();
    }
    RegisterGdiObject(bitmap);
    return bitmap;
}

RECT DrawableRect(const DeviceContext& dc) {
    RECT r{0, 0, dc.target.bits ? dc.target.width : 0, dc.target.bits ? dc.target.height : 0};
    if (dc.clipped) {
        r.left = std::max(r.left, dc.clip.left);
        r.top = std::max(r.top, dc.clip.top);
        r.right = std::min(r.right, dc.clip.right);
        r.bottom = std::min(r.bottom, dc.clip.bottom);
    }
    return r;
}
