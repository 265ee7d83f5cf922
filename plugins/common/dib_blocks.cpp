// Movable memory blocks holding a DIB for the framework: the header, the
// colour table and the rows, sized from the picture and never larger than
// the loaders' picture size limit.
#include "plugins/common/dib_blocks.h"

#include "platform/gdi/picture_limits.h"

bool AllocateDib(DibBlocks* dib, uint32_t width, uint32_t height, int bitsPerPixel) {
    if (!PictureSizeAllowed(width, height)) return false;
    const uint64_t stride = (uint64_t{width} * bitsPerPixel + 31) / 32 * 4;
    const int colors = bitsPerPixel == 8 ? 256 : 0;
    dib->info = GlobalAlloc(GHND, sizeof(BITMAPINFOHEADER) + colors * sizeof(RGBQUAD));
    dib->bits = GlobalAlloc(GHND, stride * height);
    dib->header = static_cast<BITMAPINFO*>(GlobalLock(dib->info));
    dib->pixels = static_cast<uint8_t*>(GlobalLock(dib->bits));
    if (!dib->header || !dib->pixels) {
        DiscardDib(dib, 0);
        return false;
    }
    BITMAPINFOHEADER& h = dib->header->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = static_cast<LONG>(width);
    h.biHeight = static_cast<LONG>(height);
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bitsPerPixel);
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(stride * height);
    h.biClrUsed = static_cast<DWORD>(colors);
    dib->stride = static_cast<int>(stride);
    dib->height = static_cast<int>(height);
    return true;
}

uint8_t* DibRow(const DibBlocks& dib, int y) {
    return dib.pixels + static_cast<ptrdiff_t>(dib.height - 1 - y) * dib.stride;
}

int HandOverDib(DibBlocks* dib, HGLOBAL* info, HGLOBAL* bits) {
    GlobalUnlock(dib->info);
    GlobalUnlock(dib->bits);
    *info = dib->info;
    *bits = dib->bits;
    *dib = DibBlocks{};
    return PICTURE_OK;
}

int DiscardDib(DibBlocks* dib, int result) {
    if (dib->info) GlobalFree(dib->info);
    if (dib->bits) GlobalFree(dib->bits);
    *dib = DibBlocks{};
    return result;
}
