// Movable memory blocks holding a DIB for the framework: the header, the
// colour table and the rows, sized from the picture and never larger than
// the biggest bitmap the framework can make.
#include "plugins/common/dib_blocks.h"

namespace {

constexpr uint32_t MAX_PICTURE_SIDE = 32768;
constexpr uint64_t MAX_PICTURE_BYTES = 256ull << 20;

}  // namespace

bool AllocateDib(DibBlocks* dib, uint32_t width, uint32_t height, int bitsPerPixel) {
    if (width == 0 || height == 0 || width > MAX_PICTURE_SIDE || height > MAX_PICTURE_SIDE) return false;
    const uint64_t stride = (uint64_t{width} * bitsPerPixel + 31) / 32 * 4;
    if (stride * height > MAX_PICTURE_BYTES) return false;
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
