// GIF decoder plug-in on giflib: the first picture of the file, drawn on the
// logical screen filled with the background colour, becomes an 8-bit DIB with
// the picture's colour table. Transparent pixels show the background.
#include <algorithm>
#include <cstring>

#include <gif_lib.h>

#include "plugins/common/dib_blocks.h"

namespace {

struct MemoryReader {
    const GifByteType* data;
    size_t size;
    size_t position;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int count) {
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    const size_t n = std::min(static_cast<size_t>(std::max(count, 0)), reader->size - reader->position);
    std::memcpy(out, reader->data + reader->position, n);
    reader->position += n;
    return static_cast<int>(n);
}

// Draws the first frame of a read file into dib; a PICTURE_ result.
int DrawFirstFrame(GifFileType* gif, DibBlocks* dib) {
    if (DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) return PICTURE_BROKEN_DATA;
    const SavedImage& frame = gif->SavedImages[0];
    const GifImageDesc& place = frame.ImageDesc;
    const ColorMapObject* colors = place.ColorMap ? place.ColorMap : gif->SColorMap;
    if (!colors || !frame.RasterBits || gif->SWidth <= 0 || gif->SHeight <= 0) return PICTURE_BROKEN_DATA;
    if (!AllocateDib(dib, static_cast<uint32_t>(gif->SWidth), static_cast<uint32_t>(gif->SHeight), 8))
        return PICTURE_NO_MEMORY;

    const int count = std::min(colors->ColorCount, 256);
    for (int i = 0; i < count; ++i) {
        const GifColorType& c = colors->Colors[i];
        dib->header->bmiColors[i] = RGBQUAD{c.Blue, c.Green, c.Red, 0};
    }
    GraphicsControlBlock control{};
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(gif, 0, &control);
    for (int y = 0; y < gif->SHeight; ++y) std::memset(DibRow(*dib, y), gif->SBackGroundColor, gif->SWidth);
    for (int y = 0; y < place.Height; ++y) {
        const int row = place.Top + y;
        if (row < 0 || row >= gif->SHeight) continue;
        uint8_t* out = DibRow(*dib, row);
        const GifByteType* in = frame.RasterBits + static_cast<size_t>(y) * place.Width;
        for (int x = 0; x < place.Width; ++x) {
            const int column = place.Left + x;
            if (column >= 0 && column < gif->SWidth && in[x] != control.TransparentColor) out[column] = in[x];
        }
    }
    return PICTURE_OK;
}

}  // namespace

PICTURE_PLUGIN_EXPORT int IsSupported(const char*, uintptr_t data) {
    const auto* head = reinterpret_cast<const char*>(data);
    return head && (std::memcmp(head, "GIF87a", 6) == 0 || std::memcmp(head, "GIF89a", 6) == 0);
}

PICTURE_PLUGIN_EXPORT int GetPicture(const char* buffer, long length, unsigned int inputKind, HGLOBAL* info,
                                     HGLOBAL* bits, PictureProgressProc, long) {
    if ((inputKind & 7) != PICTURE_IN_MEMORY) return PICTURE_NOT_IMPLEMENTED;
    if (!buffer || length <= 0 || !info || !bits) return PICTURE_BROKEN_DATA;
    MemoryReader reader{reinterpret_cast<const GifByteType*>(buffer), static_cast<size_t>(length), 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
    if (!gif) return PICTURE_UNKNOWN_FORMAT;
    DibBlocks dib;
    const int result = DrawFirstFrame(gif, &dib);
    DGifCloseFile(gif, &error);
    return result == PICTURE_OK ? HandOverDib(&dib, info, bits) : DiscardDib(&dib, result);
}
