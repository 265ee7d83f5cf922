// SetDIBitsToDevice: DIB rows given in caller memory, copied unscaled into a
// context through the DIB's colour table, inside the context's clip region.
#include <algorithm>

#include "platform/gdi/blit.h"
#include "platform/gdi/dib_format.h"
#include "platform/gdi/gdi_objects.h"

int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int srcX, int srcY, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT usage) {
    DibLayout layout;
    if (!IsLiveDC(dc) || !bits || usage != DIB_RGB_COLORS || !ReadDibLayout(info, &layout)) return 0;
    if (startScan >= static_cast<UINT>(layout.height) || lines == 0) return 0;
    if (width > static_cast<DWORD>(MAX_BITMAP_SIDE) || height > static_cast<DWORD>(MAX_BITMAP_SIDE)) return 0;
    const int count = static_cast<int>(std::min<UINT>(lines, layout.height - startScan));
    const int w = static_cast<int>(width), h = static_cast<int>(height), first = static_cast<int>(startScan);

    PaletteEntryRGB colors[256] = {};
    CopyRgbQuads(layout.colors, layout.colorCount, colors);
    const PixelBuffer source = DibPixels(layout, const_cast<void*>(bits), count, colors);
    // The source rectangle's top row among the rows given (top row first):
    // bottom-up DIBs count srcY and the scans from the bottom.
    const int top = layout.topDown ? srcY - first : first + count - srcY - h;
    if (dc->target.bits) StretchPixels(dc->target, DrawableRect(*dc), x, y, w, h, source, srcX, top, w, h);
    return count;
}
