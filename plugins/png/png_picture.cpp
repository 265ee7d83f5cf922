// PNG decoder plug-in on libpng: any PNG (palette, grey, 16-bit, with or
// without alpha) becomes a 24-bit DIB; alpha is dropped by compositing onto
// black, since the framework's pictures are opaque with a colour key.
#include <png.h>

#include "plugins/common/dib_blocks.h"

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
    image.format = PNG_FORMAT_BGR;
    DibBlocks dib;
    if (!AllocateDib(&dib, image.width, image.height, 24)) {
        png_image_free(&image);
        return PICTURE_NO_MEMORY;
    }
    const png_color black{0, 0, 0};
    // A negative row stride asks for the bottom row first, as a DIB keeps it.
    if (!png_image_finish_read(&image, &black, dib.pixels, -dib.stride, nullptr))
        return DiscardDib(&dib, PICTURE_BROKEN_DATA);
    return HandOverDib(&dib, info, bits);
}
