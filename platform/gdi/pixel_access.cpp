// Single pixels through a context: colours are converted to the context's
// pixel format exactly as every GDI write converts them, so SetPixel doubles
// as the display's colour matching.
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/pixel_codec.h"

namespace {

bool Drawable(HDC dc, int x, int y) {
    if (!IsLiveDC(dc)) return false;
    const RECT r = DrawableRect(*dc);
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Writes the pixel; the colour as it now reads back.
COLORREF PutPixel(HDC dc, int x, int y, COLORREF color) {
    const PixelCodec codec(dc->target);
    const uint32_t value = codec.FromColor(color);
    codec.Write(x, y, value);
    return codec.ToColor(value);
}

}  // namespace

COLORREF GetPixel(HDC dc, int x, int y) {
    if (!Drawable(dc, x, y)) return CLR_INVALID;
    const PixelCodec codec(dc->target);
    return codec.ToColor(codec.Read(x, y));
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    if (!Drawable(dc, x, y)) return CLR_INVALID;
    return PutPixel(dc, x, y, color);
}

BOOL SetPixelV(HDC dc, int x, int y, COLORREF color) {
    if (!Drawable(dc, x, y)) return FALSE;
    PutPixel(dc, x, y, color);
    return TRUE;
}
