// Screenshots: the back buffer written as an uncompressed Windows .bmp file in
// the display's own bit depth, bottom row first, with the palette as colour
// table at 8 bits per pixel. The pixels are read through the back buffer's DC.
#include <bit>
#include <cstdio>
#include <vector>

#include "framework/display/display.h"
#include "framework/image/image.h"

static_assert(std::endian::native == std::endian::little, "the headers are written from memory");

namespace {

constexpr int FILE_HEADER_SIZE = 14;
constexpr int INFO_HEADER_SIZE = 40;

void PutLittleEndian(uint8_t* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

// The headers are written before the pixels are fetched, so the file carries
// them as built here (image size 0).
int SaveScreenBitmap(const char* path) {
    HDC dc = GetScreenDC();
    if (!dc) return 0;
    HGDIOBJ selected = GetCurrentObject(dc, OBJ_BITMAP);
    BITMAP bitmap{};
    if (!selected || GetObjectA(selected, sizeof(bitmap), &bitmap) == 0) {
        ReleaseScreenDC(dc);
        return 0;
    }
    const int colors = bitmap.bmBitsPixel == 8 ? 256 : 0;
    const int infoSize = INFO_HEADER_SIZE + 4 * colors;
    const uint32_t pixelOffset = FILE_HEADER_SIZE + infoSize;
    const size_t pixelBytes = static_cast<size_t>(bitmap.bmWidthBytes) * static_cast<size_t>(bitmap.bmHeight);
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        ReleaseScreenDC(dc);
        return 0;
    }

    uint8_t fileHeader[FILE_HEADER_SIZE] = {'B', 'M'};
    PutLittleEndian(fileHeader + 2, static_cast<uint32_t>(pixelBytes) + pixelOffset, 4);
    PutLittleEndian(fileHeader + 10, pixelOffset, 4);
    bool written = std::fwrite(fileHeader, 1, sizeof(fileHeader), file) == sizeof(fileHeader);

    // The info header and its colour table, also the layout GetDIBits is asked for.
    std::vector<uint32_t> infoBuffer((infoSize + 3) / 4);
    auto* info = reinterpret_cast<BITMAPINFO*>(infoBuffer.data());
    BITMAPINFOHEADER& header = info->bmiHeader;
    header.biSize = INFO_HEADER_SIZE;
    header.biWidth = bitmap.bmWidth;
    header.biHeight = bitmap.bmHeight;
    header.biPlanes = 1;
    header.biBitCount = bitmap.bmBitsPixel;
    header.biCompression = BI_RGB;
    if (colors) GetDIBColorTable(dc, 0, colors, info->bmiColors);
    written = written && std::fwrite(info, 1, infoSize, file) == static_cast<size_t>(infoSize);

    std::vector<uint8_t> pixels(pixelBytes);
    GetDIBits(dc, static_cast<HBITMAP>(selected), 0, static_cast<UINT>(bitmap.bmHeight), pixels.data(), info,
              DIB_RGB_COLORS);
    written = written && std::fwrite(pixels.data(), 1, pixels.size(), file) == pixels.size();

    ReleaseScreenDC(dc);
    // A full disk may show only when the buffered bytes are flushed.
    written = std::fclose(file) == 0 && written;
    return written ? 1 : 0;
}
