// GIF decoder plug-in on giflib: the first picture of the file, drawn on the
// logical screen filled with the background colour, becomes an 8-bit DIB with
// the picture's colour table. Transparent pixels show the background. The
// file is read record by record up to that picture and its rows go straight
// into the DIB, so the screen and the picture are both checked against the
// size limit before anything is allocated for them.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include <gif_lib.h>

#include "platform/gdi/picture_limits.h"
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

// Skips records up to the first picture's descriptor, keeping the graphic
// control block that applies to it; false when the file ends first.
bool ReadUpToFirstPicture(GifFileType* gif, GraphicsControlBlock* control) {
    for (;;) {
        GifRecordType record;
        if (DGifGetRecordType(gif, &record) != GIF_OK) return false;
        if (record == IMAGE_DESC_RECORD_TYPE) return DGifGetImageDesc(gif) == GIF_OK;
        if (record != EXTENSION_RECORD_TYPE) return false;  // the terminator, or anything unknown
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
        if (code == GRAPHICS_EXT_FUNC_CODE && block && DGifExtensionToGCB(block[0], block + 1, control) != GIF_OK)
            return false;
        while (block)
            if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
    }
}

// Row y of the picture in the order its lines are stored (interlaced files
// store every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1).
int StoredRow(int line, int height, bool interlaced) {
    if (!interlaced) return line;
    static constexpr int START[] = {0, 4, 2, 1}, STEP[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        const int rows = (height - START[pass] + STEP[pass] - 1) / STEP[pass];
        if (line < rows) return START[pass] + line * STEP[pass];
        line -= std::max(rows, 0);
    }
    return -1;
}

// Draws the first picture of an opened file into dib; a PICTURE_ result.
int DrawFirstPicture(GifFileType* gif, DibBlocks* dib) {
    if (!PictureSizeAllowed(gif->SWidth, gif->SHeight)) return PICTURE_NO_MEMORY;
    GraphicsControlBlock control{};
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    if (!ReadUpToFirstPicture(gif, &control)) return PICTURE_BROKEN_DATA;
    const GifImageDesc& place = gif->Image;
    const ColorMapObject* colors = place.ColorMap ? place.ColorMap : gif->SColorMap;
    if (!colors || !PictureSizeAllowed(place.Width, place.Height)) return PICTURE_BROKEN_DATA;
    std::unique_ptr<GifPixelType[]> line(new (std::nothrow) GifPixelType[place.Width]);
    if (!line || !AllocateDib(dib, static_cast<uint32_t>(gif->SWidth), static_cast<uint32_t>(gif->SHeight), 8))
        return PICTURE_NO_MEMORY;

    const int count = std::min(colors->ColorCount, 256);
    for (int i = 0; i < count; ++i) {
        const GifColorType& c = colors->Colors[i];
        dib->header->bmiColors[i] = RGBQUAD{c.Blue, c.Green, c.Red, 0};
    }
    for (int y = 0; y < gif->SHeight; ++y) std::memset(DibRow(*dib, y), gif->SBackGroundColor, gif->SWidth);
    for (int stored = 0; stored < place.Height; ++stored) {
        if (DGifGetLine(gif, line.get(), place.Width) != GIF_OK) return PICTURE_BROKEN_DATA;
        const int row = place.Top + StoredRow(stored, place.Height, place.Interlace);
        if (row < 0 || row >= gif->SHeight) continue;
        uint8_t* out = DibRow(*dib, row);
        for (int x = 0; x < place.Width; ++x) {
            const int column = place.Left + x;
            if (column >= 0 && column < gif->SWidth && line[x] != control.TransparentColor) out[column] = line[x];
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
    const int result = DrawFirstPicture(gif, &dib);
    DGifCloseFile(gif, &error);
    return result == PICTURE_OK ? HandOverDib(&dib, info, bits) : DiscardDib(&dib, result);
}
