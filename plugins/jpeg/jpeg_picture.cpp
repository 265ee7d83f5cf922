// JPEG decoder plug-in on libjpeg-turbo: grey and colour JPEGs become 24-bit
// DIBs, decoded straight into blue-green-red rows. A libjpeg error leaves the
// decode through longjmp, so the decoding frame holds no objects with
// destructors.
#include <csetjmp>
#include <cstdio>

// Before libjpeg's headers, whose TRUE and FALSE are macros.
#include "plugins/common/dib_blocks.h"

#include <jpeglib.h>

namespace {

struct JpegError {
    jpeg_error_mgr manager;
    jmp_buf exit;
};

void LeaveDecode(j_common_ptr jpeg) { longjmp(reinterpret_cast<JpegError*>(jpeg->err)->exit, 1); }

// Warnings and traces stay quiet; a plug-in writes nothing of its own.
void KeepMessage(j_common_ptr) {}

// Decodes into dib; a PICTURE_ result.
int DecodeJpeg(const unsigned char* data, unsigned long size, DibBlocks* dib) {
    jpeg_decompress_struct jpeg;
    JpegError error;
    jpeg.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = LeaveDecode;
    error.manager.output_message = KeepMessage;
    if (setjmp(error.exit)) {
        jpeg_destroy_decompress(&jpeg);
        return PICTURE_BROKEN_DATA;
    }
    jpeg_create_decompress(&jpeg);
    jpeg_mem_src(&jpeg, data, size);
    jpeg_read_header(&jpeg, TRUE);
    jpeg.out_color_space = JCS_EXT_BGR;
    if (!AllocateDib(dib, jpeg.image_width, jpeg.image_height, 24)) {
        jpeg_destroy_decompress(&jpeg);
        return PICTURE_NO_MEMORY;
    }
    jpeg_start_decompress(&jpeg);
    while (jpeg.output_scanline < jpeg.output_height) {
        JSAMPROW row = DibRow(*dib, static_cast<int>(jpeg.output_scanline));
        jpeg_read_scanlines(&jpeg, &row, 1);
    }
    jpeg_finish_decompress(&jpeg);
    jpeg_destroy_decompress(&jpeg);
    return PICTURE_OK;
}

}  // namespace

PICTURE_PLUGIN_EXPORT int IsSupported(const char*, uintptr_t data) {
    const auto* head = reinterpret_cast<const unsigned char*>(data);
    return head && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
}

PICTURE_PLUGIN_EXPORT int GetPicture(const char* buffer, long length, unsigned int inputKind, HGLOBAL* info,
                                     HGLOBAL* bits, PictureProgressProc, long) {
    if ((inputKind & 7) != PICTURE_IN_MEMORY) return PICTURE_NOT_IMPLEMENTED;
    if (!buffer || length <= 0 || !info || !bits) return PICTURE_BROKEN_DATA;
    DibBlocks dib;
    const int result = DecodeJpeg(reinterpret_cast<const unsigned char*>(buffer), static_cast<unsigned long>(length), &dib);
    return result == PICTURE_OK ? HandOverDib(&dib, info, bits) : DiscardDib(&dib, result);
}
