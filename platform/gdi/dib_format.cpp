// DIB headers: default formats per depth, mask checks and the layout of
// caller-supplied DIB memory.
#include "platform/gdi/dib_format.h"

#include <bit>
#include <cstdlib>
#include <cstring>

#include "platform/gdi/gdi_objects.h"

PixelFormat DefaultDibFormat(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 16: return PIXEL_FORMAT_555;
    case 24: return PIXEL_FORMAT_888;
    case 32: return PIXEL_FORMAT_8888;
    default: return PixelFormat{bitsPerPixel, 0, 0, 0};
    }
}

bool ValidChannelMasks(int bitsPerPixel, uint32_t red, uint32_t green, uint32_t blue) {
    const uint32_t pixelMask = bitsPerPixel >= 32 ? 0xFFFFFFFFu : (1u << bitsPerPixel) - 1;
    for (uint32_t mask : {red, green, blue}) {
        if (mask == 0 || (mask & ~pixelMask)) return false;
        const uint32_t shifted = mask >> std::countr_zero(mask);
        if ((shifted & (shifted + 1)) != 0) return false;  // a gap inside the mask
    }
    return (red & green) == 0 && (red & blue) == 0 && (green & blue) == 0;
}

bool ReadDibLayout(const BITMAPINFO* info, DibLayout* layout) {
    if (!info) return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1) return false;
    const int bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
    if (h.biWidth <= 0 || h.biWidth > MAX_BITMAP_SIDE || h.biHeight == 0 || h.biHeight < -MAX_BITMAP_SIDE ||
        h.biHeight > MAX_BITMAP_SIDE)
        return false;

    layout->width = h.biWidth;
    layout->height = std::abs(h.biHeight);
    layout->topDown = h.biHeight < 0;
    layout->stride = DibStride(layout->width, bpp);
    layout->format = DefaultDibFormat(bpp);
    const uint8_t* afterHeader = reinterpret_cast<const uint8_t*>(info) + h.biSize;
    if (h.biCompression == BI_BITFIELDS) {
        if (bpp != 16 && bpp != 32) return false;
        // Masks sit in a V4/V5 header, or just after a plain one.
        const uint8_t* masks = h.biSize >= 52 ? reinterpret_cast<const uint8_t*>(info) + 40 : afterHeader;
        uint32_t m[3];
        std::memcpy(m, masks, sizeof m);
        if (!ValidChannelMasks(bpp, m[0], m[1], m[2])) return false;
        layout->format = PixelFormat{bpp, m[0], m[1], m[2]};
        if (h.biSize < 52) afterHeader += sizeof m;
    } else if (h.biCompression != BI_RGB) {
        return false;
    }
    layout->colorCount = 0;
    if (bpp <= 8) {
        layout->colorCount = 1 << bpp;
        if (h.biClrUsed != 0 && h.biClrUsed < static_cast<DWORD>(layout->colorCount))
            layout->colorCount = static_cast<int>(h.biClrUsed);
    }
    layout->colors = reinterpret_cast<const RGBQUAD*>(afterHeader);
    return true;
}

PixelBuffer DibPixels(const DibLayout& layout, void* bits, int lines, const PaletteEntryRGB* palette) {
    PixelBuffer view;
    view.width = layout.width;
    view.height = lines;
    view.format = layout.format;
    view.palette = palette;
    auto* base = static_cast<uint8_t*>(bits);
    view.pitch = layout.topDown ? layout.stride : -layout.stride;
    view.bits = layout.topDown ? base : base + static_cast<ptrdiff_t>(lines - 1) * layout.stride;
    return view;
}

void CopyRgbQuads(const RGBQUAD* quads, int count, PaletteEntryRGB* out) {
    for (int i = 0; i < count; ++i) out[i] = {quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue, 0};
}
