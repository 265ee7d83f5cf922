// Device contexts: memory contexts with a selected bitmap (a fresh one holds
// the stock 1x1 monochrome bitmap), contexts over surface pixels, and the
// display context, which has no pixels here and only answers questions.
#include <cstring>

#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/win/platform.h"

namespace {

// The bitmap every new memory context starts with; never deleted.
GdiBitmap* StockBitmap() {
    static GdiBitmap* stock = NewBitmap(1, 1, PIXEL_FORMAT_MONOCHROME, false, BLACK_WHITE_COLORS, 2);
    return stock;
}

HDC NewDC(DeviceContext::Kind kind) {
    auto* dc = new DeviceContext;
    dc->kind = kind;
    RegisterDC(dc);
    return dc;
}

void FreeDC(HDC dc) {
    if (dc->bitmap && dc->bitmap != StockBitmap()) dc->bitmap->selectedInto = nullptr;
    UnregisterDC(dc);
    delete dc;
}

void AttachBitmap(HDC dc, GdiBitmap* bitmap) {
    dc->bitmap = bitmap;
    dc->target = bitmap->pixels;
    if (bitmap != StockBitmap()) bitmap->selectedInto = dc;
}

}  // namespace

int ContextDepth(HDC dc) {
    if (dc->kind == DeviceContext::Kind::Display) return GetPlatformOptions().desktopDepth;
    return dc->target.format.bitsPerPixel;
}

HDC GetDC(HWND) { return NewDC(DeviceContext::Kind::Display); }

int ReleaseDC(HWND, HDC dc) {
    if (!IsLiveDC(dc) || dc->kind != DeviceContext::Kind::Display) return 0;
    FreeDC(dc);
    return 1;
}

HDC CreateCompatibleDC(HDC dc) {
    if (dc && !IsLiveDC(dc)) return nullptr;
    HDC memory = NewDC(DeviceContext::Kind::Memory);
    AttachBitmap(memory, StockBitmap());
    return memory;
}

BOOL DeleteDC(HDC dc) {
    if (!IsLiveDC(dc) || dc->kind != DeviceContext::Kind::Memory) return FALSE;
    FreeDC(dc);
    return TRUE;
}

// A surface's context holds a DIB section that views the surface's pixels
// (rows as GDI reports them: DIB row widths) and lives as long as the context.
HDC CreateSurfaceDC(const PixelBuffer& pixels) {
    HDC dc = NewDC(DeviceContext::Kind::Surface);
    dc->target = pixels;
    auto* view = new GdiBitmap;
    view->pixels = pixels;
    view->stride = DibStride(pixels.width, pixels.format.bitsPerPixel);
    view->isDibSection = true;
    if (pixels.format.bitsPerPixel <= 8) {
        view->colorCount = 1 << pixels.format.bitsPerPixel;
        const PaletteEntryRGB* colors = pixels.palette ? pixels.palette : GetDefaultPalette();
        std::memcpy(view->colors.data(), colors, sizeof(PaletteEntryRGB) * view->colorCount);
        view->pixels.palette = view->colors.data();
    }
    view->selectedInto = dc;
    RegisterGdiObject(view);
    dc->bitmap = view;
    return dc;
}

void DeleteSurfaceDC(HDC dc) {
    if (!IsLiveDC(dc) || dc->kind != DeviceContext::Kind::Surface) return;
    GdiBitmap* view = dc->bitmap;
    FreeDC(dc);
    UnregisterGdiObject(view);
    delete view;
}

// Bitmaps go into memory contexts only, and into one at a time; the result is
// the bitmap they held. A region becomes the clip, and the result is its kind.
// A pen or brush replaces the selected one, which is the result.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    if (!IsLiveDC(dc)) return nullptr;
    if (GdiFont* font = AsFont(object)) return SelectFont(dc, font);
    if (GdiRegion* region = AsRegion(object))
        return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(SelectClipRgn(dc, region)));
    if (HGDIOBJ previous = SelectPenOrBrush(dc, object)) return previous;
    GdiBitmap* bitmap = AsBitmap(object);
    if (!bitmap || dc->kind != DeviceContext::Kind::Memory) return nullptr;
    if (bitmap->selectedInto && bitmap->selectedInto != dc) return nullptr;
    GdiBitmap* previous = dc->bitmap;
    if (previous != StockBitmap()) previous->selectedInto = nullptr;
    AttachBitmap(dc, bitmap);
    return previous;
}

// A bitmap still selected into a context, the stock bitmap and the stock
// pens and brushes stay.
BOOL DeleteObject(HGDIOBJ object) {
    if (!IsLiveGdiObject(object) || IsStockObject(object)) return FALSE;
    if (GdiBitmap* bitmap = AsBitmap(object); bitmap && (bitmap->selectedInto || bitmap == StockBitmap()))
        return FALSE;
    UnregisterGdiObject(object);
    delete object;
    return TRUE;
}

int GetObjectA(HGDIOBJ object, int size, void* out) {
    const GdiBitmap* bitmap = AsBitmap(object);
    if (!bitmap) return 0;
    if (!out) return sizeof(BITMAP);
    if (size < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP info{};
    info.bmWidth = bitmap->pixels.width;
    info.bmHeight = bitmap->pixels.height;
    info.bmWidthBytes = bitmap->stride;
    info.bmPlanes = 1;
    info.bmBitsPixel = static_cast<WORD>(bitmap->pixels.format.bitsPerPixel);
    info.bmBits = bitmap->isDibSection ? bitmap->storage.get() : nullptr;
    std::memcpy(out, &info, sizeof info);
    return sizeof(BITMAP);
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
    if (!IsLiveDC(dc) || type != OBJ_BITMAP) return nullptr;
    return dc->bitmap;
}

int GetDeviceCaps(HDC dc, int index) {
    if (!IsLiveDC(dc)) return 0;
    switch (index) {
    case BITSPIXEL: return ContextDepth(dc);
    case PLANES: return 1;
    default: return 0;
    }
}

int SetROP2(HDC dc, int mode) {
    if (!IsLiveDC(dc) || mode < R2_BLACK || mode > R2_WHITE) return 0;
    const int previous = dc->rop2;
    dc->rop2 = mode;
    return previous;
}
