// Shared pieces of the GDI tests: pixel buffers the tests own, and bitmaps
// loaded from bytes through a file, as programs load them.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"

// A zeroed surface-like buffer of the given format.
struct OwnedPixels {
    std::vector<uint8_t> bytes;
    PixelBuffer buffer;
    OwnedPixels(int width, int height, PixelFormat format, const PaletteEntryRGB* palette = nullptr)
        : bytes(static_cast<size_t>(width * format.bitsPerPixel / 8) * height, 0),
          buffer{bytes.data(), width, height, width * format.bitsPerPixel / 8, format, palette} {}
    uint32_t Raw(int x, int y) const {  // 8, 16 or 32 bits per pixel
        const int size = buffer.format.bitsPerPixel / 8;
        uint32_t value = 0;
        std::memcpy(&value, bytes.data() + y * buffer.pitch + x * size, size);
        return value;
    }
};

// Such a buffer with a surface context over it, taken down at the end of scope.
struct Canvas : OwnedPixels {
    HDC dc;
    Canvas(int width, int height, PixelFormat format, const PaletteEntryRGB* palette = nullptr)
        : OwnedPixels(width, height, format, palette), dc(CreateSurfaceDC(buffer)) {}
    ~Canvas() { DeleteSurfaceDC(dc); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
};

// Clips the context's drawing to a rectangle; the context keeps its own copy
// of the region. Returns SelectClipRgn's answer.
inline int ClipTo(HDC dc, int left, int top, int right, int bottom) {
    HRGN region = CreateRectRgn(left, top, right, bottom);
    const int kind = SelectClipRgn(dc, region);
    DeleteObject(region);
    return kind;
}

// Writes bytes to a temporary .bmp file and loads it with LoadImageA.
inline HBITMAP LoadBmpBytes(const std::vector<uint8_t>& bytes) {
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
