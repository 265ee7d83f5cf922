// An image plug-in that goes wrong in one way, chosen by FAULT when it is
// built: an entry point missing, every picture declined, every decode failed,
// or success reported with blocks too small for the picture they describe.
#include "plugins/common/dib_blocks.h"

#define FAULT_NO_IS_SUPPORTED 1
#define FAULT_DECLINES 2
#define FAULT_FAILS 3
#define FAULT_SHORT_BITS 4
#define FAULT_SHORT_INFO 5

#if FAULT != FAULT_NO_IS_SUPPORTED
PICTURE_PLUGIN_EXPORT int IsSupported(const char*, uintptr_t) { return FAULT != FAULT_DECLINES; }
#endif

PICTURE_PLUGIN_EXPORT int GetPicture(const char*, long, unsigned int, HGLOBAL* info, HGLOBAL* bits,
                                     PictureProgressProc, long) {
    if (FAULT == FAULT_FAILS) return PICTURE_BROKEN_DATA;
    DibBlocks dib;
    if (!AllocateDib(&dib, 64, 64, 24)) return PICTURE_NO_MEMORY;
    BITMAPINFOHEADER& header = dib.header->bmiHeader;
    if (FAULT == FAULT_SHORT_BITS) header.biHeight = 65;  // one row more than the block holds
    if (FAULT == FAULT_SHORT_INFO) header.biBitCount = 8;  // a colour table the block lacks
    return HandOverDib(&dib, info, bits);
}
