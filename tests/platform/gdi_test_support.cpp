// Test buffers and loading bitmaps from bytes.
#include "tests/platform/gdi_test_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

OwnedPixels::OwnedPixels(int width, int height, PixelFormat format, const PaletteEntryRGB* palette) {
    const int pitch = width * format.bitsPerPixel / 8;
    bytes.assign(static_cast<size_t>(pitch) * height, 0);
    buffer = PixelBuffer{bytes.data(), width, height, pitch, format, palette};
}

uint32_t OwnedPixels::Raw(int x, int y) const {
    const int size = buffer.format.bitsPerPixel / 8;
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + y * buffer.pitch + x * size, size);
    return value;
}

int ClipTo(HDC dc, int left, int top, int right, int bottom) {
    HRGN region = CreateRectRgn(left, top, right, bottom);
    const int kind = SelectClipRgn(dc, region);
    DeleteObject(region);
    return kind;
}

HBITMAP LoadBmpBytes(const std::vector<uint8_t>& bytes) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("gdi_test_" + std::to_string(getpid()) + ".bmp")).string();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return nullptr;
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    auto* bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                   LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    std::remove(path.c_str());
    return bitmap;
}
