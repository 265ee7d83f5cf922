// LoadImageA and LoadBitmapA for bitmaps: a .bmp file, or a bitmap resource
// built into the program, decoded into a DIB section of the picture's own
// depth (rows bottom-up, as loaded bitmaps are).
#include <fstream>
#include <vector>

#include "platform/gdi/blit.h"
#include "platform/gdi/bmp_decoder.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/picture_limits.h"
#include "platform/win/resources.h"

namespace {

// Larger files cannot hold a picture of acceptable size (4 bytes a pixel at
// most, headers and colour table within a megabyte).
constexpr uint64_t MAX_BMP_FILE_BYTES = 4 * MAX_PICTURE_PIXELS + (1u << 20);

bool ReadWholeFile(const char* path, std::vector<uint8_t>* bytes) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return false;
    const std::streamoff size = file.tellg();
    if (size <= 0 || static_cast<uint64_t>(size) > MAX_BMP_FILE_BYTES) return false;
    bytes->resize(static_cast<size_t>(size));
    file.seekg(0);
    return static_cast<bool>(file.read(reinterpret_cast<char*>(bytes->data()), size));
}

GdiBitmap* DecodeBitmap(const uint8_t* data, size_t size) {
    BmpInfo info;
    if (!ReadBmpInfo(data, size, &info)) return nullptr;
    GdiBitmap* bitmap = NewBitmap(info.width, info.height, info.format, false, info.colors.data(), info.colorCount);
    if (!bitmap) return nullptr;
    bitmap->isDibSection = true;
    if (!DecodeBmpPixels(data, size, info, bitmap->pixels)) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

// A copy stretched to the size asked for (0 keeps that side's size).
GdiBitmap* Resize(GdiBitmap* bitmap, int width, int height) {
    const PixelBuffer& source = bitmap->pixels;
    width = width ? width : source.width;
    height = height ? height : source.height;
    if (width == source.width && height == source.height) return bitmap;
    GdiBitmap* resized = NewBitmap(width, height, source.format, false, bitmap->colors.data(), bitmap->colorCount);
    if (resized) {
        resized->isDibSection = true;
        const RECT all{0, 0, width, height};
        StretchPixels(resized->pixels, all, 0, 0, width, height, source, 0, 0, source.width, source.height);
    }
    DeleteObject(bitmap);
    return resized;
}

}  // namespace

void* LoadImageA(HINSTANCE, const char* name, UINT type, int width, int height, UINT flags) {
    if (!name || (type != IMAGE_BITMAP && type != IMAGE_ICON) || width < 0 || height < 0) return nullptr;
    GdiBitmap* bitmap = nullptr;
    if (flags & LR_LOADFROMFILE) {
        std::vector<uint8_t> bytes;
        if (ReadWholeFile(name, &bytes)) bitmap = DecodeBitmap(bytes.data(), bytes.size());
    } else if (const ResourceData* resource = FindResource(name, type == IMAGE_ICON ? "ICON" : "BITMAP")) {
        // Icons are kept as bitmaps whose top-left colour is transparent.
        bitmap = DecodeBitmap(resource->data, resource->size);
    }
    return bitmap ? static_cast<HGDIOBJ>(Resize(bitmap, width, height)) : nullptr;
}

HBITMAP LoadBitmapA(HINSTANCE instance, const char* name) {
    return static_cast<HBITMAP>(LoadImageA(instance, name, IMAGE_BITMAP, 0, 0, 0));
}
