// The objects behind GDI handles: bitmaps, device contexts and their clip
// and mix state, and the table of live handles that every call checks, so a
// stale or foreign handle fails the call instead of touching freed memory.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "platform/gdi/gdi.h"

class FontInstance;

// A bitmap: a DIB section, a device-compatible bitmap or the stock 1x1
// monochrome one. Rows are stored bottom-up (like a DIB of positive height)
// unless made top-down; pixels always views them top row first.
struct GdiBitmap : GdiObject {
    PixelBuffer pixels;
    std::unique_ptr<uint8_t[]> storage;
    int stride = 0;  // bytes per stored row, a multiple of 4
    std::array<PaletteEntryRGB, 256> colors{};
    int colorCount = 0;  // entries of colors in use (1, 4 and 8 bits per pixel)
    bool isDibSection = false;
    HDC selectedInto = nullptr;  // the memory context it is selected into
};

// What drawing needs of a pen and of a brush. Selecting one copies these
// into the context, so deleting a selected pen or brush leaves no dangling
// reference behind.
struct PenStyle {
    int style = PS_SOLID;
    int width = 0;  // 0 and 1: one pixel
    COLORREF color = RGB(0, 0, 0);
};
struct BrushStyle {
    bool hollow = false;
    COLORREF color = RGB(255, 255, 255);
};
struct GdiPen : GdiObject {
    PenStyle style;
};
struct GdiBrush : GdiObject {
    BrushStyle style;
};

struct DeviceContext {
    enum class Kind { Memory, Surface, Display };
    Kind kind = Kind::Memory;
    PixelBuffer target;           // where drawing lands (empty for the display)
    GdiBitmap* bitmap = nullptr;  // memory contexts: the selected bitmap
    bool clipped = false;
    RECT clip{};  // with clipped: the selected clip region's rectangle
    int rop2 = R2_COPYPEN;
    // Text: the selected font's handle and the sized face it stands for
    // (null: the stock font), the background mode and the two colours.
    HGDIOBJ font = nullptr;
    FontInstance* fontInstance = nullptr;
    int bkMode = OPAQUE;
    COLORREF bkColor = RGB(255, 255, 255);
    COLORREF textColor = RGB(0, 0, 0);
    HGDIOBJ pen = nullptr;  // the selected pen's handle; null: the stock BLACK_PEN
    PenStyle penStyle;
    HGDIOBJ brush = nullptr;  // the selected brush's handle; null: the stock WHITE_BRUSH
    BrushStyle brushStyle;
    POINT position{};  // the current position of MoveToEx and LineTo
};

// Live-handle table: objects and contexts are registered when made and
// removed when deleted.
void RegisterGdiObject(GdiObject* object);
void UnregisterGdiObject(GdiObject* object);
bool IsLiveGdiObject(HGDIOBJ object);
GdiBitmap* AsBitmap(HGDIOBJ object);  // null unless a live bitmap
GdiRegion* AsRegion(HGDIOBJ object);  // null unless a live region
void RegisterDC(HDC dc);
void UnregisterDC(HDC dc);
bool IsLiveDC(HDC dc);

// Pens and brushes (pens_brushes.cpp). SelectPenOrBrush puts a live pen or
// brush into the context and gives the one it replaces; null for any other
// object. Stock objects are never deleted.
HGDIOBJ SelectPenOrBrush(HDC dc, HGDIOBJ object);
bool IsStockObject(HGDIOBJ object);
GdiPen* AsPen(HGDIOBJ object);      // null unless a live pen
GdiBrush* AsBrush(HGDIOBJ object);  // null unless a live brush

// Bytes per row of a DIB: the row's bits rounded up to 32.
int DibStride(int width, int bitsPerPixel);

// A new zero-filled bitmap, or null when the size is not positive or too big.
// colors (may be null) gives colorCount entries for 1, 4 and 8 bits per pixel.
GdiBitmap* NewBitmap(int width, int height, const PixelFormat& format, bool topDown,
                     const PaletteEntryRGB* colors, int colorCount);

// Bits per pixel of the context's pixels (the desktop's for the display).
int ContextDepth(HDC dc);

// The rectangle drawing may touch: the target, cut by the selected clip region.
RECT DrawableRect(const DeviceContext& dc);

// The largest bitmap made or decoded: 32768 pixels on a side, 256 MB of rows.
constexpr int MAX_BITMAP_SIDE = 32768;
constexpr uint64_t MAX_BITMAP_BYTES = 256ull << 20;
