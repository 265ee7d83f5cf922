// DIB sections, device-compatible bitmaps made from DIB bits, reading a
// bitmap back as DIB bits, and the colour table of a selected DIB section.
#include <algorithm>
#include <cstring>

#include "platform/gdi/blit.h"
#include "platform/gdi/dib_format.h"
#include "platform/gdi/gdi_objects.h"

namespace {

// The format of a bitmap compatible with a context of this depth; no context
// means monochrome, as the system does.
PixelFormat CompatibleFormat(int depth) {
    switch (depth) {
    case 8: return PIXEL_FORMAT_INDEXED8;
    case 16: return PIXEL_FORMAT_565;
    case 24: return PIXEL_FORMAT_888;
    case 32: return PIXEL_FORMAT_8888;
    default: return PIXEL_FORMAT_MONOCHROME;
    }
}

// The colours given to an indexed bitmap or DIB when no table comes with it.
const PaletteEntryRGB* StandardColors(int bitsPerPixel) {
    static const PaletteEntryRGB sixteen[16] = {
        {0, 0, 0, 0},       {128, 0, 0, 0},   {0, 128, 0, 0},   {128, 128, 0, 0},
        {0, 0, 128, 0},     {128, 0, 128, 0}, {0, 128, 128, 0}, {192, 192, 192, 0},
        {128, 128, 128, 0}, {255, 0, 0, 0},   {0, 255, 0, 0},   {255, 255, 0, 0},
        {0, 0, 255, 0},     {255, 0, 255, 0}, {0, 255, 255, 0}, {255, 255, 255, 0}};
    switch (bitsPerPixel) {
    case 1: return BLACK_WHITE_COLORS;
    case 4: return sixteen;
    default: return GetDefaultPalette();
    }
}

}  // namespace

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, void* section, DWORD) {
    if (bits) *bits = nullptr;
    DibLayout layout;
    if (usage != DIB_RGB_COLORS || section || !ReadDibLayout(info, &layout)) return nullptr;
    PaletteEntryRGB colors[256];
    CopyRgbQuads(layout.colors, layout.colorCount, colors);
    GdiBitmap* bitmap =
        NewBitmap(layout.width, layout.height, layout.format, layout.topDown, colors, layout.colorCount);
    if (!bitmap) return nullptr;
    bitmap->isDibSection = true;
    if (bits) *bits = bitmap->storage.get();
    return bitmap;
}

HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage) {
    if (!header || (dc && !IsLiveDC(dc)) || usage != DIB_RGB_COLORS) return nullptr;
    const PixelFormat format = CompatibleFormat(dc ? ContextDepth(dc) : 1);
    const int colorCount = format.bitsPerPixel <= 8 ? 1 << format.bitsPerPixel : 0;
    const int height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    GdiBitmap* bitmap = NewBitmap(header->biWidth, height, format, false, StandardColors(format.bitsPerPixel),
                                  colorCount);
    if (!bitmap || !(init & CBM_INIT)) return bitmap;

    DibLayout layout;
    if (!bits || !ReadDibLayout(info, &layout)) {
        DeleteObject(bitmap);
        return nullptr;
    }
    PaletteEntryRGB colors[256] = {};
    CopyRgbQuads(layout.colors, layout.colorCount, colors);
    const PixelBuffer source = DibPixels(layout, const_cast<void*>(bits), layout.height, colors);
    const RECT all{0, 0, bitmap->pixels.width, bitmap->pixels.height};
    StretchPixels(bitmap->pixels, all, 0, 0, layout.width, layout.height, source, 0, 0, layout.width,
                  layout.height);
    return bitmap;
}

// Scan lines are counted from the bottom for a bottom-up request, from the
// top for a top-down one. Without bits only the header (when its depth is 0)
// or the colour table is filled in.
int GetDIBits(HDC dc, HBITMAP bitmapHandle, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage) {
    const GdiBitmap* bitmap = AsBitmap(bitmapHandle);
    if (!IsLiveDC(dc) || !bitmap || !info || usage != DIB_RGB_COLORS) return 0;
    BITMAPINFOHEADER& h = info->bmiHeader;
    const PixelBuffer& pixels = bitmap->pixels;
    if (!bits && h.biBitCount == 0) {
        h.biWidth = pixels.width;
        h.biHeight = pixels.height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<WORD>(pixels.format.bitsPerPixel);
        h.biCompression = pixels.format.bitsPerPixel == 16 || pixels.format.bitsPerPixel == 32 ? BI_BITFIELDS : BI_RGB;
        h.biSizeImage = static_cast<DWORD>(DibStride(pixels.width, pixels.format.bitsPerPixel) * pixels.height);
        h.biClrUsed = 0;
        if (h.biCompression == BI_BITFIELDS) {
            const uint32_t masks[3] = {pixels.format.redMask, pixels.format.greenMask, pixels.format.blueMask};
            std::memcpy(info->bmiColors, masks, sizeof masks);
        }
        return 1;
    }
    DibLayout layout;
    if (!ReadDibLayout(info, &layout) || layout.width != pixels.width) return 0;

    PaletteEntryRGB colors[256] = {};
    if (layout.format.bitsPerPixel <= 8) {
        const int count = 1 << layout.format.bitsPerPixel;
        const bool own = bitmap->colorCount > 0 && pixels.format.bitsPerPixel == layout.format.bitsPerPixel;
        std::copy_n(own ? bitmap->colors.data() : StandardColors(layout.format.bitsPerPixel), count, colors);
        for (int i = 0; i < count; ++i) info->bmiColors[i] = {colors[i].blue, colors[i].green, colors[i].red, 0};
    }
    h.biSizeImage = static_cast<DWORD>(layout.stride * layout.height);
    if (!bits) return 1;

    if (start >= static_cast<UINT>(pixels.height)) return 0;
    const int count = static_cast<int>(std::min<UINT>(lines, pixels.height - start));
    const int firstRow = layout.topDown ? static_cast<int>(start) : pixels.height - static_cast<int>(start) - count;
    const PixelBuffer target = DibPixels(layout, bits, count, colors);
    const RECT all{0, 0, target.width, target.height};
    StretchPixels(target, all, 0, 0, target.width, count, pixels, 0, firstRow, target.width, count);
    return count;
}

UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors) {
    if (!IsLiveDC(dc) || !dc->bitmap || !colors || !dc->bitmap->isDibSection) return 0;
    const GdiBitmap& bitmap = *dc->bitmap;
    if (start >= static_cast<UINT>(bitmap.colorCount)) return 0;
    const UINT n = std::min<UINT>(count, bitmap.colorCount - start);
    for (UINT i = 0; i < n; ++i) {
        const PaletteEntryRGB& e = bitmap.colors[start + i];
        colors[i] = {e.blue, e.green, e.red, 0};
    }
    return n;
}
