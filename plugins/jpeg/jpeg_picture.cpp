// JPEG decoder plug-in on libjpeg-turbo: grey, colour, CMYK and YCCK JPEGs
// become 24-bit DIBs. Grey and colour pictures are decoded straight into
// blue-green-red rows; CMYK (and YCCK, which libjpeg turns into CMYK) goes
// through one row of ink values and becomes RGB as common viewers show it:
// each channel is (255 - ink) x (255 - black) / 255, where files carrying an
// Adobe marker store the inks inverted (as Photoshop writes them).
// A libjpeg error leaves the decode through longjmp, so the decoding frame
// holds no objects with destructors.
//
// Hostile files are bounded before they cost much: the picture must be within
// the loaders' size limit before anything is allocated for it, data that ends
// before the picture does is refused (before the picture is allocated where
// the file is too short for its blocks), progressive files
// may have at most MAX_SCANS scans, and libjpeg's own working memory is capped.
#include <csetjmp>
#include <cstdio>

// Before libjpeg's headers, whose TRUE and FALSE are macros.
#include "plugins/common/dib_blocks.h"

#include <jerror.h>
#include <jpeglib.h>

namespace {

constexpr int MAX_SCANS = 100;
constexpr long MAX_WORKING_MEMORY = 96L << 20;

struct JpegError {
    jpeg_error_mgr manager;
    jmp_buf exit;
};

[[noreturn]] void LeaveDecode(j_common_ptr jpeg) { longjmp(reinterpret_cast<JpegError*>(jpeg->err)->exit, 1); }

// Warnings and traces stay quiet; a plug-in writes nothing of its own. Data
// that ends early is an error here, not a warning: whether the file itself
// ends or a marker (an end-of-picture one, typically) comes before the scan's
// data is complete. libjpeg would go on decoding zeros for every block left,
// which for a few bytes declaring millions of pixels is all cost and no picture.
void KeepMessage(j_common_ptr jpeg, int level) {
    const int code = jpeg->err->msg_code;
    if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) LeaveDecode(jpeg);
}

void LimitScans(j_common_ptr common) {
    auto* jpeg = reinterpret_cast<j_decompress_ptr>(common);
    if (jpeg->progressive_mode && jpeg->input_scan_number > MAX_SCANS) LeaveDecode(common);
}

// Every block of every component takes at least one bit of Huffman-coded
// data (its first scan codes its DC difference), so a file shorter than its
// largest component's blocks in bits cannot hold its picture. Arithmetic
// coding may legitimately spend less, so it is not bounded this way.
bool DataCanHoldEveryBlock(const jpeg_decompress_struct& jpeg, unsigned long size) {
    if (jpeg.arith_code) return true;
    for (int c = 0; c < jpeg.num_components; ++c) {
        const jpeg_component_info& component = jpeg.comp_info[c];
        if (static_cast<uint64_t>(component.width_in_blocks) * component.height_in_blocks > uint64_t{size} * 8)
            return false;
    }
    return true;
}

// One row of ink values (c, m, y, k) into blue-green-red.
void CmykRowToBgr(const JSAMPLE* ink, JDIMENSION width, bool inverted, uint8_t* out) {
    for (JDIMENSION x = 0; x < width; ++x, ink += 4, out += 3) {
        const unsigned k = inverted ? ink[3] : 255 - ink[3];
        for (int c = 0; c < 3; ++c) {
            const unsigned v = inverted ? ink[c] : 255 - ink[c];
            out[2 - c] = static_cast<uint8_t>((v * k + 127) / 255);
        }
    }
}

// Decodes into dib; a PICTURE_ result. inkRow is null until CMYK rows need it.
int DecodeJpeg(const unsigned char* data, unsigned long size, DibBlocks* dib) {
    jpeg_decompress_struct jpeg;
    JpegError error;
    jpeg_progress_mgr progress{};
    JSAMPLE* volatile inkRow = nullptr;
    jpeg.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = LeaveDecode;
    error.manager.emit_message = KeepMessage;
    if (setjmp(error.exit)) {
        delete[] inkRow;
        jpeg_destroy_decompress(&jpeg);
        return PICTURE_BROKEN_DATA;
    }
    jpeg_create_decompress(&jpeg);
    jpeg.mem->max_memory_to_use = MAX_WORKING_MEMORY;
    progress.progress_monitor = LimitScans;
    jpeg.progress = &progress;
    jpeg_mem_src(&jpeg, data, size);
    jpeg_read_header(&jpeg, TRUE);
    if (!DataCanHoldEveryBlock(jpeg, size)) LeaveDecode(reinterpret_cast<j_common_ptr>(&jpeg));
    const bool cmyk = jpeg.jpeg_color_space == JCS_CMYK || jpeg.jpeg_color_space == JCS_YCCK;
    jpeg.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    if (!AllocateDib(dib, jpeg.image_width, jpeg.image_height, 24)) {
        jpeg_destroy_decompress(&jpeg);
        return PICTURE_NO_MEMORY;
    }
    if (cmyk) inkRow = new JSAMPLE[4 * static_cast<size_t>(jpeg.image_width)];
    jpeg_start_decompress(&jpeg);
    while (jpeg.output_scanline < jpeg.output_height) {
        uint8_t* out = DibRow(*dib, static_cast<int>(jpeg.output_scanline));
        JSAMPROW row = cmyk ? inkRow : out;
        jpeg_read_scanlines(&jpeg, &row, 1);
        if (cmyk) CmykRowToBgr(inkRow, jpeg.output_width, jpeg.saw_Adobe_marker, out);
    }
    jpeg_finish_decompress(&jpeg);
    jpeg_destroy_decompress(&jpeg);
    delete[] inkRow;
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
