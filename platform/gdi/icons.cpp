// Window icons: pictures built into the program under the type "ICON", kept
// as bitmaps whose top-left colour is transparent, and handed to the desktop
// as 32-bit pixels with alpha.
#include "platform/gdi/gdi.h"

HICON LoadIconA(HINSTANCE instance, const char* name) {
    if (!instance || !name) return nullptr;
    return LoadImageA(instance, name, IMAGE_ICON, 0, 0, 0);
}

// The arrow is the desktop's own pointer.
HCURSOR LoadCursorA(HINSTANCE, const char*) { return nullptr; }

bool GetIconPixels(HICON icon, int* width, int* height, std::vector<uint32_t>* argb) {
    BITMAP header{};
    auto* bitmap = static_cast<HBITMAP>(icon);
    if (!icon || !GetObjectA(bitmap, sizeof(header), &header)) return false;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    const COLORREF transparent = GetPixel(dc, 0, 0);
    argb->clear();
    for (int y = 0; y < header.bmHeight; ++y) {
        for (int x = 0; x < header.bmWidth; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            const uint32_t rgb = (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
            argb->push_back(c == transparent ? 0 : 0xFF000000u | rgb);
        }
    }
    SelectObject(dc, previous);
    DeleteDC(dc);
    *width = header.bmWidth;
    *height = header.bmHeight;
    return true;
}
