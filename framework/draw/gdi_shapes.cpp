// Shapes, pixels and clears on the back buffer. Shapes go through the back
// buffer's device context with a pen and brush made for the call; the clear
// is a colour fill and the fast pixel calls lock the 16-bit back buffer.
#include "framework/display/display.h"
#include "framework/draw/gdi_draw.h"

namespace {

enum class Brush { None, Hollow, Solid };

// Runs draw on the back buffer's context with a one-pixel solid pen of the
// colour and, as asked, the stock hollow brush or a solid brush of the
// colour, all selected, used, deselected and deleted within the call.
template <typename Draw>
int WithPenAndBrush(uint32_t color, Brush kind, Draw draw) {
    HDC dc = GetScreenDC();
    if (!dc) return 0;
    HPEN pen = CreatePen(PS_SOLID, 0, color);
    HBRUSH brush = kind == Brush::Solid ? CreateSolidBrush(color) : nullptr;
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = kind == Brush::None ? nullptr
                                           : SelectObject(dc, brush ? brush : GetStockObject(NULL_BRUSH));
    draw(dc);
    if (oldBrush) SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    if (brush) DeleteObject(brush);
    DeleteObject(pen);
    ReleaseScreenDC(dc);
    return 1;
}

// The clip rule of the filled rectangles: false when the rectangle misses the
// clip rectangle; otherwise its corners are pulled in to it.
bool ClipFilledRect(int* x1, int* y1, int* x2, int* y2) {
    if (*x1 >= gDisplay.clipRight || *y1 >= gDisplay.clipBottom || *x2 < gDisplay.clipLeft ||
        *y2 < gDisplay.clipTop)
        return false;
    if (*x1 < gDisplay.clipLeft) *x1 = gDisplay.clipLeft;
    if (*y1 < gDisplay.clipTop) *y1 = gDisplay.clipTop;
    if (*x2 >= gDisplay.clipRight) *x2 = gDisplay.clipRight;
    if (*y2 >= gDisplay.clipBottom) *y2 = gDisplay.clipBottom;
    return true;
}

// The back buffer locked for one pixel at (x, y) of a 16-bit display.
class LockedPixel {
public:
    LockedPixel(int x, int y) {
        if (gDisplay.bitDepth != 16 || !gDisplay.backBuffer || x < 0 || y < 0 || x >= gDisplay.screenWidth ||
            y >= gDisplay.screenHeight)
            return;
        desc_.dwSize = sizeof desc_;
        if (gDisplay.backBuffer->Lock(nullptr, &desc_, DDLOCK_WAIT, nullptr) != DD_OK) return;
        pixel_ = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(desc_.lpSurface) + y * desc_.lPitch) + x;
    }
    ~LockedPixel() {
        if (pixel_) gDisplay.backBuffer->Unlock(desc_.lpSurface);
    }
    LockedPixel(const LockedPixel&) = delete;
    LockedPixel& operator=(const LockedPixel&) = delete;
    uint16_t* Pixel() const { return pixel_; }

private:
    DDSURFACEDESC desc_{};
    uint16_t* pixel_ = nullptr;
};

}  // namespace

int ClearScreen(uint32_t color) {
    if (!gDisplay.backBuffer) return 0;
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = MatchColor(gDisplay.backBuffer, color);
    return gDisplay.backBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx) == DD_OK ? 1 : 0;
}

uint32_t GetScreenPixel(int x, int y) {
    HDC dc = GetScreenDC();
    if (!dc) return 0;
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseScreenDC(dc);
    return color;
}

int SetScreenPixel(int x, int y, uint32_t color) {
    HDC dc = GetScreenDC();
    if (!dc) return 0;
    SetPixelV(dc, x, y, color);
    ReleaseScreenDC(dc);
    return 1;
}

uint32_t GetScreenPixelFast(int x, int y) {
    const LockedPixel locked(x, y);
    if (!locked.Pixel()) return 0;
    const uint32_t pixel = *locked.Pixel();
    const uint32_t red = (pixel >> gDisplay.redShift) & gDisplay.redMask;
    const uint32_t green = (pixel >> gDisplay.greenShift) & gDisplay.greenMask;
    const uint32_t blue = (pixel >> gDisplay.blueShift) & gDisplay.blueMask;
    return red | (green << 8) | (blue << 16);
}

void SetScreenPixelFast(int x, int y, uint32_t color) {
    const LockedPixel locked(x, y);
    if (!locked.Pixel()) return;
    const uint32_t red = (color >> gDisplay.redFromColor) & gDisplay.redMask;
    const uint32_t green = (color >> gDisplay.greenFromColor) & gDisplay.greenMask;
    const uint32_t blue = (color >> gDisplay.blueFromColor) & gDisplay.blueMask;
    *locked.Pixel() = static_cast<uint16_t>((red << gDisplay.redShift) | (green << gDisplay.greenShift) |
                                            (blue << gDisplay.blueShift));
}

int DrawLine(int x1, int y1, int x2, int y2, uint32_t color) {
    return WithPenAndBrush(color, Brush::None, [&](HDC dc) {
        MoveToEx(dc, x1, y1, nullptr);
        LineTo(dc, x2, y2);
    });
}

int DrawRect(int x1, int y1, int x2, int y2, uint32_t color) {
    return WithPenAndBrush(color, Brush::Hollow, [&](HDC dc) { Rectangle(dc, x1, y1, x2, y2); });
}

int DrawFilledRect(int x1, int y1, int x2, int y2, uint32_t color) {
    if (!ClipFilledRect(&x1, &y1, &x2, &y2)) return 0;
    return WithPenAndBrush(color, Brush::Solid, [&](HDC dc) { Rectangle(dc, x1, y1, x2, y2); });
}

int FillScreenRect(int x1, int y1, int x2, int y2, uint32_t color) {
    if (!ClipFilledRect(&x1, &y1, &x2, &y2)) return 0;
    HDC dc = GetScreenDC();
    if (!dc) return 0;
    HBRUSH brush = CreateSolidBrush(color);
    const RECT rect{x1, y1, x2, y2};
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    ReleaseScreenDC(dc);
    return 1;
}

int InvertScreenRect(int x1, int y1, int x2, int y2) {
    HDC dc = GetScreenDC();
    if (!dc) return 0;
    const RECT rect{x1, y1, x2, y2};
    InvertRect(dc, &rect);
    ReleaseScreenDC(dc);
    return 1;
}

int DrawEllipse(int x1, int y1, int x2, int y2, uint32_t color) {
    return WithPenAndBrush(color, Brush::Hollow, [&](HDC dc) { Ellipse(dc, x1, y1, x2, y2); });
}

int DrawFilledEllipse(int x1, int y1, int x2, int y2, uint32_t color) {
    return WithPenAndBrush(color, Brush::Solid, [&](HDC dc) { Ellipse(dc, x1, y1, x2, y2); });
}
