// PNG decoder plug-in on libpng: any PNG (palette, grey, 16-bit, with or
// without alpha) becomes a 24-bit DIB. The framework's pictures are opaque
// with a colour key, so partial transparency is composed onto black the way
// picture viewers and browsers compose it: on the stored (sRGB) values,
// colour x alpha / 255. (libpng's own composition works in linear light and
// makes half-transparent pixels visibly brighter than any viewer shows them.)
#include <png.h>

#include <memory>
#include <new>

#include "plugins/common/dib_blocks.h"

namespace {

// Blue-green-red-alpha rows into the DIB's blue-green-red rows, onto black.
void ComposeOntoBlack(const uint8_t* bgra, const DibBlocks& dib, int width, int height) {
    for (int y = 0; y < height; ++y) {
        uint8_t* out = DibRow(dib, y);
        for (int x = 0; x < width; ++x, bgra += 4, out += 3)
            for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>((bgra[c] * bgra[3] + 127) / 255);
    }
}

}  // namespace

PICTURE_PLUGIN_EXPORT int IsSupported(const char*, uintptr_t data) {
    return data && png_sig_cmp(reinterpret_cast<png_const_bytep>(data), 0, 8) == 0;
}

PICTURE_PLUGIN_EXPORT int GetPicture(const char* buffer, long length, unsigned int inputKind, HGLOBAL* info,
                                     HGLOBAL* bits, PictureProgressProc, long) {
    if ((inputKind & 7) != PICTURE_IN_MEMORY) return PICTURE_NOT_IMPLEMENTED;
    if (!buffer || length <= 0 || !info || !bits) return PICTURE_BROKEN_DATA;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, buffer, static_cast<size_t>(length))) return PICTURE_UNKNOWN_FORMAT;
    const bool alpha = image.format & PNG_FORMAT_FLAG_ALPHA;
    image.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    DibBlocks dib;
    if (!AllocateDib(&dib, image.width, image.height, 24)) {
        png_image_free(&image);
        return PICTURE_NO_MEMORY;
    }
    if (!alpha) {
        // A negative row stride asks for the bottom row first, as a DIB keeps it.
        if (!png_image_finish_read(&image, nullptr, dib.pixels, -dib.stride, nullptr))
            return DiscardDib(&dib, PICTURE_BROKEN_DATA);
        return HandOverDib(&dib, info, bits);
    }
    std::unique_ptr<uint8_t[]> bgra(new (std::nothrow) uint8_t[PNG_IMAGE_SIZE(image)]);
    if (!bgra) {
        png_image_free(&image);
        return DiscardDib(&dib, PICTURE_NO_MEMORY);
    }
    if (!png_image_finish_read(&image, nullptr, bgra.get(), 0, nullptr)) return DiscardDib(&dib, PICTURE_BROKEN_DATA);
    ComposeOntoBlack(bgra.get(), dib, static_cast<int>(image.width), static_cast<int>(image.height));
    return HandOverDib(&dib, info, bits);
}
